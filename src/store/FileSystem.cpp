#include "FileSystem.h"

#include "FileSteps.h"

#include <thread>

namespace FileSystem {

Result<> replace(const QString &path, const QByteArray &bytes)
{
    const FileSteps::Staged staged = FileSteps::stage(path, bytes);
    if (!staged.error.isEmpty())
        return {staged.error};
    if (const QString error = FileSteps::commit(staged); !error.isEmpty())
        return {error};
    return {FileSteps::syncFolders(staged.target, staged.target)};
}

MemoWritten replaceMemo(const QString &memo, const QByteArray &memoBytes, const QString &backup,
                        const std::function<QByteArray()> &backupBytes, bool linkable)
{
    MemoWritten written;
    FileSteps::Staged next = FileSteps::stage(memo, memoBytes, linkable);
    FileSteps::Staged previous;
    if (next.error.isEmpty() && linkable) {
        // Made once the new text is synced, right before it is renamed.
        const Result<bool> linked = FileSteps::link(next.target, backup);
        written.backup.error = linked.error;
        if (!linked.value)
            previous = FileSteps::stage(backup, backupBytes());
    } else if (next.error.isEmpty()) {
        // Both synced at once: one sync's time, not two.
        previous = FileSteps::stage(backup, backupBytes(), false);
        std::thread other([&previous] {
            if (previous.error.isEmpty())
                FileSteps::sync(previous);
        });
        FileSteps::sync(next);
        other.join();
    }
    if (!next.error.isEmpty()) {
        FileSteps::drop(previous);
        written.memo.error = next.error;
        written.backup.error = next.error;
        return written;
    }
    if (!previous.temp.isEmpty())
        written.backup.error = previous.error;
    written.memo.error = FileSteps::commit(next);
    if (!previous.temp.isEmpty() && previous.error.isEmpty())
        written.backup.error = FileSteps::commit(previous);
    const QString synced = FileSteps::syncFolders(next.target, previous.target.isEmpty() ? backup : previous.target);
    if (written.memo.ok())
        written.memo.error = synced;
    if (written.backup.ok())
        written.backup.error = synced;
    return written;
}

Result<bool> linkInPlace(const QString &from, const QString &to)
{
    const Result<bool> linked = FileSteps::link(from, to);
    if (!linked.value || !linked.ok())
        return linked;
    return {true, FileSteps::syncFolders(to, to)};
}

} // namespace FileSystem
