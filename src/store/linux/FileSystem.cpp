#include "store/FileSteps.h"
#include "store/FileSystem.h"
#include "store/SystemError.h"
#include "store/Texts.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {


// Qt's buffered writes can lose the error of their last flush (QTBUG-75077),
// so the bytes go straight to the descriptor and every step is checked.
Result<> writeWhole(int fd, const char *next, qint64 left)
{
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return {written < 0 ? SystemError::last() : SystemError::of(ENOSPC)};
        next += written;
        left -= written;
    }
    return {};
}

// A rename is on disk once the folder that holds the name is: without the
// sync, a power cut can bring back the old file though the new one was
// reported saved. Some file systems cannot sync a folder at all.
Result<> syncFolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? path.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {SystemError::last()};
    Result<> synced;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        synced.error = SystemError::last();
    ::close(fd);
    return synced;
}

} // namespace

namespace FileSystem {

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
        result.error = SystemError::last();
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        result.error = SystemError::last();
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
            result.error = SystemError::last();
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

Result<> linkOrCopy(const QString &from, const QString &copy)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(copy);
    if (::link(source.constData(), target.constData()) == 0)
        return syncFolderOf(target);
    if (errno == EEXIST)
        return {SystemError::last()};
    // No hard links here (or not for this file): copy it, unbuffered and synced.
    const int in = ::open(source.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (in < 0)
        return {SystemError::last()};
    struct stat info {};
    if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(in);
        return {Texts::notAPlainFile()};
    }
    const int out = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const QString error = SystemError::last();
        ::close(in);
        return {error};
    }
    Result<> copied;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            copied.error = SystemError::last();
        if (n <= 0)
            break;
        copied = writeWhole(out, buffer, n);
        if (!copied.ok())
            break;
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    if (copied.ok() && ::futimens(out, times) != 0)
        copied.error = SystemError::last();
    if (copied.ok() && ::fsync(out) != 0)
        copied.error = SystemError::last();
    if (::close(out) != 0 && copied.ok())
        copied.error = SystemError::last();
    ::close(in);
    if (!copied.ok()) {
        ::unlink(target.constData());
        return copied;
    }
    return syncFolderOf(target);
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first {}, second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 && ::stat(QFile::encodeName(b).constData(), &second) == 0
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

Result<Stamp> stamp(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {{}, SystemError::last()};
    return {{quint64(info.st_dev), quint64(info.st_ino), quint64(info.st_size),
             qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec},
            {}};
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
            return {Texts::pathReason(QFile::decodeName(level), SystemError::last())};
    }
    return {};
}

} // namespace FileSystem

namespace FileSteps {

Result<Staged> stage(const QString &path, const QByteArray &bytes, bool sync)
{
    Result<Staged> staged;
    Staged &files = staged.value;
    files.target = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        files.target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    files.temp = files.target + FileSystem::kTemporarySuffix;
    const QByteArray target = QFile::encodeName(files.target), temp = QFile::encodeName(files.temp);

    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        staged.error = S_ISDIR(existing.st_mode) ? Texts::folderInTheWay() : Texts::notAPlainFile();
        return staged;
    }
    ::unlink(temp.constData());
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        staged.error = SystemError::last();
        return staged;
    }
    // The file keeps the permissions it had; a new one is the user's alone,
    // whatever the umask.
    if (::fchmod(fd, exists ? existing.st_mode & 07777 : 0600) != 0)
        staged.error = SystemError::last();
    if (staged.ok())
        staged.error = writeWhole(fd, bytes.constData(), bytes.size()).error;
    if (staged.ok() && sync && ::fsync(fd) != 0)
        staged.error = SystemError::last();
    if (::close(fd) != 0 && staged.ok())
        staged.error = SystemError::last();
    if (!staged.ok())
        drop(files);
    return staged;
}

Result<> sync(const Staged &staged)
{
    Result<> synced;
    const int fd = ::open(QFile::encodeName(staged.temp).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0)
        synced.error = SystemError::last();
    if (fd >= 0)
        ::close(fd);
    if (!synced.ok())
        drop(staged);
    return synced;
}

Result<> commit(const Staged &staged)
{
    if (::rename(QFile::encodeName(staged.temp).constData(), QFile::encodeName(staged.target).constData()) == 0)
        return {};
    const QString error = SystemError::last();
    drop(staged);
    return {error};
}

void drop(const Staged &staged)
{
    if (!staged.temp.isEmpty())
        ::unlink(QFile::encodeName(staged.temp).constData());
}

Result<FileSystem::Link> link(const QString &from, const QString &to)
{
    using FileSystem::Link;
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    const QByteArray temp = target + FileSystem::kTemporarySuffix.toLatin1();
    struct stat info {}, existing {};
    if (::lstat(source.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {Link::CopyInstead, {}};
    // Filled in from its file, a memo's backup is that file already.
    if (::lstat(target.constData(), &existing) == 0 && info.st_dev == existing.st_dev && info.st_ino == existing.st_ino)
        return {Link::Made, {}};
    if (info.st_nlink != 1)
        return {Link::CopyInstead, {}};
    ::unlink(temp.constData());
    if (::link(source.constData(), temp.constData()) != 0)
        return {Link::CopyInstead, {}}; // a file system without hard links
    if (::rename(temp.constData(), target.constData()) != 0) {
        const QString error = SystemError::last();
        ::unlink(temp.constData());
        return {Link::Made, error};
    }
    return {Link::Made, {}};
}

Result<> syncFolders(const QString &one, const QString &other)
{
    const Result<> synced = syncFolderOf(QFile::encodeName(one));
    if (!synced.ok() || QFileInfo(one).path() == QFileInfo(other).path())
        return synced;
    return syncFolderOf(QFile::encodeName(other));
}

} // namespace FileSteps
