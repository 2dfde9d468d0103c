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
                        const std::function<Result<QByteArray>()> &backupBytes, bool linkable, bool backupFirst)
{
    MemoWritten written;
    Result<FileSteps::Staged> next = FileSteps::stage(memo, memoBytes, linkable);
    Result<FileSteps::Staged> previous; // where the backup is written
    bool staged = false;
    const auto stageBackup = [&](bool sync) {
        staged = true;
        const Result<QByteArray> bytes = backupBytes();
        previous = bytes.ok() ? FileSteps::stage(backup, bytes.value, sync) : Result<FileSteps::Staged>{{}, bytes.error};
    };
    if (next.ok() && linkable) {
        // The memo's file becomes the backup only now, once the new text is
        // synced: right before the rename that replaces it.
        const Result<Link> linked = FileSteps::link(next.value.target, backup);
        written.backup.error = linked.error;
        if (linked.value == Link::CopyInstead)
            stageBackup(true);
    } else if (next.ok()) {
        // The backup cannot be the memo's file: both texts are written, and
        // synced side by side, which takes one sync's time, not two.
        stageBackup(false);
        std::thread other([&previous] {
            if (previous.ok())
                previous.error = FileSteps::sync(previous.value).error;
        });
        next.error = FileSteps::sync(next.value).error;
        other.join();
    }
    if (staged)
        written.backup.error = previous.error;
    if (!next.ok() || (backupFirst && !written.backup.ok())) {
        FileSteps::drop(previous.value);
        FileSteps::drop(next.value);
        written.memo.error = next.ok() ? written.backup.error : next.error;
        written.backup.error = written.memo.error;
        return written;
    }
    if (staged && previous.ok() && backupFirst)
        written.backup = FileSteps::commit(previous.value);
    if (written.backup.ok() || !backupFirst) {
        written.memo = FileSteps::commit(next.value);
    } else {
        FileSteps::drop(next.value);
        written.memo.error = written.backup.error;
    }
    if (staged && previous.ok() && !backupFirst)
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
