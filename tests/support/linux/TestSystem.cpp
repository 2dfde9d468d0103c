// The tests' helpers that differ by system: Linux.
#include "support/TestFolder.h"

#include <QStringEncoder>

#include <QFile>

#include <csignal>
#include <sys/stat.h>
#include <sys/resource.h>

QByteArray TestFolder::sjis(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

FullDisk::FullDisk(qint64 bytes)
{
    // The signal would end the test; the write's error is what is wanted.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_old[0] = qint64(limit.rlim_cur);
    m_old[1] = qint64(limit.rlim_max);
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FullDisk::~FullDisk()
{
    const rlimit old{rlim_t(m_old[0]), rlim_t(m_old[1])};
    setrlimit(RLIMIT_FSIZE, &old);
}

const char *unsupported(Need) { return nullptr; }

namespace TestSystem {
bool makePipe(const QString &path)
{
    QFile::remove(path);
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}
unsigned mode(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 01000;
}
unsigned umask(unsigned mask) { return ::umask(mode_t(mask)); }
} // namespace TestSystem
