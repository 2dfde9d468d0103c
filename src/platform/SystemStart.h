#pragma once

#include "store/ProgramPlaces.h"

#include <functional>
#include <memory>

class DesktopPlatform;
class Platform;
class SingleInstance;

// What starting the program takes of the system it runs on: its platform,
// where its data lives, the one running copy per data folder, and the
// system's requests to end the run, so that main() is the same everywhere.
// What every system does alike is platform/SystemStart.cpp; what differs
// (marked "each system's") is platform/<system>/SystemStart.cpp, chosen by
// the build.
class SystemStart
{
public:
    enum class Outcome {
        First,      // this copy runs; it now holds the folder
        Handed,     // a running copy took the start over
        Unreachable // a live copy holds the folder but does not answer
    };

    // Each system's: before the application object exists.
    static void beforeApplication();

    // `programName` titles every box and names the start at log-on.
    explicit SystemStart(const QString &programName);
    ~SystemStart();

    Platform &platform();
    // Each system's: where the data lives and where the files the program
    // ships with are.
    ProgramPlaces places() const;

    // Claims the data folder for this copy, before anything is written there:
    // a later start asks the running copy to bring Main up and goes away.
    Outcome claim(const QString &dataRoot);
    // What the running copy does when a later start asks for Main.
    void onShowRequested(std::function<void()> show);

    // Each system's: once the windows exist, the system's requests to end
    // the program end it as the session's end does.
    void endOnTermination();

    // While held, an icon added waits to be made and docked, so that Main's
    // first frame need not wait for the tray.
    void holdTray(bool held);

private:
    // Each system's platform and its way of keeping one copy per folder.
    static std::unique_ptr<DesktopPlatform> systemPlatform(const QString &programName);
    static std::unique_ptr<SingleInstance> systemInstance(const QString &dataRoot);

    std::unique_ptr<DesktopPlatform> m_platform;
    std::unique_ptr<SingleInstance> m_instance; // once the folder is claimed
};
