#include "store/FileSystem.h"
#include "store/Texts.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace FileSystem {
namespace {

QString lastError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Qt's buffered writes can lose the error of their last flush (QTBUG-75077),
// so the bytes go straight to the descriptor and every step is checked.
QString writeWhole(int fd, const char *next, qint64 left)
{
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? lastError() : QString::fromLocal8Bit(std::strerror(ENOSPC));
        next += written;
        left -= written;
    }
    return QString();
}

// A rename is on disk once the folder that holds the name is: without the
// sync, a power cut can bring back the old file though the new one was
// reported saved. Some file systems cannot sync a folder at all.
QString syncFolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? path.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return lastError();
    QString error;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        error = lastError();
    ::close(fd);
    return error;
}

} // namespace

Kind kindOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Kind::Missing : Kind::File;
    if (S_ISREG(info.st_mode))
        return Kind::File;
    return S_ISDIR(info.st_mode) ? Kind::Folder : Kind::Other;
}

Result<QByteArray> read(const QString &path, qint64 limit)
{
    Result<QByteArray> result;
    // Non-blocking: a pipe put in a file's place must not hold the program up.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.error = lastError();
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        result.error = lastError();
    else if (!S_ISREG(info.st_mode))
        result.error = S_ISDIR(info.st_mode) ? Texts::folderInTheWay() : Texts::notAPlainFile();
    else if (info.st_size > limit)
        result.error = Texts::tooLargeToRead(info.st_size, limit);
    if (!result.ok()) {
        ::close(fd);
        return result;
    }
    // The file may grow while it is read: never beyond the limit.
    QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit) {
                result.error = Texts::tooLargeToRead(got, limit);
                break;
            }
            bytes.resize(std::min<qint64>(limit + 1, got * 2 + 4096));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = lastError();
            break;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    if (result.ok()) {
        bytes.truncate(got);
        result.value = std::move(bytes);
    }
    return result;
}

