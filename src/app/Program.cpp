#include "Program.h"

#include "geometry/Mainmove.h"
#include "main/Main.h"
#include "options/Option1.h"
#include "platform/Platform.h"
#include "startup/AOpen.h"
#include "startup/OpenTimer.h"
#include "store/DataFolder.h"
#include "timer/TimerMemoEditor.h"
#include "timer/Timermemo.h"

Program::Program(const DataFolder &data, Platform &platform, const ProgramPlaces &places)
    : values(data, [&platform](const QString &message) { platform.message(nullptr, message); })
    , windows(platform)
{
    Values &v = values;
    Windows &w = windows;
    w.setFactory(WindowId::Main, [&v, &platform, &w] { return new Main(v, platform, w); });
    w.setFactory(WindowId::AOpen, [&v, &platform] { return new AOpen(v, platform); });
    w.setFactory(WindowId::OpenTimer, [&v] { return new OpenTimer(v); });
    w.setFactory(WindowId::Timermemo, [&v, &w] { return new Timermemo(v, w); });
    w.setFactory(WindowId::Timermemo1, [&v, &w] { return new Timermemo1(v, w); });
    w.setFactory(WindowId::Timermemo2, [&v, &w] { return new Timermemo2(v, w); });
    w.setFactory(WindowId::Timermemo3, [&v, &w] { return new Timermemo3(v, w); });
    w.setFactory(WindowId::Mainmove, [&v, &platform, &w] { return new Mainmove(v, platform, w); });
    w.setFactory(WindowId::Option1, [&v, &platform, &w, places] { return new Option1(v, platform, w, places); });

    QObject::connect(&platform, &Platform::sessionSaving, &windows, &Windows::commitData);
    QObject::connect(&platform, &Platform::sessionEnding, &windows, &Windows::endSession);
}

bool Program::start()
{
    // The start-up memo's box waits inside Main's start-up step, before the
    // run's event loop: a quit there has closed every window already.
    windows.load(WindowId::Main);
    if (windows.ending())
        return false;
    windows.show(WindowId::Main);
    return true;
}
