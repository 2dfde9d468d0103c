#include "DesktopSession.h"

#include "Form.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace {

// The Qt platform to ask for, or empty to leave Qt's own choice.
QByteArray platformFor(const QByteArray &chosen, bool waylandSession, const QByteArray &x11Display)
{
    // Without an X server beside the compositor xcb cannot start at all;
    // Wayland with windows where the compositor likes is the better loss.
    if (!chosen.isEmpty() || !waylandSession || x11Display.isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

} // namespace

namespace DesktopSession {

void preferX11()
{
    // Qt itself goes for Wayland on either sign of it.
    const bool wayland = !qgetenv("WAYLAND_DISPLAY").isEmpty() || qgetenv("XDG_SESSION_TYPE") == "wayland";
    const QByteArray platform = platformFor(qgetenv("QT_QPA_PLATFORM"), wayland, qgetenv("DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

void letWindowsGoAtSessionEnd(QGuiApplication &app)
{
    // Qt does not tell a log-off that another program cancelled from one
    // that goes ahead, so the windows stay willing to go from here on:
    // Main's close key working after a cancelled log-off is the lesser harm.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [](QSessionManager &) { Form::setSessionEnding(true); });
}

} // namespace DesktopSession
