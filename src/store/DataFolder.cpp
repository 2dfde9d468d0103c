#include "DataFolder.h"

#include "FileSystem.h"
#include "Texts.h"
#include "ValueFile.h"
#include "ValueFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// Whether the file at `copy` holds what `path` does: the same file (a hard
// link), or the same bytes. A file too large to read is taken to be the
// same as a copy of its size and time, as the copy keeps its time.
bool holdsTheSame(const QString &copy, const QString &path)
{
    if (FileSystem::sameFile(copy, path))
        return true;
    const QFileInfo a(copy), b(path);
    if (a.size() != b.size() || (a.size() > DataFolder::kLimit && a.lastModified() != b.lastModified()))
        return false;
    if (a.size() > DataFolder::kLimit)
        return true;
    const Result<QByteArray> kept = FileSystem::read(copy, DataFolder::kLimit);
    const Result<QByteArray> now = FileSystem::read(path, DataFolder::kLimit);
    return kept.ok() && now.ok() && kept.value == now.value;
}

} // namespace

DataFolder::DataFolder(QString root)
    : m_root(QDir::cleanPath(std::move(root)))
{
}

QString DataFolder::absolute(const QString &relative) const
{
    return m_root + QLatin1Char('/') + relative;
}

Result<DataFolder::Read> DataFolder::readValue(const QString &relative) const
{
    Result<Read> result;
    const QString path = absolute(relative);
    switch (FileSystem::kindOf(path)) {
    case FileSystem::Kind::Missing:
        result.error = Texts::missingFile();
        return result;
    case FileSystem::Kind::Folder:
        result.error = Texts::folderInTheWay();
        return result;
    case FileSystem::Kind::Other:
        result.error = Texts::notAPlainFileNotWritten();
        return result;
    case FileSystem::Kind::File:
        break;
    }
    const Result<QByteArray> bytes = FileSystem::read(path, kLimit);
    if (!bytes.ok()) {
        result.error = bytes.error;
        result.value.setAside = true;
        return result;
    }
    const Result<QString> decoded = ValueFile::decode(bytes.value);
    result.value.text = decoded.value;
    if (!decoded.ok()) {
        result.error = decoded.error;
        result.value.partly = true;
        result.value.setAside = true;
    }
    return result;
}

Result<QString> DataFolder::setAside(const QString &relative) const
{
    const QString path = absolute(relative);
    for (int n = 1; n < 100; ++n) {
        QString copy = relative + QStringLiteral(".damaged");
        if (n > 1)
            copy += QStringLiteral("-%1").arg(n);
        const QString copyPath = absolute(copy);
        if (FileSystem::kindOf(copyPath) != FileSystem::Kind::Missing) {
            if (holdsTheSame(copyPath, path))
                return {copy, QString()};
            continue;
        }
        const Result<> kept = FileSystem::linkOrCopy(path, copyPath);
        return {kept.ok() ? copy : QString(), kept.error};
    }
    return {QString(), Texts::noNameForACopy()};
}

Result<> DataFolder::writeIntegerValue(const QString &relative, int value) const
{
    return replace(relative, ValueFile::encodeInteger(value));
}

Result<> DataFolder::writeTextValue(const QString &relative, const QString &text) const
{
    return replace(relative, ValueFile::encodeText(text));
}

Result<> DataFolder::replace(const QString &relative, const QByteArray &bytes) const
{
    if (bytes.size() > kLimit)
        return {Texts::tooLargeToSave(kLimit)};
    const QString path = absolute(relative);
    if (FileSystem::kindOf(path) == FileSystem::Kind::Folder)
        return {Texts::folderInTheWay()};
    return FileSystem::replace(path, bytes);
}

void DataFolder::removeLeftovers() const
{
    // A replace cut short by a crash leaves its temporary file beside the
    // value file; nothing else is touched.
    for (const ValueFiles::Entry &value : ValueFiles::inventory()) {
        const QString temp = absolute(value.path) + FileSystem::kTemporarySuffix;
        if (FileSystem::kindOf(temp) == FileSystem::Kind::File)
            QFile::remove(temp);
    }
}

Result<QByteArray> DataFolder::bytesOf(const QString &relative) const
{
    switch (FileSystem::kindOf(absolute(relative))) {
    case FileSystem::Kind::Missing:
        return {ValueFile::encodeText(QString()), {}};
    case FileSystem::Kind::File:
        return FileSystem::read(absolute(relative), kLimit);
    default:
        return {{}, Texts::notAPlainFile()};
    }
}

Result<> DataFolder::backupValue(const QString &from, const QString &to) const
{
    if (FileSystem::kindOf(absolute(to)) == FileSystem::Kind::Folder)
        return {Texts::folderInTheWay()};
    // Filled in from its file at the start, a memo's backup is its file.
    if (FileSystem::sameFile(absolute(from), absolute(to)))
        return {};
    const Result<FileSystem::Link> linked = FileSystem::linkInPlace(absolute(from), absolute(to));
    if (linked.value == FileSystem::Link::Made || !linked.ok())
        return {linked.error};
    const Result<QByteArray> bytes = bytesOf(from);
    return bytes.ok() ? replace(to, bytes.value) : Result<>{bytes.error};
}

FileSystem::MemoWritten DataFolder::writeMemo(const QString &memo, const QString &text, const QString &backup,
                                              const std::optional<QString> &before, bool linkable) const
{
    const QByteArray bytes = ValueFile::encodeBoxText(text);
    // The backup's bytes are made only where the memo's file cannot become
    // the backup as it is: a megabyte memo is not encoded twice a key.
    QByteArray backupBytes;
    if (before && !linkable)
        backupBytes = ValueFile::encodeBoxText(*before);
    if (std::max(bytes.size(), backupBytes.size()) > kLimit)
        return {{Texts::tooLargeToSave(kLimit)}, {Texts::tooLargeToSave(kLimit)}};
    for (const QString &relative : {memo, backup}) {
        if (FileSystem::kindOf(absolute(relative)) == FileSystem::Kind::Folder)
            return {{Texts::folderInTheWay()}, {Texts::folderInTheWay()}};
    }
    const auto backupText = [&]() -> Result<QByteArray> {
        if (!before)
            return bytesOf(memo);
        return {backupBytes.isNull() ? ValueFile::encodeBoxText(*before) : backupBytes, {}};
    };
    return FileSystem::replaceMemo(absolute(memo), bytes, absolute(backup), backupText, linkable || !before, !before);
}

Result<> DataFolder::ensureLayout() const
{
    QStringList problems;
    removeLeftovers();
    for (const char *sub : {"set", "Timer"}) {
        const Result<> made = FileSystem::makeFolder(absolute(QLatin1String(sub)));
        if (!made.ok())
            problems << Texts::cannotMakeFolder(made.error);
    }
    for (const ValueFiles::Entry &entry : ValueFiles::inventory()) {
        if (FileSystem::kindOf(absolute(entry.path)) != FileSystem::Kind::Missing)
            continue;
        const Result<> written = entry.kind == ValueFiles::Kind::Integer
                                     ? writeIntegerValue(entry.path, entry.initial.toInt())
                                     : writeTextValue(entry.path, entry.initial);
        if (!written.ok())
            problems << Texts::pathReason(absolute(entry.path), written.error);
    }
    return {problems.join(QLatin1Char('\n'))};
}
