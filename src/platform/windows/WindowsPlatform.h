#pragma once

#include "platform/DesktopPlatform.h"

// The platform on Windows: the system's default sound, the interrupt time
// as the boot clock, the shortcut in the user's Startup folder, the
// executable's own folder, and the session's end as Windows announces it.
class WindowsPlatform : public DesktopPlatform
{
    Q_OBJECT
public:
    // `programName` is the title of every box.
    explicit WindowsPlatform(QString programName, QObject *parent = nullptr);

    qint64 bootClockMs() const override;

    // The shortcut starts "ポトラ.exe" in `startIn`, whatever this copy's own
    // file is called.
    Result<> startupRegister(const QString &startIn, const QString &icon) override;
    Result<Removal> startupRemove() override;

    // From GetModuleFileNameW: the folder of the executable is the data folder.
    QString executablePath() const override;
    QString userDataHome() const override;

private:
    void ring() override;
};
