#include "LinuxPlatform.h"

#include "LinuxAutostart.h"
#include "LinuxSessionWatch.h"
#include "ThemeSound.h"
#include "XdgFolders.h"

#include <QApplication>
#include <QLoggingCategory>

#include <ctime>

Q_LOGGING_CATEGORY(lcSound, "potora.sound", QtInfoMsg)

LinuxPlatform::LinuxPlatform(QString programName, QObject *parent)
    : DesktopPlatform(std::move(programName), parent)
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        followSession(new LinuxSessionWatch(*app));
}

qint64 LinuxPlatform::bootClockMs() const
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
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

Result<> LinuxPlatform::startupRegister(const QString &startIn, const QString &icon)
{
    return LinuxAutostart::write({programName(), executablePath(), startIn, icon});
}

Result<Platform::Removal> LinuxPlatform::startupRemove()
{
    return LinuxAutostart::remove();
}

QString LinuxPlatform::executablePath() const
{
    return QCoreApplication::applicationFilePath();
}

QString LinuxPlatform::userDataHome() const
{
    return XdgFolders::dataHome();
}
