#include "platform/SystemStart.h"

#include "WindowsPlatform.h"
#include "WindowsSingleInstance.h"

#include <QFileInfo>

void SystemStart::beforeApplication()
{
    // Nothing to choose before Qt starts: there is one display server.
}

std::unique_ptr<DesktopPlatform> SystemStart::systemPlatform(const QString &programName)
{
    return std::make_unique<WindowsPlatform>(programName);
}

std::unique_ptr<SingleInstance> SystemStart::systemInstance(const QString &dataRoot)
{
    return std::make_unique<WindowsSingleInstance>(dataRoot);
}

ProgramPlaces SystemStart::places() const
{
    // The program's folder is its data folder, always: it is unzipped where
    // the user can write, and the Startup shortcut starts it there. A
    // shortcut's icon is an .ico file.
    return ProgramPlaces::portable(QFileInfo(m_platform->executablePath()).absolutePath(), QStringLiteral("icon.ico"));
}

void SystemStart::endOnTermination()
{
    // Windows ends a program that has windows through the session's
    // messages alone, which the platform watches from its start.
}
