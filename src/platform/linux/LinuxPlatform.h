#pragma once

#include "platform/DesktopPlatform.h"

class ThemeSound;

// The platform on a Linux desktop: the sound theme's bell (the X bell where
// no sound server plays it), the boot clock, the freedesktop.org autostart
// folder, the XDG data home, and the session manager's requests.
class LinuxPlatform : public DesktopPlatform
{
    Q_OBJECT
public:
    // `programName` is the title of every box and the name of the entry
    // that starts the program at log-on.
    explicit LinuxPlatform(QString programName, QObject *parent = nullptr);

    qint64 bootClockMs() const override;

    // The entry starts this executable.
    Result<> startupRegister(const QString &startIn, const QString &icon) override;
    Result<Removal> startupRemove() override;

    QString executablePath() const override;
    QString userDataHome() const override;

private:
    void ring() override;

    ThemeSound *m_sound = nullptr; // made at the first sound
};
