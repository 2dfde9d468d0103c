#include "ProgramPlaces.h"

#include <QDir>
#include <QFileInfo>

ProgramPlaces ProgramPlaces::portable(const QString &programFolder, const QString &icon)
{
    ProgramPlaces places;
    places.data = programFolder;
    places.help = programFolder + QStringLiteral("/help.html");
    places.startIn = programFolder;
    places.icon = programFolder + QStringLiteral("/set/") + icon;
    return places;
}

ProgramPlaces ProgramPlaces::decide(const QString &programFolder, bool marker, bool setFolder,
                                    const QString &userDataHome)
{
    const QString folder = QDir::cleanPath(programFolder);
    // A desktop entry's icon may be a PNG file.
    if (marker || setFolder)
        return portable(folder, QStringLiteral("icon.png"));
    ProgramPlaces places;
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
