#include "Form.h"

#include "CaptionFit.h"
#include "Fonts.h"
#include "Legible.h"
#include "ProgramIcon.h"
#include "platform/Platform.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QChildEvent>
#include <QCloseEvent>
#include <QLabel>

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
    m_background = background;
    if (background.isValid()) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, background);
        setPalette(pal);
        setAutoFillBackground(true);
    }
}

void Form::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    if (event->type() != QEvent::ChildPolished || !event->child()->isWidgetType())
        return;
    auto *child = static_cast<QWidget *>(event->child());
    const bool label = qobject_cast<QLabel *>(child), checkBox = qobject_cast<QCheckBox *>(child);
    if (label || qobject_cast<QAbstractButton *>(child))
        CaptionFit::keep(child);
    // A control with a background of its own sees to its text itself.
    if ((label || checkBox) && m_background.isValid() && !child->autoFillBackground())
        Legible::keep(child, QPalette::WindowText, QPalette::WindowText, m_background);
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