namespace {

// A replace up to its rename: the temporary file beside the target holds
// every byte, and is synced unless the caller syncs it later.
struct Prepared {
    QByteArray finalName, tempName;
    QString error;
};

Prepared prepare(const QString &path, const QByteArray &bytes, bool sync = true)
{
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    Prepared prepared{QFile::encodeName(target), QFile::encodeName(target + kTemporarySuffix), QString()};

    struct stat existing {};
    const bool exists = ::stat(prepared.finalName.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        prepared.error = Texts::folderInTheWay();
        return prepared;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        prepared.error = Texts::notAPlainFile();
        return prepared;
    }
    ::unlink(prepared.tempName.constData());
    const int fd = ::open(prepared.tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        prepared.error = lastError();
        return prepared;
    }
    QString error;
    // The file keeps the permissions it had; a new one is the user's alone,
    // whatever the umask.
    if (::fchmod(fd, exists ? existing.st_mode & 07777 : 0600) != 0)
        error = lastError();
    if (error.isEmpty())
        error = writeWhole(fd, bytes.constData(), bytes.size());
    if (error.isEmpty() && sync && ::fsync(fd) != 0)
        error = lastError();
    if (::close(fd) != 0 && error.isEmpty())
        error = lastError();
    if (!error.isEmpty())
        ::unlink(prepared.tempName.constData());
    prepared.error = error;
    return prepared;
}

// The later sync of a file prepared without one.
void syncPrepared(Prepared &prepared)
{
    const int fd = ::open(prepared.tempName.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0)
        prepared.error = lastError();
    if (fd >= 0)
        ::close(fd);
    if (!prepared.error.isEmpty())
        ::unlink(prepared.tempName.constData());
}

QString commit(const Prepared &prepared)
{
    if (::rename(prepared.tempName.constData(), prepared.finalName.constData()) == 0)
        return QString();
    const QString error = lastError();
    ::unlink(prepared.tempName.constData());
    return error;
}

// The file at `from` becomes the file at `to` by a hard link renamed into
// place, the folder not yet synced: false where that cannot be done.
Result<bool> link(const QByteArray &source, const QByteArray &target)
{
    const QByteArray temp = target + kTemporarySuffix.toLatin1();
    struct stat info {}, existing {};
    // Filled in from its file, a memo's backup is that file already.
    if (::lstat(source.constData(), &info) == 0 && ::lstat(target.constData(), &existing) == 0
        && info.st_dev == existing.st_dev && info.st_ino == existing.st_ino)
        return {true, QString()};
    if (::lstat(source.constData(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1)
        return {false, QString()};
    ::unlink(temp.constData());
    if (::link(source.constData(), temp.constData()) != 0)
        return {false, QString()}; // a file system without hard links: copy instead
    if (::rename(temp.constData(), target.constData()) != 0) {
        const QString error = lastError();
        ::unlink(temp.constData());
        return {true, error};
    }
    return {true, QString()};
}

QString syncFolders(const QByteArray &one, const QByteArray &other)
{
    const QString error = syncFolderOf(one);
    if (!error.isEmpty() || QFileInfo(QFile::decodeName(one)).path() == QFileInfo(QFile::decodeName(other)).path())
        return error;
    return syncFolderOf(other);
}

} // namespace

Result<> replace(const QString &path, const QByteArray &bytes)
{
    const Prepared prepared = prepare(path, bytes);
    if (!prepared.error.isEmpty())
        return {prepared.error};
    if (const QString error = commit(prepared); !error.isEmpty())
        return {error};
    return {syncFolderOf(prepared.finalName)};
}

MemoWritten replaceMemo(const QString &memo, const QByteArray &memoBytes, const QString &backup,
                        const std::function<QByteArray()> &backupBytes, bool linkable)
{
    MemoWritten written;
    Prepared next = prepare(memo, memoBytes, linkable);
    if (!next.error.isEmpty()) {
        written.memo.error = next.error;
        written.backup.error = next.error;
        return written;
    }
    Prepared previous{QFile::encodeName(backup), QByteArray(), QString()};
    if (linkable) {
        const Result<bool> linked = link(next.finalName, previous.finalName);
        written.backup.error = linked.error;
        if (!linked.value)
            previous = prepare(backup, backupBytes());
    } else {
        // Both synced at once: one sync's time, not two.
        previous = prepare(backup, backupBytes(), false);
        std::thread other([&previous] {
            if (previous.error.isEmpty())
                syncPrepared(previous);
        });
        syncPrepared(next);
        other.join();
    }
    if (!next.error.isEmpty()) {
        ::unlink(previous.tempName.constData());
        written.memo.error = next.error;
        written.backup.error = next.error;
        return written;
    }
    if (!previous.tempName.isEmpty())
        written.backup.error = previous.error;
    written.memo.error = commit(next);
    if (!previous.tempName.isEmpty() && previous.error.isEmpty())
        written.backup.error = commit(previous);
    const QString synced = syncFolders(next.finalName, previous.finalName);
    if (written.memo.ok())
        written.memo.error = synced;
    if (written.backup.ok())
        written.backup.error = synced;
    return written;
}

Result<bool> linkInPlace(const QString &from, const QString &to)
{
    const QByteArray target = QFile::encodeName(to);
    const Result<bool> linked = link(QFile::encodeName(from), target);
    if (!linked.value || !linked.ok())
        return linked;
    return {true, syncFolderOf(target)};
}

Result<> keep(const QString &from, const QString &copy)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(copy);
    if (::link(source.constData(), target.constData()) == 0)
        return {syncFolderOf(target)};
    if (errno == EEXIST)
        return {lastError()};
    // No hard links here (or not for this file): copy it, unbuffered and synced.
    const int in = ::open(source.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (in < 0)
        return {lastError()};
    struct stat info {};
    if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(in);
        return {Texts::notAPlainFile()};
    }
    const int out = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const QString error = lastError();
        ::close(in);
        return {error};
    }
    QString error;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = lastError();
        if (n <= 0)
            break;
        error = writeWhole(out, buffer, n);
        if (!error.isEmpty())
            break;
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    if (error.isEmpty() && ::futimens(out, times) != 0)
        error = lastError();
    if (error.isEmpty() && ::fsync(out) != 0)
        error = lastError();
    if (::close(out) != 0 && error.isEmpty())
        error = lastError();
    ::close(in);
    if (!error.isEmpty()) {
        ::unlink(target.constData());
        return {error};
    }
    return {syncFolderOf(target)};
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first {}, second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 && ::stat(QFile::encodeName(b).constData(), &second) == 0
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

Result<> makeFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    for (qsizetype end = 1; end <= name.size(); ++end) {
        if (end < name.size() && name[end] != '/')
            continue;
        const QByteArray level = name.left(end);
        struct stat info {};
        if (::stat(level.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                return {Texts::fileWhereAFolderGoes(QFile::decodeName(level))};
            continue;
        }
        // Whatever the umask: memos are nobody else's business.
        if (::mkdir(level.constData(), 0700) == 0 ? ::chmod(level.constData(), 0700) != 0 : errno != EEXIST)
            return {QStringLiteral("%1: %2").arg(QFile::decodeName(level), lastError())};
    }
    return {};
}

} // namespace FileSystem
