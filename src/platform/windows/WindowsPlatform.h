#pragma once

#include "platform/Platform.h"
#include "platform/TrayIcon.h"

#include <QPointer>

class HelpViewer;

// The platform on Windows: Qt's tray icon in the notification area and its
// message boxes, the system's default sound, the shortcut in the user's
// Startup folder, the help viewer every system shares, and the session's
// end as Windows announces it.
class WindowsPlatform : public Platform
{
    Q_OBJECT
public:
    // `programName` is the title of every box.
    explicit WindowsPlatform(QString programName, QObject *parent = nullptr);
    ~WindowsPlatform() override;

    QDateTime now() const override;
    qint64 bootClockMs() const override;

    void announce(const QString &text) override;
    void systemModalMessage(const QString &text) override;
    void message(QWidget *parent, const QString &text) override;

    void trayAdd(const QIcon &icon, const QString &tip) override;
    void trayDelete() override;
    bool trayPresent() const override;
    // While held, an icon added waits to be made, so that Main's first
    // frame need not wait for the shell.
    void holdTray(bool held);

    // The shortcut starts "ポトラ.exe" beside `program`, whatever this
    // copy's own file is called, in `startIn`, with `icon`.
    Result<> startupRegister(const QString &program, const QString &startIn, const QString &icon) override;
    Result<Removal> startupRemove() override;

    void showHelp(const QUrl &page) override;

    // From GetModuleFileNameW: the folder of the executable is the data folder.
    QString executablePath() const override;
    QString userDataFolder() const override;
    QString userDataHome() const override;
    void quitProgram() override;

private:
    void showBox(QWidget *parent, const QString &text, bool aboveAll);

    QString m_name;
    bool m_quitting = false;
    TrayIcon m_tray;
    QPointer<HelpViewer> m_help;
};
