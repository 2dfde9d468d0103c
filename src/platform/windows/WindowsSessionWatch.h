#pragma once

#include "platform/SessionWatch.h"

#include <QAbstractNativeEventFilter>

// What Windows asks of the program when the user logs off or shuts down.
// WM_QUERYENDSESSION asks whether the session may end, which is never
// refused and never waits for a box: memos are saved then, and the session
// may still go on (another program can refuse). WM_ENDSESSION tells it
// ends: Windows may end the process as soon as that message returns, so the
// program lets go of its windows and saves or rescues its memos within it.
class WindowsSessionWatch : public SessionWatch, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit WindowsSessionWatch(QGuiApplication &app);
    ~WindowsSessionWatch() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    bool m_ended = false;
};
