#include "LinuxPlatform.h"

#include "DesktopSession.h"
#include "LinuxAutostart.h"
#include "ThemeSound.h"
#include "platform/HelpViewer.h"
#include "platform/PlainBox.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include <ctime>

Q_LOGGING_CATEGORY(lcSound, "potora.sound", QtInfoMsg)

LinuxPlatform::LinuxPlatform(QString programName, QObject *parent)
    : Platform(parent)
    , m_name(std::move(programName))
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        auto *session = new DesktopSession::Watch(*app);
        session->setParent(this);
        connect(session, &DesktopSession::Watch::commitData, this, &Platform::sessionSaving);
        connect(session, &DesktopSession::Watch::ending, this, &Platform::sessionEnding);
    }
}

void LinuxPlatform::showBox(QWidget *parent, const QString &text, bool aboveAll)
{
    PlainBox::show(parent, m_name, text, aboveAll);
}

LinuxPlatform::~LinuxPlatform()
{
    delete m_tray;
    delete m_help;
}

QDateTime LinuxPlatform::now() const
{
    return QDateTime::currentDateTime();
}

qint64 LinuxPlatform::bootClockMs() const
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void LinuxPlatform::announce(const QString &text)
{
    showBox(nullptr, text, true);
    if (!m_quitting)
        ring();
}

void LinuxPlatform::ring()
{
    // Most desktops of today never sound the X bell; the sound server plays
    // the theme's bell at the volume the user gives event sounds.
    const auto ringXBell = [](const QString &why) {
        qCWarning(lcSound).noquote() << "the bell sound was not played:" << why << "- rang the X bell instead";
        QApplication::beep();
    };
    if (!m_sound) {
        m_sound = new ThemeSound(this);
        connect(m_sound, &ThemeSound::finished, this, [ringXBell](const QString &error) {
            if (!error.isEmpty())
                ringXBell(error);
        });
    }
    const QString error = m_sound->play(QStringLiteral("bell"), ThemeSound::desktopTheme());
    if (!error.isEmpty())
        ringXBell(error);
}

void LinuxPlatform::systemModalMessage(const QString &text)
{
    showBox(nullptr, text, true);
}

void LinuxPlatform::message(QWidget *parent, const QString &text)
{
    showBox(parent, text, false);
}

void LinuxPlatform::trayAdd(const QIcon &icon, const QString &tip)
{
    if (!m_trayAdded) {
        m_trayAdded = true;
        m_trayIcon = icon;
        m_trayTip = tip;
    }
    dockTray();
}

void LinuxPlatform::holdTray(bool held)
{
    m_trayHeld = held;
    dockTray();
}

void LinuxPlatform::dockTray()
{
    // Qt keeps a shown icon in whatever tray there is: it docks it again
    // when the tray is restarted or replaced and docks it late when no tray
    // existed yet. So an icon that exists only needs to stay shown; a
    // second show or a hide and show would make the icon flicker.
    if (!m_trayAdded || m_trayHeld)
        return;
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(m_trayIcon);
        m_tray->setToolTip(m_trayTip);
        // Only a left press counts. A double click arrives after the press
        // that began it, which has brought Main up already.
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                emit trayLeftPressed();
        });
    }
    if (m_tray->isVisible())
        return;
    m_tray->show();
    // The icon's window has no title of its own and would carry the
    // program's file name; trays that list their icons show it.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qstrcmp(window->metaObject()->className(), "QSystemTrayIconSys") == 0)
            window->setWindowTitle(m_tray->toolTip());
    }
}

void LinuxPlatform::trayDelete()
{
    m_trayAdded = false;
    delete m_tray;
    m_tray = nullptr;
}

bool LinuxPlatform::trayPresent() const
{
    return m_trayAdded;
}

Result<> LinuxPlatform::startupRegister(const QString &program, const QString &startIn, const QString &icon)
{
    return LinuxAutostart::write({m_name, program, startIn, icon});
}

Result<bool> LinuxPlatform::startupRemove()
{
    return LinuxAutostart::remove();
}

void LinuxPlatform::showHelp(const QUrl &page)
{
    HelpViewer::showIn(m_help, m_name, page);
}

QString LinuxPlatform::executablePath() const
{
    return QCoreApplication::applicationFilePath();
}

QString LinuxPlatform::userDataFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString LinuxPlatform::userDataHome() const
{
    return LinuxAutostart::baseFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

void LinuxPlatform::quitProgram()
{
    m_quitting = true;
    QCoreApplication::exit(0);
}
