#pragma once

#include "platform/Platform.h"

#include <QString>

// The shortcut that starts the program at log-on: "ポトラ.lnk" in the
// user's Startup folder, made through the shell's own IShellLinkW.
namespace StartupShortcut {

struct Shortcut {
    QString target;     // the executable
    QString folder;     // the data folder: the working folder and the relative path
    QString icon;       // an .ico file
};

// The user's Startup folder (CSIDL_STARTUP), not made when missing; empty
// when the shell names none.
QString folder();
// The shortcut's full path, empty without a folder.
QString path();

// Writes or replaces the shortcut.
Result<> write(const Shortcut &shortcut);

// Deletes the shortcut, if there is one.
Result<Platform::Removal> remove();

} // namespace StartupShortcut
