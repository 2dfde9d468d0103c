#include "platform/SystemStart.h"

#include "DesktopSession.h"
#include "LinuxPlatform.h"
#include "SingleInstance.h"

struct SystemStart::Parts {
    explicit Parts(const QString &programName)
        : platform(programName)
    {
    }
    LinuxPlatform platform;
    std::unique_ptr<SingleInstance> instance;
};

void SystemStart::beforeApplication()
{
    DesktopSession::preferX11();
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
    return ProgramPlaces::find(m_parts->platform.executablePath(), m_parts->platform.userDataHome());
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
    DesktopSession::quitOnTermination();
}

void SystemStart::holdTray(bool held)
{
    m_parts->platform.holdTray(held);
}
