#pragma once

#include "store/ProgramPlaces.h"

#include <functional>
#include <memory>

class Platform;

// What starting the program takes of the system it runs on: its platform,
// where its data lives, the one running copy per data folder, and the
// system's requests to end the run. One implementation per system
// (platform/<system>/SystemStart.cpp), chosen by the build, so that main()
// is the same everywhere.
class SystemStart
{
public:
    enum class Outcome {
        First,      // this copy runs; it now holds the folder
        Handed,     // a running copy took the start over
        Unreachable // a live copy holds the folder but does not answer
    };

    // Before the application object exists.
    static void beforeApplication();

    // `programName` titles every box and names the start at log-on.
    explicit SystemStart(const QString &programName);
    ~SystemStart();

    Platform &platform();
    // Where the data lives and where the files the program ships with are.
    ProgramPlaces places() const;

    // Claims the data folder for this copy, before anything is written there:
    // a later start asks the running copy to bring Main up and goes away.
    Outcome claim(const QString &dataRoot);
    // What the running copy does when a later start asks for Main.
    void onShowRequested(std::function<void()> show);

    // Once the windows exist: the system's requests to end the program end
    // it as the session's end does.
    void endOnTermination();

    // While held, an icon added waits to be made and docked, so that Main's
    // first frame need not wait for the tray.
    void holdTray(bool held);

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};
