#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The file operations the store is built on, one implementation per
// system. Paths are absolute; errors are the system's own words.
namespace FileSystem {

// A replace's temporary file is "<name>.potora-tmp": a name no user picks,
// so that a start can remove what a crash left without touching anything
// of the user's.
inline const QString kTemporarySuffix = QStringLiteral(".potora-tmp");

// What a path names, a symbolic link followed: a value is only ever read
// from or written to a plain file, never a pipe, a device or a socket.
enum class Kind { Missing, File, Folder, Other };
Kind kindOf(const QString &path);

// A plain file's bytes, read whole without ever blocking. Fails, reading
// nothing, when the path names no plain file or a file of more than
// `limit` bytes, or when a read fails.
Result<QByteArray> read(const QString &path, qint64 limit);

// Replaces a file whole: the bytes go to the temporary file beside it,
// every write and the sync are checked, and only then is it renamed over
// the file and the folder synced. A crash, a power cut or a full disk
// leaves the old file as it was. A new file is the user's alone; one that
// exists keeps its permissions. A symbolic link keeps pointing where it
// did; the file it points to is replaced. A path that names something
// other than a plain file is refused and left as it is.
Result<> replace(const QString &path, const QByteArray &bytes);

// A memo and its backup replaced together, with one sync of their folder,
// so that a change costs two syncs: the new memo's and the folder's.
// `linkable`: the memo's file holds the backup's text, and becomes the
// backup as it is (a hard link, where the file system has them) once the
// new memo is synced, right before the new memo is renamed over it. Else
// both are written and synced at once and renamed one right after the
// other, the memo first. A crash leaves each file old or new: only in the
// moment between those two renames is the memo new and its backup not yet.
// `backupFirst`: the backup holds what is in no other file; without it the
// memo is not written, and it is renamed into place before the memo.
struct MemoWritten {
    Result<> memo, backup;
};
// `backupBytes` is only asked for when the backup is written.
MemoWritten replaceMemo(const QString &memo, const QByteArray &memoBytes, const QString &backup,
                        const std::function<Result<QByteArray>()> &backupBytes, bool linkable, bool backupFirst);

// Makes `to` the very file `from` is, by a hard link renamed into place:
// no byte is read or written, and the replace is atomic. Only for a plain
// file with no other name, so that replacing `from` later cannot change
// `to`. Where this cannot be done (a file system without hard links) the
// caller copies instead.
enum class Link { Made, CopyInstead };
Result<Link> linkInPlace(const QString &from, const QString &to);

// Makes `copy`, which must not exist yet, hold what `from` holds, without
// reading it where the file system allows (a hard link: the file may be
// unreadable or huge), else by a synced copy with the original's time.
Result<> linkOrCopy(const QString &from, const QString &copy);

// Whether the two paths name one and the same file.
bool sameFile(const QString &a, const QString &b);

// What tells one state of a file from another without reading it: which
// file it is, its size and when it was last written. A file replaced or
// written since has another stamp.
struct Stamp {
    quint64 volume = 0, file = 0, size = 0;
    qint64 written = 0;
    bool operator==(const Stamp &other) const
    {
        return volume == other.volume && file == other.file && size == other.size && written == other.written;
    }
};
Result<Stamp> stamp(const QString &path);

// Makes a folder and every missing folder above it, each the user's alone;
// folders that exist are left as they are.
Result<> makeFolder(const QString &path);

} // namespace FileSystem
