#include "WindowFactories.h"

#include "Windows.h"
#include "geometry/Mainmove.h"
#include "main/Main.h"
#include "startup/AOpen.h"
#include "startup/OpenTimer.h"

void registerWindows(Windows &windows)
{
    windows.setFactory(Windows::Id::Main, [](Windows &w) { return new Main(w); });
    windows.setFactory(Windows::Id::AOpen, [](Windows &w) { return new AOpen(w); });
    windows.setFactory(Windows::Id::OpenTimer, [](Windows &w) { return new OpenTimer(w); });
    windows.setFactory(Windows::Id::Mainmove, [](Windows &w) { return new Mainmove(w); });
}
