#include "TrayIcon.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QWidget>

TrayIcon::~TrayIcon()
{
    delete m_tray;
}

void TrayIcon::add(const QIcon &icon, const QString &tip)
{
    if (!m_added) {
        m_added = true;
        m_icon = icon;
        m_tip = tip;
    }
    dock();
}

void TrayIcon::hold(bool held)
{
    m_held = held;
    dock();
}

void TrayIcon::dock()
{
    // Qt keeps a shown icon in whatever tray there is: it docks it again
    // when the tray is restarted or replaced (Explorer's TaskbarCreated on
    // Windows) and docks it late when no tray existed yet. So an icon that
    // exists only needs to stay shown; a second show or a hide and show
    // would make the icon flicker.
    if (!m_added || m_held)
        return;
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(m_icon);
        m_tray->setToolTip(m_tip);
        // Only a left press counts. A double click arrives after the press
        // that began it, which has brought Main up already.
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                emit leftPressed();
        });
    }
    if (m_tray->isVisible())
        return;
    m_tray->show();
    // On X11 the icon's window has no title of its own and would carry the
    // program's file name; trays that list their icons show it.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qstrcmp(window->metaObject()->className(), "QSystemTrayIconSys") == 0)
            window->setWindowTitle(m_tray->toolTip());
    }
}

void TrayIcon::remove()
{
    m_added = false;
    delete m_tray;
    m_tray = nullptr;
}
