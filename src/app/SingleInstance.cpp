#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray kRequest = "show\n";
const QByteArray kAnswer = "shown\n";
constexpr int kAnswerWaitMs = 3000;
// A live copy takes the lock's flock within microseconds of creating the
// file; waiting this long before judging by the flock leaves it that time.
constexpr int kTornLockGraceMs = 500;

QString canonicalRoot(const QString &dataRoot)
{
    const QFileInfo info(dataRoot);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

SingleInstance::SingleInstance(const QString &dataRoot, int patienceMs, QObject *parent)
    : QObject(parent)
    , m_root(dataRoot)
    , m_patienceMs(patienceMs)
    , m_lock(lockPath(dataRoot))
{
    // Only a dead holder makes the lock stale, however long a copy runs.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath(const QString &dataRoot)
{
    return QDir(dataRoot).filePath(QStringLiteral("potora.lock"));
}

QString SingleInstance::serverPath(const QString &dataRoot)
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

SingleInstance::Outcome SingleInstance::claim()
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // Asking first also covers a holder whose lock looks stale to us.
        if (askRunningCopy())
            return Outcome::Handed;
        if (m_lock.tryLock(0)) {
            listen();
            return Outcome::First;
        }
        if (m_lock.error() != QLockFile::LockFailedError) {
            // A folder this user may not write to: nothing can be
            // overwritten there, and the socket still finds a running copy.
            listen();
            return Outcome::First;
        }
        // A start killed between creating the lock file and writing its
        // owner into it leaves a file Qt cannot call stale. A live copy
        // holds the file's flock, so this removal never takes the folder
        // from a running copy.
        if (waited.elapsed() >= kTornLockGraceMs && m_lock.removeStaleLockFile())
            continue;
        if (waited.elapsed() >= m_patienceMs)
            return Outcome::Unreachable;
        QThread::msleep(100);
    }
}

bool SingleInstance::askRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(serverPath(m_root));
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(kRequest);
    socket.flush();
    QByteArray reply;
    QElapsedTimer waited;
    waited.start();
    while (!reply.endsWith('\n') && waited.elapsed() < kAnswerWaitMs) {
        if (!socket.waitForReadyRead(int(kAnswerWaitMs - waited.elapsed())))
            break;
        reply += socket.readAll();
    }
    return reply == kAnswer;
}

void SingleInstance::listen()
{
    const QString path = serverPath(m_root);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Whoever made a socket file left there has died: the lock is ours.
    QLocalServer::removeServer(path);
    if (!m_server->listen(path))
        qWarning("cannot listen on %s: %s", qPrintable(path), qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        const auto serve = [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kRequest) {
                emit showRequested();
                socket->write(kAnswer);
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, serve);
        serve(); // the request may be here already
    }
}
