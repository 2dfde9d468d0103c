#include "WindowFactories.h"

#include "Windows.h"
#include "main/Main.h"

void registerWindows(Windows &windows)
{
    windows.setFactory(Windows::Id::Main, [](Windows &w) { return new Main(w); });
}
