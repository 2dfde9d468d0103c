#include "LinuxAutostart.h"

#include "XdgFolders.h"

#include "store/FileSystem.h"
#include "store/Texts.h"

#include <QFileInfo>

namespace LinuxAutostart {

QString folder()
{
    const QString config = XdgFolders::configHome();
    return config.isEmpty() ? QString() : config + QStringLiteral("/autostart");
}

QString entryPath()
{
    const QString dir = folder();
    // The file keeps the name it always had, whatever the entry's Name.
    return dir.isEmpty() ? QString() : dir + QStringLiteral("/ポトラ.desktop");
}

QString execArgument(const QString &argument)
{
    // Quoting always is allowed and spares deciding which characters are
    // reserved. Field codes are expanded after unquoting, so "%" doubles
    // inside the quotes too.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        else if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';
    // Readers undo the string escapes before the quoting, so they go on last.
    return stringValue(quoted);
}

QString stringValue(const QString &value)
{
    QString escaped;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

QByteArray entryText(const Entry &entry)
{
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=") + stringValue(entry.name) + u'\n';
    text += QStringLiteral("Comment=\n");
    text += QStringLiteral("Exec=") + execArgument(entry.program) + u'\n';
    if (!entry.workingDirectory.isEmpty())
        text += QStringLiteral("Path=") + stringValue(entry.workingDirectory) + u'\n';
    text += QStringLiteral("Icon=") + stringValue(entry.icon) + u'\n';
    text += QStringLiteral("Terminal=false\n");
    // The tray icon needs the panel; these make the desktops wait for it.
    text += QStringLiteral("X-GNOME-Autostart-Delay=5\n");
    text += QStringLiteral("X-KDE-autostart-after=panel\n");
    text += QStringLiteral("X-LXQt-Need-Tray=true\n");
    return text.toUtf8();
}

Result<> write(const Entry &entry)
{
    const QString dir = folder();
    if (dir.isEmpty())
        return {Texts::noHome()};
    if (const Result<> made = FileSystem::makeFolder(dir); !made.ok())
        return {Texts::cannotMakeFolder(made.error)};

    const QString path = entryPath();
    if (QFileInfo(path).isDir())
        return {Texts::pathReason(path, Texts::folderInTheWay())};
    const Result<> written = FileSystem::replace(path, entryText(entry));
    return {written.ok() ? QString() : Texts::pathReason(path, written.error)};
}

Result<Platform::Removal> remove()
{
    const QString path = entryPath();
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
        return {Platform::Removal::NotRegistered, QString()};
    if (info.isDir())
        return {{}, Texts::pathReason(path, Texts::folderInTheWay())};
    QFile file(path);
    if (!file.remove())
        return {{}, Texts::pathReason(path, file.errorString())};
    return {Platform::Removal::Removed, QString()};
}

} // namespace LinuxAutostart
