#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QSystemTrayIcon;

// The program's one tray icon, as every system keeps it: added once and
// kept shown in whatever tray there is, and held back from being made
// while Main's first frame is drawn. Only a left click is told.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~TrayIcon() override;

    // Adding it while present changes nothing.
    void add(const QIcon &icon, const QString &tip);
    void remove();
    bool present() const { return m_added; }
    // While held, an icon added waits to be made and docked, which takes
    // round trips to the display that Main's first frame need not wait for.
    void hold(bool held);

signals:
    void leftPressed();

private:
    void dock();

    bool m_added = false;
    bool m_held = false;
    QIcon m_icon;
    QString m_tip;
    QSystemTrayIcon *m_tray = nullptr;
};
