#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class QGuiApplication;

// What Windows asks of the program when the user logs off or shuts down.
// WM_QUERYENDSESSION asks whether the session may end, which is never
// refused and never waits for a box: memos are saved then, and the session
// may still go on (another program can refuse). WM_ENDSESSION tells it
// ends: Windows may end the process as soon as that message returns, so the
// program lets go of its windows and saves or rescues its memos within it.
class SessionWatch : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit SessionWatch(QGuiApplication &app);
    ~SessionWatch() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    // Save now what can be saved; the session may go on.
    void commitData();
    // The session ends: every window must let go, and the run ends.
    void ending();

private:
    bool m_ended = false;
};
