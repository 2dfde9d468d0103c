#include "platform/linux/SingleInstance.h"

#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using Outcome = SingleInstance::Outcome;

class TestSingleInstance : public QObject
{
    Q_OBJECT
    QTemporaryDir m_runtime; // the sockets' folder, the test's own

private slots:
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        ::umask(022);
    }

    // What a crash leaves must not stop the next start, which then answers
    // the start after it; a copy of another folder runs beside it untouched.
    void nextStart_data()
    {
        const QByteArray deadOwner = "2147483000\npotora\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        QTest::addColumn<QByteArray>("lockLeft"); // null: no lock file
        QTest::addColumn<bool>("socketLeft");
        QTest::newRow("nothing left") << QByteArray() << false;
        QTest::newRow("lock file") << deadOwner << false;
        QTest::newRow("socket file") << QByteArray() << true;
        QTest::newRow("both") << deadOwner << true;
        QTest::newRow("empty lock file") << QByteArray("") << true; // killed before writing it
        QTest::newRow("torn lock file") << QByteArray("21474") << false;
    }
    void nextStart()
    {
        QFETCH(QByteArray, lockLeft);
        QFETCH(bool, socketLeft);
        QTemporaryDir folder, otherFolder;
        QFile lock(SingleInstance::lockPath(folder.path())), socket(SingleInstance::serverPath(folder.path()));
        QVERIFY(lockLeft.isNull() || (lock.open(QIODevice::WriteOnly) && lock.write(lockLeft) == lockLeft.size()));
        QVERIFY(!socketLeft || socket.open(QIODevice::WriteOnly));
        lock.close();

        SingleInstance other(otherFolder.path());
        QCOMPARE(other.claim(), Outcome::First);
        QSignalSpy otherAsked(&other, &SingleInstance::showRequested);
        QElapsedTimer took;
        took.start();
        SingleInstance next(folder.path(), 60000);
        QCOMPARE(next.claim(), Outcome::First);
        QVERIFY2(took.elapsed() < 5000, "the start waited for a dead copy");
        if (lockLeft.isNull()) // one it made is its user's alone
            QCOMPARE(lock.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        QSignalSpy asked(&next, &SingleInstance::showRequested);
        auto later = std::async(std::launch::async, [&folder] { return SingleInstance(folder.path(), 2000).claim(); });
        QVERIFY(QTest::qWaitFor([&] { return later.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 20000));
        QCOMPARE(later.get(), Outcome::Handed);
        QCOMPARE(asked.count(), 1);
        QCOMPARE(otherAsked.count(), 0);
    }

    // A hung copy still holds its lock: the start says so and takes nothing.
    void hungHolderIsNeverRobbed()
    {
        QTemporaryDir folder;
        const int held = ::open(QFile::encodeName(SingleInstance::lockPath(folder.path())).constData(),
                                O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) == 0);
        QCOMPARE(SingleInstance(folder.path(), 300).claim(), Outcome::Unreachable);
        ::close(held);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
