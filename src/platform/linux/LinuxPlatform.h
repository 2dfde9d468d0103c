#pragma once

#include "platform/Platform.h"
#include "platform/TrayIcon.h"

#include <QPointer>

class HelpViewer;
class ThemeSound;

// The platform on a Linux desktop: Qt's tray icon and message boxes, the
// sound theme's bell (the X bell where no sound server plays it), the
// freedesktop.org autostart folder, a help viewer of its own, and the
// session manager's requests.
class LinuxPlatform : public Platform
{
    Q_OBJECT
public:
    // `programName` is the title of every box and the name of the entry
    // that starts the program at log-on.
    explicit LinuxPlatform(QString programName, QObject *parent = nullptr);
    ~LinuxPlatform() override;

    QDateTime now() const override;
    qint64 bootClockMs() const override;

    void announce(const QString &text) override;
    void systemModalMessage(const QString &text) override;
    void message(QWidget *parent, const QString &text) override;

    void trayAdd(const QIcon &icon, const QString &tip) override;
    void trayDelete() override;
    bool trayPresent() const override;
    // While held, an icon added waits to be made and docked, which takes
    // round trips to the X server that Main's first frame need not wait for.
    void holdTray(bool held);

    Result<> startupRegister(const QString &program, const QString &startIn, const QString &icon) override;
    Result<Removal> startupRemove() override;

    void showHelp(const QUrl &page) override;

    QString executablePath() const override;
    QString userDataFolder() const override;
    QString userDataHome() const override;
    void quitProgram() override;

private:
    void showBox(QWidget *parent, const QString &text, bool aboveAll);
    void ring();

    QString m_name;
    bool m_quitting = false;
    TrayIcon m_tray;
    QPointer<HelpViewer> m_help;
    ThemeSound *m_sound = nullptr; // made at the first sound
};
