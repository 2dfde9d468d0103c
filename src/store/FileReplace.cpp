#include "FileReplace.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace FileReplace {

#ifdef Q_OS_UNIX
namespace {

QString lastError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Qt's buffered writes can lose the error of their last flush (QTBUG-75077),
// so the bytes go straight to the descriptor and every step is checked.
QString writeWhole(int fd, const QByteArray &bytes)
{
    const char *next = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? lastError() : QString::fromLocal8Bit(std::strerror(ENOSPC));
        next += written;
        left -= written;
    }
    if (::fsync(fd) != 0)
        return lastError();
    return QString();
}

} // namespace

QString replace(const QString &path, const QByteArray &bytes)
{
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    const QByteArray finalName = QFile::encodeName(target);
    const QByteArray tempName = QFile::encodeName(target + kTemporarySuffix);

    struct stat existing {};
    const bool exists = ::stat(finalName.constData(), &existing) == 0;
    ::unlink(tempName.constData());
    const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return lastError();
    QString error;
    // The file keeps the permissions it had.
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0)
        error = lastError();
    if (error.isEmpty())
        error = writeWhole(fd, bytes);
    if (::close(fd) != 0 && error.isEmpty())
        error = lastError();
    if (error.isEmpty() && ::rename(tempName.constData(), finalName.constData()) != 0)
        error = lastError();
    if (!error.isEmpty())
        ::unlink(tempName.constData());
    return error;
}

#else

QString replace(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    return QString();
}

#endif

} // namespace FileReplace
