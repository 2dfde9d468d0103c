#include "DesktopPlatform.h"

#include "HelpViewer.h"
#include "PlainBox.h"
#include "SessionWatch.h"

#include <QCoreApplication>
#include <QStandardPaths>

DesktopPlatform::DesktopPlatform(QString programName, QObject *parent)
    : Platform(parent)
    , m_name(std::move(programName))
{
    connect(&m_tray, &TrayIcon::leftPressed, this, &Platform::trayLeftPressed);
}

DesktopPlatform::~DesktopPlatform()
{
    delete m_help;
}

void DesktopPlatform::followSession(SessionWatch *watch)
{
    watch->setParent(this);
    connect(watch, &SessionWatch::commitData, this, &Platform::sessionSaving);
    connect(watch, &SessionWatch::ending, this, &Platform::sessionEnding);
}

QDateTime DesktopPlatform::now() const
{
    return QDateTime::currentDateTime();
}

void DesktopPlatform::showBox(QWidget *parent, const QString &text, bool aboveAll)
{
    PlainBox::show(parent, m_name, text, aboveAll);
}

void DesktopPlatform::announce(const QString &text)
{
    showBox(nullptr, text, true);
    // A box the end of the run closed rings nothing.
    if (!m_quitting)
        ring();
}

void DesktopPlatform::systemModalMessage(const QString &text)
{
    showBox(nullptr, text, true);
}

void DesktopPlatform::message(QWidget *parent, const QString &text)
{
    showBox(parent, text, false);
}

void DesktopPlatform::trayAdd(const QIcon &icon, const QString &tip)
{
    m_tray.add(icon, tip);
}

void DesktopPlatform::holdTray(bool held)
{
    m_tray.hold(held);
}

void DesktopPlatform::trayDelete()
{
    m_tray.remove();
}

bool DesktopPlatform::trayPresent() const
{
    return m_tray.present();
}

void DesktopPlatform::showHelp(const QUrl &page)
{
    HelpViewer::showIn(m_help, m_name, page);
}

QString DesktopPlatform::userDataFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

void DesktopPlatform::quitProgram()
{
    m_quitting = true;
    QCoreApplication::exit(0);
}
