#include "DesktopSession.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The Qt platform to ask for, or empty to leave Qt's own choice.
QByteArray platformFor(const QByteArray &chosen, bool waylandSession, const QByteArray &x11Display)
{
    // Without an X server beside the compositor xcb cannot start at all;
    // then Wayland, where the compositor places the windows as it likes,
    // is the lesser loss.
    if (!chosen.isEmpty() || !waylandSession || x11Display.isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

namespace DesktopSession {

void preferX11()
{
    // Either sign of a Wayland session is enough for Qt to choose Wayland,
    // so either one is enough here.
    const bool wayland = !qgetenv("WAYLAND_DISPLAY").isEmpty() || qgetenv("XDG_SESSION_TYPE") == "wayland";
    const QByteArray platform = platformFor(qgetenv("QT_QPA_PLATFORM"), wayland, qgetenv("DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

void quitOnTermination()
{
    // A signal handler may call only async-signal-safe functions: it writes
    // a byte to a socket, and the event loop reads it and quits.
    if (g_signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte;
        if (::read(g_signalPipe[0], &byte, 1) == 1)
            QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        sigaction(signal, &action, nullptr);
}

} // namespace DesktopSession
