#include "SystemStart.h"

#include "DesktopPlatform.h"
#include "SingleInstance.h"

SystemStart::SystemStart(const QString &programName)
    : m_platform(systemPlatform(programName))
{
}

SystemStart::~SystemStart() = default;

Platform &SystemStart::platform()
{
    return *m_platform;
}

SystemStart::Outcome SystemStart::claim(const QString &dataRoot)
{
    m_instance = systemInstance(dataRoot);
    return m_instance->claim();
}

void SystemStart::onShowRequested(std::function<void()> show)
{
    QObject::connect(m_instance.get(), &SingleInstance::showRequested, m_instance.get(), std::move(show));
}

void SystemStart::holdTray(bool held)
{
    m_platform->holdTray(held);
}
