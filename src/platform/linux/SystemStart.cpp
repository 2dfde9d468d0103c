#include "platform/SystemStart.h"

#include "DesktopSession.h"
#include "LinuxPlatform.h"
#include "LinuxSingleInstance.h"

void SystemStart::beforeApplication()
{
    DesktopSession::preferX11();
}

std::unique_ptr<DesktopPlatform> SystemStart::systemPlatform(const QString &programName)
{
    return std::make_unique<LinuxPlatform>(programName);
}

std::unique_ptr<SingleInstance> SystemStart::systemInstance(const QString &dataRoot)
{
    return std::make_unique<LinuxSingleInstance>(dataRoot);
}

ProgramPlaces SystemStart::places() const
{
    return ProgramPlaces::find(m_platform->executablePath(), m_platform->userDataHome());
}

void SystemStart::endOnTermination()
{
    DesktopSession::quitOnTermination();
}
