#pragma once

#include "Platform.h"
#include "TrayIcon.h"

#include <QPointer>

class HelpViewer;
class SessionWatch;

// What the platform does alike on every real desktop: Qt's message boxes
// and tray icon, the program's own help viewer, the local clock, the
// user's data folder, the end of the run, and the session's requests once
// the system's watch hears them. Each system adds its bell, its boot
// clock, its start at log-on and where its files are.
class DesktopPlatform : public Platform
{
    Q_OBJECT
public:
    // `programName` is the title of every box.
    explicit DesktopPlatform(QString programName, QObject *parent = nullptr);
    ~DesktopPlatform() override;

    QDateTime now() const override;

    void announce(const QString &text) override;
    void systemModalMessage(const QString &text) override;
    void message(QWidget *parent, const QString &text) override;

    void trayAdd(const QIcon &icon, const QString &tip) override;
    void trayDelete() override;
    bool trayPresent() const override;
    // While held, an icon added waits to be made and docked, which takes
    // round trips to the display that Main's first frame need not wait for.
    void holdTray(bool held);

    void showHelp(const QUrl &page) override;

    QString userDataFolder() const override;
    void quitProgram() override;

protected:
    const QString &programName() const { return m_name; }
    // The system's sound after a memo's box; it plays on while the program
    // goes on.
    virtual void ring() = 0;
    // The session's requests as the system's watch hears them are the
    // platform's; the platform owns the watch from now on.
    void followSession(SessionWatch *watch);

private:
    void showBox(QWidget *parent, const QString &text, bool aboveAll);

    QString m_name;
    bool m_quitting = false;
    TrayIcon m_tray;
    QPointer<HelpViewer> m_help;
};
