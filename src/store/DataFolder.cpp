#include "DataFolder.h"

#include "ValueFile.h"
#include "ValueFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A value file is tiny; anything far larger is damage, not a memo.
constexpr qint64 kMaxValueFileBytes = 64 * 1024 * 1024;

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

QStringList DataFolder::ensureLayout() const
{
    QStringList problems;
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
