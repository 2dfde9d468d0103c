#pragma once

#include <QByteArray>
#include <QString>

// Replacing a file whole: the bytes go to a temporary file beside it, which
// is synced and renamed over it only once every byte is on disk. A crash, a
// full disk or a failed sync leaves the old file as it was.
namespace FileReplace {

// The temporary file's name: a name no user picks, so that a start can
// remove what a crash left without touching anything of the user's.
inline const QString kTemporarySuffix = QStringLiteral(".potora-tmp");

// Returns the reason it failed, or an empty text. A symbolic link keeps
// pointing where it did; the file it points to is replaced.
QString replace(const QString &path, const QByteArray &bytes);

} // namespace FileReplace
