#pragma once

#include "platform/SessionWatch.h"

// The session manager's requests on a Linux desktop. A checkpoint, which a
// desktop takes also without logging off, asks only for data to be saved;
// the session is over only once the application is told to quit, by the
// session manager or by a signal (DesktopSession::quitOnTermination).
class LinuxSessionWatch : public SessionWatch
{
    Q_OBJECT
public:
    explicit LinuxSessionWatch(QGuiApplication &app);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
