#include "Mainmove.h"

#include "kit/Fonts.h"
#include "kit/Legible.h"
#include "kit/Look.h"
#include "kit/Navigation.h"
#include "kit/Screens.h"
#include "kit/TightLabel.h"
#include "kit/Twips.h"
#include "platform/Platform.h"
#include "store/StoredGeometry.h"
#include "store/Texts.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr float kMinimumHeight = 3500;
constexpr float kMinimumWidth = 7000;
constexpr float kButtonWidth = 2295, kButtonHeight = 495;
// How long after the window is shown the window manager may still be
// framing it; later changes are the user's.
constexpr int kFramingMs = 3000;

} // namespace

Mainmove::Mainmove(Values &values, Platform &platform, Navigation &navigation)
    : m_values(values)
    , m_platform(platform)
    , m_navigation(navigation)
{
    setDesign(Look::kProgramName, Look::kWindowColour);
    resize(Twips::toPixels(6900), Twips::toPixels(8880));

    Command1 = new QPushButton(QStringLiteral("元にもどす"), this);
    Command1->setFont(Fonts::msPGothic(12));
    // "元にもどす" does not say that it stores the place.
    Command1->setAccessibleDescription(Texts::restoreDescription());
    connect(Command1, &QPushButton::clicked, this, &Mainmove::Mainmove_Command1_Click);

    Label5 = new TightLabel(
        QStringLiteral("ボタンが全部表示できなくなるので、この文字が表示できる幅より小さくしないでください"), 1.2, 1.0,
        this);
    Label5->setFont(Fonts::msPGothic(12, true));
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Red on the desktop's text colour, where red can be read on it.
    QPalette labelPal = Label5->palette();
    labelPal.setColor(QPalette::WindowText, Qt::red);
    Label5->setPalette(labelPal);
    Legible::keep(Label5, QPalette::Window, QPalette::WindowText, Qt::red);
    Label5->setAutoFillBackground(true);
    Twips::place(Label5, 120, 3240, 6735, 615);
    // Labels lie beneath buttons where they overlap.
    Command1->raise();
}

QMargins Mainmove::frame() const
{
    const QRect inner = geometry();
    const QRect outer = frameGeometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

QRectF Mainmove::outerTwips() const
{
    const QRect outer = frameGeometry();
    return QRectF(Twips::fromPixels(outer.x()), Twips::fromPixels(outer.y()), Twips::fromPixels(outer.width()),
                  Twips::fromPixels(outer.height()));
}

void Mainmove::placeOuter(const QRect &outer)
{
    m_frameUsed = frame();
    const QRect client = outer.marginsRemoved(m_frameUsed);
    if (!testAttribute(Qt::WA_WState_Created)) {
        // Not framed yet: Qt takes a top-level's move() as the frame's place.
        move(outer.topLeft());
        resize(client.size());
        return;
    }
    setGeometry(client);
}

void Mainmove::placeAtSaved()
{
    const QRectF saved = StoredGeometry::read(m_values);
    const QRect outer = Twips::toPixels(saved.left(), saved.top(), saved.width(), saved.height());
    const QRect reachable = Screens::reachable(outer);
    if (!isVisible() || !m_pending.isNull())
        m_pending = reachable;
    placeOuter(reachable);
}

void Mainmove::followFrame()
{
    // On X11 the frame's size is known only once the window manager has
    // framed the window, after it is shown; the client then has to shrink
    // by the frame so that the outer size stays the saved one.
    if (m_pending.isNull() || m_adjusting || frame() == m_frameUsed)
        return;
    m_adjusting = true;
    placeOuter(m_pending);
    m_adjusting = false;
    if (!frame().isNull())
        m_pending = QRect();
}

void Mainmove::showEvent(QShowEvent *event)
{
    GuardedForm::showEvent(event);
    followFrame();
    QPointer<Mainmove> self(this);
    QTimer::singleShot(kFramingMs, this, [self] {
        if (self)
            self->m_pending = QRect();
    });
}

void Mainmove::moveEvent(QMoveEvent *event)
{
    GuardedForm::moveEvent(event);
    followFrame();
}

void Mainmove::resizeEvent(QResizeEvent *event)
{
    GuardedForm::resizeEvent(event);
    followFrame();
    // Sizes the window manager passes on while a limit message is open, and
    // the client's fitting into a frame that just arrived, are not the
    // user's resizes; the restore after a message is, and runs the checks.
    if (m_adjusting || m_messagesOpen > 0) {
        centreCommand1();
        return;
    }
    Mainmove_Form_Resize();
}

void Mainmove::Mainmove_Form_Load()
{
    placeAtSaved();
    centreCommand1();
}

void Mainmove::limitMessage(const QString &text)
{
    ++m_messagesOpen;
    m_platform.systemModalMessage(text);
    --m_messagesOpen;
    placeAtSaved();
}

void Mainmove::Mainmove_Form_Resize()
{
    // Minimised or maximised the window stands for no geometry of Main's.
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        if (float(outerTwips().height()) < kMinimumHeight)
            limitMessage(Texts::tooShort());
        if (float(outerTwips().width()) < kMinimumWidth)
            limitMessage(Texts::tooNarrow());
    }
    centreCommand1();
}

void Mainmove::centreCommand1()
{
    // Centred on the outer size, not the client area, as the window always
    // has been: the button sits half a frame right of and below the middle.
    const QRectF outer = outerTwips();
    const float left = float(outer.width()) / 2 - kButtonWidth / 2;
    const float top = float(outer.height()) / 2 - kButtonHeight / 2;
    Twips::place(Command1, left, top, kButtonWidth, kButtonHeight);
}

void Mainmove::Mainmove_Command1_Click()
{
    const QRectF outer = outerTwips();
    bool saved = m_values.writeText(ValueFiles::kLeft, StoredGeometry::format(float(outer.left()))).ok();
    saved = m_values.writeText(ValueFiles::kHeight, StoredGeometry::format(float(outer.height()))).ok() && saved;
    saved = m_values.writeText(ValueFiles::kWidth, StoredGeometry::format(float(outer.width()))).ok() && saved;
    saved = m_values.writeText(ValueFiles::kTop, StoredGeometry::format(float(outer.top()))).ok() && saved;
    // Main would come back at a geometry the user did not choose; the editor
    // stays, the user has been told, and a second press tries again.
    if (!saved)
        return;
    m_navigation.show(WindowId::Main);
    unloadForm();
}
