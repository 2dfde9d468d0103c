#include "DataFolder.h"

#include "ValueFile.h"
#include "ValueFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A value file is tiny; anything far larger is damage, not a memo.
constexpr qint64 kMaxValueFileBytes = 64 * 1024 * 1024;

// A replace cut short by a crash leaves its temporary file beside the value
// file: "<name>.XXXXXX" from QSaveFile, "<name>.link" from a backup.
bool isLeftover(const QString &entry, const QString &valueName)
{
    if (!entry.startsWith(valueName + QLatin1Char('.')))
        return false;
    const QStringView suffix = QStringView(entry).mid(valueName.size() + 1);
    if (suffix == QLatin1String("link"))
        return true;
    return suffix.size() == 6
           && std::all_of(suffix.begin(), suffix.end(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; });
}

} // namespace

DataFolder::DataFolder(QString root)
    : m_root(QDir::cleanPath(std::move(root)))
{
}

DataFolder DataFolder::ofExecutable()
{
    return DataFolder(QCoreApplication::applicationDirPath());
}

QString DataFolder::absolute(const QString &relative) const
{
    return m_root + QLatin1Char('/') + relative;
}

DataFolder::Read DataFolder::readValue(const QString &relative) const
{
    Read result;
    QFile file(absolute(relative));
    if (QFileInfo(file).isDir()) {
        result.error = QCoreApplication::translate("DataFolder", "ファイルではなくフォルダです");
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (file.size() > kMaxValueFileBytes) {
        result.error = QCoreApplication::translate("DataFolder", "ファイルが大きすぎます");
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    const ValueFile::Decoded decoded = ValueFile::decode(bytes);
    result.text = decoded.text;
    if (!decoded.clean)
        result.error = QCoreApplication::translate("DataFolder", "文字コードが正しくない部分があります");
    return result;
}

DataFolder::Write DataFolder::writeIntegerValue(const QString &relative, int value) const
{
    return replace(relative, ValueFile::encodeInteger(value));
}

DataFolder::Write DataFolder::writeTextValue(const QString &relative, const QString &text) const
{
    return replace(relative, ValueFile::encodeText(text));
}

DataFolder::Write DataFolder::replace(const QString &relative, const QByteArray &bytes) const
{
    // QSaveFile writes beside the target, syncs and renames on commit, so a
    // crash leaves the old or the new value, never a cut one.
    Write result;
    const QString path = absolute(relative);
    if (QFileInfo(path).isDir()) {
        result.error = QCoreApplication::translate("DataFolder", "ファイルではなくフォルダです");
        return result;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        result.error = file.errorString();
        file.cancelWriting();
    }
    return result;
}

namespace {

// Gives `to` the very file `from` is, by a hard link renamed into place:
// no byte is read or written, and the replace is atomic. Only for a plain
// file with no other name, so that replacing `from` later cannot change
// `to`. Returns false where that is not possible, to copy instead.
bool linkInPlace(const QString &from, const QString &to, QString *error)
{
#ifdef Q_OS_UNIX
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    const QByteArray temp = target + ".link";
    struct stat info {};
    if (::lstat(source.constData(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1)
        return false;
    ::unlink(temp.constData());
    if (::link(source.constData(), temp.constData()) != 0)
        return false; // a file system without hard links: copy instead
    if (::rename(temp.constData(), target.constData()) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(temp.constData());
    }
    return true;
#else
    Q_UNUSED(from) Q_UNUSED(to) Q_UNUSED(error)
    return false;
#endif
}

} // namespace

void DataFolder::removeLeftovers() const
{
    for (const char *sub : {"set", "Timer"}) {
        QDir dir(absolute(QLatin1String(sub)));
        const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
        for (const ValueFiles::Entry &value : ValueFiles::inventory()) {
            const QString name = value.path.section(QLatin1Char('/'), 1);
            if (!value.path.startsWith(QLatin1String(sub) + QLatin1Char('/')))
                continue;
            for (const QString &entry : entries) {
                if (isLeftover(entry, name))
                    dir.remove(entry);
            }
        }
    }
}

DataFolder::Write DataFolder::backupValue(const QString &from, const QString &to) const
{
    Write result;
    if (QFileInfo(absolute(to)).isDir()) {
        result.error = QCoreApplication::translate("DataFolder", "ファイルではなくフォルダです");
        return result;
    }
    if (linkInPlace(absolute(from), absolute(to), &result.error))
        return result;
    return writeTextValue(to, readValue(from).text);
}


QStringList DataFolder::ensureLayout() const
{
    QStringList problems;
    removeLeftovers();
    QDir dir(m_root);
    for (const char *sub : {"set", "Timer"}) {
        if (!dir.exists(QLatin1String(sub)) && !dir.mkpath(QLatin1String(sub)))
            problems << QCoreApplication::translate("DataFolder", "フォルダを作れません: %1")
                            .arg(absolute(QLatin1String(sub)));
    }
    for (const ValueFiles::Entry &entry : ValueFiles::inventory()) {
        if (QFileInfo::exists(absolute(entry.path)))
            continue;
        const Write written = entry.kind == ValueFiles::Kind::Integer
                                  ? writeIntegerValue(entry.path, entry.initial.toInt())
                                  : writeTextValue(entry.path, entry.initial);
        if (!written.ok())
            problems << QStringLiteral("%1: %2").arg(absolute(entry.path), written.error);
    }
    return problems;
}
