#include "Form.h"

#include "Fonts.h"
#include "ProgramIcon.h"
#include "platform/Platform.h"

#include <QCloseEvent>

Form::Form(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void Form::setDesign(const QString &caption, const QColor &background)
{
    setWindowTitle(caption);
    setWindowIcon(ProgramIcon::icon());
    setFont(Fonts::msPGothic(9));
    if (background.isValid()) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, background);
        setPalette(pal);
        setAutoFillBackground(true);
    }
}

void Form::formShow()
{
    Platform::bringToFront(this);
}

bool Form::unloadForm()
{
    return close();
}

void Form::queryUnload(bool &, CloseOrigin) {}

void Form::closeEvent(QCloseEvent *event)
{
    // The window manager's close (close box, Alt+F4) reaches Qt as a
    // spontaneous event; the program's own close() does not.
    CloseOrigin origin = ProgramClose;
    if (m_sessionEnding)
        origin = SessionClose;
    else if (event->spontaneous())
        origin = UserClose;

    bool cancel = false;
    queryUnload(cancel, origin);
    if (cancel) {
        event->ignore();
        return;
    }
    m_unloaded = true;
    formUnload();
    event->accept();
    emit unloaded();
}

void GuardedForm::queryUnload(bool &cancel, CloseOrigin origin)
{
    if (origin == UserClose)
        cancel = true;
}
