#include "FileSystem.h"

#include "FileSteps.h"

#include <thread>

namespace FileSystem {

Result<> replace(const QString &path, const QByteArray &bytes)
{
    const Result<FileSteps::Staged> staged = FileSteps::stage(path, bytes);
    if (!staged.ok())
        return {staged.error};
    if (const Result<> committed = FileSteps::commit(staged.value); !committed.ok())
        return committed;
    return FileSteps::syncFolders(staged.value.target, staged.value.target);
}

MemoWritten replaceMemo(const QString &memo, const QByteArray &memoBytes, const QString &backup,
                        const std::function<QByteArray()> &backupBytes, bool linkable)
{
    MemoWritten written;
    Result<FileSteps::Staged> next = FileSteps::stage(memo, memoBytes, linkable);
    Result<FileSteps::Staged> previous; // staged only where the backup is written
    if (next.ok() && linkable) {
        // The memo's file becomes the backup only now, once the new text is
        // synced: right before the rename that replaces it.
        const Result<Link> linked = FileSteps::link(next.value.target, backup);
        written.backup.error = linked.error;
        if (linked.value == Link::CopyInstead)
            previous = FileSteps::stage(backup, backupBytes());
    } else if (next.ok()) {
        // The backup cannot be the memo's file: both texts are written, and
        // synced side by side, which takes one sync's time, not two.
        previous = FileSteps::stage(backup, backupBytes(), false);
        std::thread other([&previous] {
            if (previous.ok())
                previous.error = FileSteps::sync(previous.value).error;
        });
        next.error = FileSteps::sync(next.value).error;
        other.join();
    }
    const bool staged = !previous.value.temp.isEmpty();
    if (!next.ok()) {
        if (staged)
            FileSteps::drop(previous.value);
        written.memo.error = next.error;
        written.backup.error = next.error;
        return written;
    }
    if (staged)
        written.backup.error = previous.error;
    written.memo = FileSteps::commit(next.value);
    if (staged && previous.ok())
        written.backup = FileSteps::commit(previous.value);
    const Result<> synced = FileSteps::syncFolders(next.value.target, staged ? previous.value.target : backup);
    if (written.memo.ok())
        written.memo = synced;
    if (written.backup.ok())
        written.backup = synced;
    return written;
}

Result<Link> linkInPlace(const QString &from, const QString &to)
{
    const Result<Link> linked = FileSteps::link(from, to);
    if (linked.value == Link::CopyInstead || !linked.ok())
        return linked;
    return {linked.value, FileSteps::syncFolders(to, to).error};
}

} // namespace FileSystem
