#include "WindowFactories.h"

#include "Windows.h"
#include "main/Main.h"
#include "options/Option1.h"

void registerWindows(Windows &windows)
{
    windows.setFactory(Windows::Id::Main, [](Windows &w) { return new Main(w); });
    windows.setFactory(Windows::Id::Option1, [](Windows &w) { return new Option1(w); });
}
