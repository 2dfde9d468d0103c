#include "LinuxSingleInstance.h"

#include "store/SystemError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcInstance, "potora.instance", QtInfoMsg)

const QByteArray kRequest = "show\n";
const QByteArray kAnswer = "shown\n";
constexpr int kAnswerWaitMs = 3000;

// Longer than the request and the answer, the most either side reads; a
// peer that sends more is not a copy of ours.
constexpr int kMessageLimit = 64;

QString canonicalRoot(const QString &dataRoot)
{
    const QFileInfo info(dataRoot);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

bool socketAddress(const QString &path, sockaddr_un &address)
{
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof(address.sun_path))) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

bool sendAll(int fd, const QByteArray &bytes)
{
    // MSG_NOSIGNAL: a peer gone meanwhile must not kill this process.
    return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
}

} // namespace

LinuxSingleInstance::LinuxSingleInstance(const QString &dataRoot, int patienceMs, QObject *parent)
    : SingleInstance(patienceMs, parent)
    , m_root(dataRoot)
{
}

LinuxSingleInstance::~LinuxSingleInstance()
{
    // The lock is still held, so the socket file is this copy's and no
    // later copy's yet.
    if (m_listener >= 0)
        ::unlink(QFile::encodeName(serverPath(m_root)).constData());
    // Connections still being read are closed here; a disabled notifier's
    // was closed once its request was read.
    for (QSocketNotifier *notifier : findChildren<QSocketNotifier *>()) {
        if (notifier->isEnabled())
            ::close(int(notifier->socket()));
    }
    if (m_lock >= 0)
        ::close(m_lock);
}

QString LinuxSingleInstance::lockPath(const QString &dataRoot)
{
    return QDir(dataRoot).filePath(QStringLiteral("potora.lock"));
}

QString LinuxSingleInstance::serverPath(const QString &dataRoot)
{
    // The runtime folder is the user's own; the user's name in the hash
    // keeps copies apart where it falls back to the shared temp folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QByteArray key = (qEnvironmentVariable("USER") + QLatin1Char('\n') + canonicalRoot(dataRoot)).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16);
    return QDir(folder).filePath(QStringLiteral("potora-") + QString::fromLatin1(hash));
}

bool LinuxSingleInstance::holdFolder()
{
    // The lock is the file's flock, which the system takes from its holder
    // when that ends, however it ends: a file a crash left behind is free
    // whatever it holds, and a copy that hangs keeps it. QLockFile also
    // wrote its owner into the file and synced it to disk, 0.7 ms of every
    // start here and far more on a slow disk.
    const int fd = ::open(QFile::encodeName(lockPath(m_root)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // The program's own file, nobody else's business, whatever the umask.
        ::fchmod(fd, 0600);
        m_lock = fd;
        return true;
    }
    const bool held = fd >= 0 && errno == EWOULDBLOCK;
    if (fd >= 0)
        ::close(fd);
    // Not held by another copy: a folder this user may not write to, where
    // nothing can be overwritten.
    return !held;
}

bool LinuxSingleInstance::askRunningCopy()
{
    sockaddr_un address;
    if (!socketAddress(serverPath(m_root), address))
        return false;
    // Non-blocking: a copy that hangs with a full queue of starts must not
    // hang this one in connect().
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    QByteArray reply;
    // Where the socket falls back to the shared temp folder, anyone could
    // listen under its name; only a copy run by this user may answer.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
        && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid()
        && sendAll(fd, kRequest)) {
        QElapsedTimer waited;
        waited.start();
        pollfd in{fd, POLLIN, 0};
        while (!reply.endsWith('\n') && reply.size() < kMessageLimit) {
            const qint64 left = kAnswerWaitMs - waited.elapsed();
            const int ready = left > 0 ? ::poll(&in, 1, int(left)) : 0;
            if (ready == 0 || (ready < 0 && errno != EINTR))
                break;
            char buffer[kMessageLimit];
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
                break;
            if (got > 0)
                reply.append(buffer, got);
        }
    }
    ::close(fd);
    return reply == kAnswer;
}

void LinuxSingleInstance::listen()
{
    const QString path = serverPath(m_root);
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // A socket file left here is a gone copy's: none answered on it, and
    // the folder is this copy's now.
    ::unlink(name.constData());
    // Only this user may ask: the mode is set before listen(), and nobody
    // can connect before that.
    if (fd < 0 || !socketAddress(path, address)
        || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::chmod(name.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 8) != 0) {
        qCWarning(lcInstance, "cannot listen on %s: %s", name.constData(), qPrintable(SystemError::last()));
        if (fd >= 0)
            ::close(fd);
        return;
    }
    m_listener = fd;
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &LinuxSingleInstance::accept);
}

void LinuxSingleInstance::accept()
{
    int connection;
    while ((connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0)
        serve(connection);
}

void LinuxSingleInstance::serve(int connection)
{
    auto *notifier = new QSocketNotifier(connection, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier, connection, request = QByteArray()]() mutable {
        char buffer[kMessageLimit];
        const ssize_t got = ::read(connection, buffer, sizeof buffer);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (got > 0) {
            request.append(buffer, got);
            if (!request.contains('\n') && request.size() < kMessageLimit)
                return;
            if (request == kRequest) {
                emit showRequested();
                sendAll(connection, kAnswer);
            }
        }
        // Not deleted here: its own signal is still being delivered.
        notifier->setEnabled(false);
        notifier->deleteLater();
        ::close(connection);
    });
}
