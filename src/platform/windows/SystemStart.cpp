#include "platform/SystemStart.h"

#include "SingleInstance.h"
#include "WindowsPlatform.h"

#include <QFileInfo>

struct SystemStart::Parts {
    explicit Parts(const QString &programName)
        : platform(programName)
    {
    }
    WindowsPlatform platform;
    std::unique_ptr<SingleInstance> instance;
};

void SystemStart::beforeApplication()
{
    // Nothing to choose before Qt starts: there is one display server.
}

SystemStart::SystemStart(const QString &programName)
    : m_parts(std::make_unique<Parts>(programName))
{
}

SystemStart::~SystemStart() = default;

Platform &SystemStart::platform()
{
    return m_parts->platform;
}

ProgramPlaces SystemStart::places() const
{
    // The program's folder is its data folder, always: it is unzipped where
    // the user can write, and the Startup shortcut starts it there.
    const QString folder = QFileInfo(m_parts->platform.executablePath()).absolutePath();
    ProgramPlaces places;
    places.data = folder;
    places.help = folder + QStringLiteral("/help.html");
    places.startIn = folder;
    places.icon = folder + QStringLiteral("/set/icon.ico");
    return places;
}

SystemStart::Outcome SystemStart::claim(const QString &dataRoot)
{
    m_parts->instance = std::make_unique<SingleInstance>(dataRoot);
    return m_parts->instance->claim();
}

void SystemStart::onShowRequested(std::function<void()> show)
{
    SingleInstance *instance = m_parts->instance.get();
    QObject::connect(instance, &SingleInstance::showRequested, instance, std::move(show));
}

void SystemStart::endOnTermination()
{
    // Windows ends a program that has windows through the session's
    // messages alone, which the platform watches from its start.
}

void SystemStart::holdTray(bool held)
{
    m_parts->platform.holdTray(held);
}
