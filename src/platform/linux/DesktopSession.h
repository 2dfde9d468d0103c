#pragma once

#include <QObject>

class QGuiApplication;

// How the program sits in the user's desktop session: which display
// server it talks to, and what the session manager asks of it.
namespace DesktopSession {

// Call before the application object exists. Under Wayland a program may
// not place its own windows, yet Main lives at a stored place: run through
// XWayland unless the user chose a Qt platform.
void preferX11();

// SIGTERM, SIGHUP and SIGINT end the run as the session's end does (see
// Watch), so that a log-off without a session manager loses nothing.
void quitOnTermination();

// The session manager's requests. A checkpoint, which a desktop takes
// also without logging off, asks only for data to be saved; the session
// is over only once the application is told to quit.
class Watch : public QObject
{
    Q_OBJECT
public:
    explicit Watch(QGuiApplication &app);

signals:
    // Save now what can be saved; the session may go on.
    void commitData();
    // The session ends: every window must let go, and the run ends.
    void ending();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace DesktopSession
