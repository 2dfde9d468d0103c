#include "LinuxPlatform.h"

#include "LinuxAutostart.h"
#include "LinuxSessionWatch.h"
#include "ThemeSound.h"
#include "XdgFolders.h"
#include "platform/HelpViewer.h"
#include "platform/PlainBox.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <ctime>

Q_LOGGING_CATEGORY(lcSound, "potora.sound", QtInfoMsg)

LinuxPlatform::LinuxPlatform(QString programName, QObject *parent)
    : Platform(parent)
    , m_name(std::move(programName))
{
    connect(&m_tray, &TrayIcon::leftPressed, this, &Platform::trayLeftPressed);
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        auto *session = new LinuxSessionWatch(*app);
        session->setParent(this);
        connect(session, &SessionWatch::commitData, this, &Platform::sessionSaving);
        connect(session, &SessionWatch::ending, this, &Platform::sessionEnding);
    }
}

void LinuxPlatform::showBox(QWidget *parent, const QString &text, bool aboveAll)
{
    PlainBox::show(parent, m_name, text, aboveAll);
}

LinuxPlatform::~LinuxPlatform()
{
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
        connect(m_sound, &ThemeSound::finished, this, [ringXBell](const Result<> &played) {
            if (!played.ok())
                ringXBell(played.error);
        });
    }
    if (const Result<> started = m_sound->play(QStringLiteral("bell"), ThemeSound::desktopTheme()); !started.ok())
        ringXBell(started.error);
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
    m_tray.add(icon, tip);
}

void LinuxPlatform::holdTray(bool held)
{
    m_tray.hold(held);
}

void LinuxPlatform::trayDelete()
{
    m_tray.remove();
}

bool LinuxPlatform::trayPresent() const
{
    return m_tray.present();
}

Result<> LinuxPlatform::startupRegister(const QString &program, const QString &startIn, const QString &icon)
{
    return LinuxAutostart::write({m_name, program, startIn, icon});
}

Result<Platform::Removal> LinuxPlatform::startupRemove()
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
    return XdgFolders::dataHome();
}

void LinuxPlatform::quitProgram()
{
    m_quitting = true;
    QCoreApplication::exit(0);
}
