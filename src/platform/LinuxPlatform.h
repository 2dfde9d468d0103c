#pragma once

#include "Platform.h"

#include <QPointer>

class QSystemTrayIcon;

// The platform on a Linux desktop: Qt's tray icon and message boxes, the
// X bell, and the freedesktop.org autostart folder.
class LinuxPlatform : public Platform
{
    Q_OBJECT
public:
    explicit LinuxPlatform(QObject *parent = nullptr);
    ~LinuxPlatform() override;

    QDateTime now() const override;

    void announce(const QString &text) override;
    void systemModalMessage(const QString &text) override;
    void message(QWidget *parent, const QString &text) override;

    void trayAdd(const QIcon &icon, const QString &tip) override;
    void trayDelete() override;
    bool trayPresent() const override;

private:
    QSystemTrayIcon *m_tray = nullptr;
};
