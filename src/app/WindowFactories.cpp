#include "WindowFactories.h"

#include "Windows.h"
#include "geometry/Mainmove.h"
#include "main/Main.h"
#include "options/Option1.h"
#include "timer/TimerMemoEditor.h"
#include "timer/Timermemo.h"
#include "startup/AOpen.h"
#include "startup/OpenTimer.h"

void registerWindows(Windows &windows)
{
    windows.setFactory(Windows::Id::Main, [](Windows &w) { return new Main(w); });
    windows.setFactory(Windows::Id::Timermemo, [](Windows &w) { return new Timermemo(w); });
    windows.setFactory(Windows::Id::Timermemo1, [](Windows &w) { return new Timermemo1(w); });
    windows.setFactory(Windows::Id::Timermemo2, [](Windows &w) { return new Timermemo2(w); });
    windows.setFactory(Windows::Id::Timermemo3, [](Windows &w) { return new Timermemo3(w); });
    windows.setFactory(Windows::Id::Option1, [](Windows &w) { return new Option1(w); });
    windows.setFactory(Windows::Id::AOpen, [](Windows &w) { return new AOpen(w); });
    windows.setFactory(Windows::Id::OpenTimer, [](Windows &w) { return new OpenTimer(w); });
    windows.setFactory(Windows::Id::Mainmove, [](Windows &w) { return new Mainmove(w); });
}
