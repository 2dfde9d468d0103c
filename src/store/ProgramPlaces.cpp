#include "ProgramPlaces.h"

#include <QDir>
#include <QFileInfo>

ProgramPlaces ProgramPlaces::decide(const QString &programFolder, bool marker, bool setFolder,
                                    const QString &userDataHome)
{
    const QString folder = QDir::cleanPath(programFolder);
    ProgramPlaces places;
    if (marker || setFolder) {
        places.data = folder;
        places.help = folder + QStringLiteral("/help.html");
        places.startIn = folder;
        places.icon = folder + QStringLiteral("/set/icon.png");
        return places;
    }
    if (!userDataHome.isEmpty())
        places.data = QDir::cleanPath(userDataHome) + QStringLiteral("/ポトラ");
    // Relative to the executable, so that any install prefix works.
    places.help = QDir::cleanPath(folder + QStringLiteral("/../share/potora/help.html"));
    // No folder to start in at log-on: the data folder may be removed by
    // its owner, the session's working directory (the home folder) stays.
    places.icon = QStringLiteral("potora"); // in the icon theme, from the package
    return places;
}

ProgramPlaces ProgramPlaces::find(const QString &executablePath, const QString &userDataHome)
{
    // A symbolic link to the program finds the folder the program is in.
    const QFileInfo program(executablePath);
    const QDir folder = QFileInfo(program.exists() ? program.canonicalFilePath() : executablePath).absoluteDir();
    return decide(folder.path(), QFileInfo(folder.filePath(kMarker)).isFile(),
                  QFileInfo(folder.filePath(QStringLiteral("set"))).isDir(), userDataHome);
}
