#include "DataFolder.h"

#include "FileSystem.h"
#include "ValueFile.h"
#include "ValueFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A value file is tiny; anything far larger is damage, not a memo.
constexpr qint64 kMaxValueFileBytes = 64 * 1024 * 1024;

QString folderIsInTheWay() { return QCoreApplication::translate("DataFolder", "ファイルではなくフォルダです"); }

// A file that reads cleanly neither way is copied beside itself before
// anything can write over it: "<name>.damaged", then "-2", "-3" for other
// damage later. A copy that holds the same bytes already is enough.
QString keepDamaged(const DataFolder &folder, const QString &relative, const QByteArray &bytes)
{
    for (int n = 1; n < 100; ++n) {
        QString copy = relative + QStringLiteral(".damaged");
        if (n > 1)
            copy += QStringLiteral("-%1").arg(n);
        QFile existing(folder.absolute(copy));
        if (existing.exists()) {
            if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
                return copy;
            continue;
        }
        return FileSystem::replace(folder.absolute(copy), bytes).ok() ? copy : QString();
    }
    return QString();
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

DataFolder::Read DataFolder::readValue(const QString &relative) const
{
    Read result;
    QFile file(absolute(relative));
    if (QFileInfo(file).isDir()) {
        result.error = folderIsInTheWay();
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
    if (!decoded.clean) {
        result.error = QCoreApplication::translate("DataFolder", "文字コードが正しくない部分があります");
        result.kept = keepDamaged(*this, relative, bytes);
    }
    return result;
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
    const QString path = absolute(relative);
    if (QFileInfo(path).isDir())
        return {folderIsInTheWay()};
    return FileSystem::replace(path, bytes);
}

void DataFolder::removeLeftovers() const
{
    // A replace cut short by a crash leaves its temporary file beside the
    // value file; nothing else is touched.
    for (const ValueFiles::Entry &value : ValueFiles::inventory()) {
        const QString temp = absolute(value.path) + FileSystem::kTemporarySuffix;
        if (QFileInfo(temp).isFile())
            QFile::remove(temp);
    }
}

Result<> DataFolder::backupValue(const QString &from, const QString &to) const
{
    if (QFileInfo(absolute(to)).isDir())
        return {folderIsInTheWay()};
    const Result<bool> linked = FileSystem::linkInPlace(absolute(from), absolute(to));
    if (linked.value || !linked.ok())
        return {linked.error};
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
        const Result<> written = entry.kind == ValueFiles::Kind::Integer
                                  ? writeIntegerValue(entry.path, entry.initial.toInt())
                                  : writeTextValue(entry.path, entry.initial);
        if (!written.ok())
            problems << QStringLiteral("%1: %2").arg(absolute(entry.path), written.error);
    }
    return problems;
}
