#include "store/DataFolder.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestDataFolder : public QObject
{
    Q_OBJECT
private slots:
    void firstStartCreatesEveryFile();
    void layoutNeverTouchesExistingFiles();
    void shorterValueLeavesNoTrace();
    void pathsIgnoreTheCurrentDirectory();
    void missingFileReadsEmptyWithReason();
    void failedWriteKeepsTheOldValue();
    void replaceLeavesNoTemporaryFiles();
    void backupTakesTheCurrentValue();
};

void TestDataFolder::firstStartCreatesEveryFile()
{
    TestFolder folder;
    QStringList files;
    QDirIterator it(folder.data.root(), QStringList{QStringLiteral("*.txt")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    QCOMPARE(files.size(), 41);
    QCOMPARE(folder.bytes(ValueFiles::kChange), QByteArray("1\r\n"));
    QCOMPARE(folder.bytes(ValueFiles::memo(1)), QByteArray("\"\"\r\n"));
    QCOMPARE(folder.bytes(ValueFiles::memoBackup(11)), QByteArray("\"\"\r\n"));
    QCOMPARE(folder.bytes(ValueFiles::timerEnabled(3)), QByteArray("0\r\n"));
    QCOMPARE(folder.bytes(ValueFiles::kStartupFlag), QByteArray("0\r\n"));
    // The stored geometry is one the position editor accepts.
    QVERIFY(folder.data.readValue(ValueFiles::kWidth).text.toDouble() >= 7000);
    QVERIFY(folder.data.readValue(ValueFiles::kHeight).text.toDouble() >= 3500);
}

void TestDataFolder::layoutNeverTouchesExistingFiles()
{
    TestFolder folder;
    folder.plant(ValueFiles::memo(4), "\"mine\"\r\n");
    folder.plant(ValueFiles::kChange, "garbage");
    QFile::remove(folder.data.absolute(ValueFiles::memo(5)));
    QVERIFY(folder.data.ensureLayout().isEmpty());
    QCOMPARE(folder.bytes(ValueFiles::memo(4)), QByteArray("\"mine\"\r\n"));
    QCOMPARE(folder.bytes(ValueFiles::kChange), QByteArray("garbage"));
    QCOMPARE(folder.bytes(ValueFiles::memo(5)), QByteArray("\"\"\r\n"));
}

void TestDataFolder::shorterValueLeavesNoTrace()
{
    TestFolder folder;
    QVERIFY(folder.data.writeTextValue(ValueFiles::memo(2), QStringLiteral("a much longer memo text")).ok());
    QVERIFY(folder.data.writeTextValue(ValueFiles::memo(2), QStringLiteral("ab")).ok());
    QCOMPARE(folder.bytes(ValueFiles::memo(2)), QByteArray("\"ab\"\r\n"));
    QVERIFY(folder.data.writeIntegerValue(ValueFiles::kChange, 10).ok());
    QVERIFY(folder.data.writeIntegerValue(ValueFiles::kChange, 3).ok());
    QCOMPARE(folder.bytes(ValueFiles::kChange), QByteArray("3\r\n"));
}

void TestDataFolder::pathsIgnoreTheCurrentDirectory()
{
    TestFolder folder;
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    const bool written = folder.data.writeTextValue(ValueFiles::memo(1), QStringLiteral("x")).ok();
    QDir::setCurrent(before);
    QVERIFY(written);
    QCOMPARE(folder.bytes(ValueFiles::memo(1)), QByteArray("\"x\"\r\n"));
    QVERIFY(!QFile::exists(elsewhere.path() + QStringLiteral("/set/memo.txt")));
}

void TestDataFolder::missingFileReadsEmptyWithReason()
{
    TestFolder folder;
    QFile::remove(folder.data.absolute(ValueFiles::memo(6)));
    const DataFolder::Read read = folder.data.readValue(ValueFiles::memo(6));
    QVERIFY(read.text.isEmpty());
    QVERIFY(!read.ok());
    // Reading never creates a file.
    QVERIFY(!QFile::exists(folder.data.absolute(ValueFiles::memo(6))));
}

void TestDataFolder::failedWriteKeepsTheOldValue()
{
    TestFolder folder;
    folder.breakFile(ValueFiles::memo(7));
    const DataFolder::Write write = folder.data.writeTextValue(ValueFiles::memo(7), QStringLiteral("x"));
    QVERIFY(!write.ok());
    QVERIFY(!write.error.isEmpty());

    QVERIFY(QFileInfo(folder.data.absolute(ValueFiles::memo(7))).isDir());
}

void TestDataFolder::replaceLeavesNoTemporaryFiles()
{
    TestFolder folder;
    for (int i = 0; i < 20; ++i)
        QVERIFY(folder.data.writeTextValue(ValueFiles::memo(9), QString(i, QLatin1Char('z'))).ok());
    const QStringList entries = QDir(folder.data.absolute(QStringLiteral("set"))).entryList(QDir::Files);
    QCOMPARE(entries.size(), 27);
}

void TestDataFolder::backupTakesTheCurrentValue()
{
    TestFolder folder;
    const QString value = ValueFiles::memo(2), backup = ValueFiles::memoBackup(2);
    folder.plant(value, "\"one\" trailing\r\n");
    QVERIFY(folder.data.backupValue(value, backup).ok());
    QCOMPARE(folder.bytes(backup), QByteArray("\"one\" trailing\r\n"));

    // Replacing the value afterwards must not reach into the backup.
    QVERIFY(folder.data.writeTextValue(value, QStringLiteral("two")).ok());
    QCOMPARE(folder.bytes(backup), QByteArray("\"one\" trailing\r\n"));
    QVERIFY(folder.data.backupValue(value, backup).ok());
    QVERIFY(folder.data.writeTextValue(value, QStringLiteral("three")).ok());
    QCOMPARE(folder.bytes(backup), QByteArray("\"two\"\r\n"));

    // A value file that is a link elsewhere: the backup gets a copy, so the
    // next write through the link leaves it alone.
    QTemporaryDir other;
    const QString target = other.path() + QStringLiteral("/shared.txt");
    QFile::remove(folder.data.absolute(value));
    QVERIFY(folder.data.writeTextValue(QStringLiteral("set/x.txt"), QStringLiteral("linked")).ok());
    QVERIFY(QFile::rename(folder.data.absolute(QStringLiteral("set/x.txt")), target));
    QVERIFY(QFile::link(target, folder.data.absolute(value)));
    QVERIFY(folder.data.backupValue(value, backup).ok());
    QVERIFY(folder.data.writeTextValue(value, QStringLiteral("new")).ok());
    QCOMPARE(folder.bytes(backup), QByteArray("\"linked\"\r\n"));
    QVERIFY(!QFileInfo(folder.data.absolute(backup)).isSymLink());

    // A missing value backs up as the empty text; a broken backup fails.
    QFile::remove(folder.data.absolute(value));
    QVERIFY(folder.data.backupValue(value, backup).ok());
    QCOMPARE(folder.bytes(backup), QByteArray("\"\"\r\n"));
    folder.breakFile(backup);
    QVERIFY(!folder.data.backupValue(ValueFiles::memo(3), backup).ok());
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
