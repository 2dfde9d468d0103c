#pragma once

#include <QString>

// Where the program keeps its data and finds the files it ships with.
//
// A portable program folder keeps everything beside the executable, as it
// always has. A program installed by the package (in /usr/bin) cannot write
// beside itself; it keeps the same files in the user's data home under
// "ポトラ", and its help page in <prefix>/share/potora.
//
// The folder is portable when it holds the marker file the build puts
// beside the executable, or a "set" folder: every folder the program ever
// ran from has one (the icons ship in it), so folders from before the
// marker keep their data where it is. The package installs neither. Write
// access decides nothing: root can write to /usr/bin, and a portable
// folder on a read-only stick must still be read from.
struct ProgramPlaces {
    QString data;    // the data folder; empty when none can be formed
    QString help;    // the help page
    QString startIn; // where to start at log-on; empty for the session's own
    QString icon;    // for desktop entries: an image file or a theme icon name

    // The marker's name beside the executable.
    static inline const QString kMarker = QStringLiteral("portable.txt");

    // The portable layout: the program's folder holds the data and the help
    // page and is where the program starts at log-on; `icon` is a file in
    // its "set" folder.
    static ProgramPlaces portable(const QString &programFolder, const QString &icon);
    // The rule itself. `userDataHome` is $XDG_DATA_HOME or its default,
    // empty when neither can be formed.
    static ProgramPlaces decide(const QString &programFolder, bool marker, bool setFolder,
                                const QString &userDataHome);
    // The rule over what the program's folder holds.
    static ProgramPlaces find(const QString &executablePath, const QString &userDataHome);
};
