#include "platform/linux/SingleInstance.h"

#include <QFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <thread>

using Outcome = SingleInstance::Outcome;

namespace {

// A later start of the program, run beside the first copy's event loop as
// another process would.
class LaterStart
{
public:
    LaterStart(const QString &root, int patienceMs)
        : m_thread([this, root, patienceMs] {
            SingleInstance later(root, patienceMs);
            m_outcome = later.claim();
            m_done = true;
        })
    {
    }
    ~LaterStart() { m_thread.join(); }

    // Keeps the first copy answering until the later start is through.
    Outcome outcome()
    {
        if (!QTest::qWaitFor([this] { return m_done.load(); }, 20000))
            qFatal("the later start never finished");
        return m_outcome;
    }

private:
    std::atomic<bool> m_done{false};
    Outcome m_outcome = Outcome::Unreachable;
    std::thread m_thread;
};

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

    // The sockets go to a runtime folder of the test's own.
    QTemporaryDir m_runtime;

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void copiesOfOtherFoldersRunSideBySide()
    {
        QTemporaryDir one, two;
        SingleInstance first(one.path());
        QSignalSpy asked(&first, &SingleInstance::showRequested);
        QCOMPARE(first.claim(), Outcome::First);
        SingleInstance other(two.path());
        QCOMPARE(other.claim(), Outcome::First);
        QCOMPARE(asked.count(), 0);
    }

    void leftoversOfACrashDoNotStopTheNextStart_data()
    {
        const QByteArray deadOwner = "2147483000\npotora\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        QTest::addColumn<QByteArray>("lockLeft"); // null: no lock file
        QTest::addColumn<bool>("socketLeft");
        QTest::newRow("lock file") << deadOwner << false;
        QTest::newRow("socket file") << QByteArray() << true;
        QTest::newRow("both") << deadOwner << true;
        // Killed between creating the lock file and writing into it.
        QTest::newRow("empty lock file") << QByteArray("") << true;
        QTest::newRow("torn lock file") << QByteArray("21474") << false;
    }
    void leftoversOfACrashDoNotStopTheNextStart()
    {
        QFETCH(QByteArray, lockLeft);
        QFETCH(bool, socketLeft);
        QTemporaryDir folder;
        if (!lockLeft.isNull()) {
            QFile lock(SingleInstance::lockPath(folder.path()));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(lockLeft);
        }
        if (socketLeft) {
            QFile socket(SingleInstance::serverPath(folder.path()));
            QVERIFY(socket.open(QIODevice::WriteOnly));
        }

        QElapsedTimer took;
        took.start();
        SingleInstance next(folder.path(), 60000);
        QCOMPARE(next.claim(), Outcome::First);
        QVERIFY2(took.elapsed() < 5000, "the start waited for a dead copy");

        // And it answers the start after it.
        QSignalSpy asked(&next, &SingleInstance::showRequested);
        LaterStart later(folder.path(), 2000);
        QCOMPARE(later.outcome(), Outcome::Handed);
        QCOMPARE(asked.count(), 1);
    }

    void liveHolderThatNeverAnswersIsReported()
    {
        // A copy that hangs still holds the lock (its own open file).
        QTemporaryDir folder;
        const int held = ::open(QFile::encodeName(SingleInstance::lockPath(folder.path())).constData(),
                                O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) == 0);

        SingleInstance later(folder.path(), 300);
        QCOMPARE(later.claim(), Outcome::Unreachable);
        ::close(held);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
