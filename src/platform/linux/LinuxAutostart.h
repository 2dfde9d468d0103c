#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QString>

// The freedesktop.org autostart entry that starts the program at log-on:
// "ポトラ.desktop" in the user's autostart folder.
namespace LinuxAutostart {

struct Entry {
    QString name;             // the program's name in the desktop's lists
    QString program;          // the executable
    QString workingDirectory; // empty: where the session starts programs
    QString icon;             // an image file or a theme icon's name
};

// $XDG_CONFIG_HOME/autostart, else ~/.config/autostart; empty without one.
QString folder();
// The entry's full path, empty without a folder.
QString entryPath();

// One argument of an Exec line, quoted and escaped as it is written to the
// file, so that any path reaches the program unchanged.
QString execArgument(const QString &argument);
// A string value as written to the file.
QString stringValue(const QString &value);
QByteArray entryText(const Entry &entry);

// Writes or replaces the entry, creating the folder.
Result<> write(const Entry &entry);

// Deletes the entry, if there is one.
Result<Platform::Removal> remove();

} // namespace LinuxAutostart
