#include "Rescue.h"

#include "FileSystem.h"
#include "Texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Rescue {
namespace {

QString noticePath(const QString &folder) { return folder + QStringLiteral("/notice.txt"); }

} // namespace

Result<QString> save(const QString &folder, const QString &memo, const QDateTime &time, const QString &text)
{
    Result<QString> saved;
    const Result<> made = folder.isEmpty() ? Result<>{Texts::noFolder()} : FileSystem::makeFolder(folder);
    if (!made.ok()) {
        saved.error = Texts::cannotMakeFolder(made.error);
        return saved;
    }
    const QString stem = QStringLiteral("%1/%2 %3").arg(folder, memo, time.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
    QString path = stem + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = stem + QStringLiteral(" (%1).txt").arg(n);
    saved.error = FileSystem::replace(path, text.toUtf8()).error;
    if (saved.ok())
        saved.value = path;
    return saved;
}

Result<> leaveNotice(const QString &folder, const QString &text)
{
    QString notice = takeNotice(folder);
    if (!notice.isEmpty())
        notice += QLatin1Char('\n');
    const Result<> made = FileSystem::makeFolder(folder);
    return made.ok() ? FileSystem::replace(noticePath(folder), (notice + text).toUtf8()) : made;
}

QString takeNotice(const QString &folder)
{
    QFile file(noticePath(folder));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString text = QString::fromUtf8(file.readAll());
    file.remove();
    return text;
}

} // namespace Rescue
