#pragma once

#include "HelpViewer.h"
#include "Platform.h"

#include <QPointer>

class QSystemTrayIcon;

// The platform on a Linux desktop: Qt's tray icon and message boxes, the
// X bell, the freedesktop.org autostart folder and a help viewer of its own.
class LinuxPlatform : public Platform
{
    Q_OBJECT
public:
    explicit LinuxPlatform(QObject *parent = nullptr);
    ~LinuxPlatform() override;

    QDateTime now() const override;
    qint64 bootClockMs() const override;

    void announce(const QString &text) override;
    void systemModalMessage(const QString &text) override;
    void message(QWidget *parent, const QString &text) override;

    void trayAdd(const QIcon &icon, const QString &tip) override;
    void trayDelete() override;
    bool trayPresent() const override;

    Registered startupRegister(const QString &program, const QString &dataFolder) override;
    Removed startupRemove() override;

    void showHelp(const QUrl &page) override;
    // The viewer now open, if any.
    HelpViewer *helpViewer() const { return m_help; }

    QString userDataFolder() const override;
    void quitProgram() override;

private:
    QSystemTrayIcon *m_tray = nullptr;
    QPointer<HelpViewer> m_help;
};
