#include "store/DataFolder.h"
#include "store/ProgramPlaces.h"
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
    void layoutFillsOnlyWhatIsMissing();
    void replaceLeavesNoTraceOfTheOldValue();
    void pathsIgnoreTheCurrentDirectory();
    void failuresAreReportedAndKeepTheOldState();
    void backupTakesTheCurrentValue();
    void crashLeftoversGoAtStart();
    void unreadableFileIsKeptWholeOnce();
    void cutWriteNeverReplacesTheFile();
    void portableOrInstalled_data();
    void portableOrInstalled();
};

void TestDataFolder::layoutFillsOnlyWhatIsMissing()
{
    TestFolder folder;
    QStringList files;
    QDirIterator it(folder.data.root(), {QStringLiteral("*.txt")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    QCOMPARE(files.size(), 41);
    QCOMPARE(folder.bytes(ValueFiles::kChange) + folder.bytes(ValueFiles::memo(1))
                 + folder.bytes(ValueFiles::timerEnabled(3)) + folder.bytes(ValueFiles::kStartupFlag),
             QByteArray("1\r\n\"\"\r\n0\r\n0\r\n"));
    // The stored geometry is one the position editor accepts.
    QVERIFY(folder.data.readValue(ValueFiles::kWidth).text.toDouble() >= 7000);
    QVERIFY(folder.data.readValue(ValueFiles::kHeight).text.toDouble() >= 3500);

    folder.plant(ValueFiles::memo(4), "\"mine\"\r\n");
    folder.plant(ValueFiles::kChange, "garbage");
    QFile::remove(folder.data.absolute(ValueFiles::memo(5)));
    QVERIFY(folder.data.ensureLayout().isEmpty());
    QCOMPARE(folder.bytes(ValueFiles::memo(4)), QByteArray("\"mine\"\r\n"));
    QCOMPARE(folder.bytes(ValueFiles::kChange), QByteArray("garbage"));
    QCOMPARE(folder.bytes(ValueFiles::memo(5)), QByteArray("\"\"\r\n"));
}

void TestDataFolder::replaceLeavesNoTraceOfTheOldValue()
{
    TestFolder folder;
    for (int i = 20; i >= 2; --i)
        QVERIFY(folder.data.writeTextValue(ValueFiles::memo(2), QString(i, QLatin1Char('z'))).ok());
    QCOMPARE(folder.bytes(ValueFiles::memo(2)), QByteArray("\"zz\"\r\n"));
    QVERIFY(folder.data.writeIntegerValue(ValueFiles::kChange, 10).ok());
    QVERIFY(folder.data.writeIntegerValue(ValueFiles::kChange, 3).ok());
    QCOMPARE(folder.bytes(ValueFiles::kChange), QByteArray("3\r\n"));
    // No temporary file is left beside the value files.
    QCOMPARE(QDir(folder.data.absolute(QStringLiteral("set"))).entryList(QDir::Files).size(), 27);
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

void TestDataFolder::failuresAreReportedAndKeepTheOldState()
{
    TestFolder folder;
    // A missing file reads as the empty text, says why, and is not created.
    QFile::remove(folder.data.absolute(ValueFiles::memo(6)));
    const DataFolder::Read read = folder.data.readValue(ValueFiles::memo(6));
    QVERIFY(read.text.isEmpty() && !read.error.isEmpty());
    QVERIFY(!QFile::exists(folder.data.absolute(ValueFiles::memo(6))));

    folder.breakFile(ValueFiles::memo(7));
    const Written write = folder.data.writeTextValue(ValueFiles::memo(7), QStringLiteral("x"));
    QVERIFY(!write.ok() && !write.error.isEmpty());
    QVERIFY(QFileInfo(folder.data.absolute(ValueFiles::memo(7))).isDir());
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

    // A value file that is a link elsewhere: the backup gets a copy, so the
    // next write through the link leaves it alone.
    QTemporaryDir other;
    const QString target = other.path() + QStringLiteral("/shared.txt");
    QVERIFY(QFile::rename(folder.data.absolute(value), target));
    QVERIFY(QFile::link(target, folder.data.absolute(value)));
    QVERIFY(folder.data.backupValue(value, backup).ok());
    QVERIFY(folder.data.writeTextValue(value, QStringLiteral("new")).ok());
    QCOMPARE(folder.bytes(backup), QByteArray("\"two\"\r\n"));
    QVERIFY(!QFileInfo(folder.data.absolute(backup)).isSymLink());

    // A missing value backs up as the empty text; a broken backup fails.
    QFile::remove(folder.data.absolute(value));
    QVERIFY(folder.data.backupValue(value, backup).ok());
    QCOMPARE(folder.bytes(backup), QByteArray("\"\"\r\n"));
    folder.breakFile(backup);
    QVERIFY(!folder.data.backupValue(ValueFiles::memo(3), backup).ok());
}

void TestDataFolder::crashLeftoversGoAtStart()
{
    TestFolder folder;
    const QStringList leftovers{QStringLiteral("set/memo11.txt.potora-tmp"), QStringLiteral("set/memo3X.txt.potora-tmp"),
                                QStringLiteral("Timer/true2.txt.potora-tmp")};
    // The user's own files, however much they look like temporary ones.
    const QStringList kept{QStringLiteral("set/memo11.txt.bak"), QStringLiteral("set/notes.txt.potora-tmp"),
                           QStringLiteral("set/memo.txt.201805"), QStringLiteral("set/memo3.txt.abc123"),
                           QStringLiteral("set/Change.txt.old000"), QStringLiteral("Timer/mine.txt")};
    for (const QString &name : leftovers + kept)
        folder.plant(name, "x");
    QVERIFY(folder.data.ensureLayout().isEmpty());
    for (const QString &name : leftovers)
        QVERIFY2(!QFile::exists(folder.data.absolute(name)), qPrintable(name));
    for (const QString &name : kept)
        QVERIFY2(QFile::exists(folder.data.absolute(name)), qPrintable(name));
}

void TestDataFolder::unreadableFileIsKeptWholeOnce()
{
    TestFolder folder;
    const QByteArray damaged("\"ok\xFF\xFD\"\r\n");
    folder.plant(ValueFiles::memo(1), damaged);
    // Read every minute, kept once; other damage later gets its own copy.
    for (int i = 0; i < 2; ++i) {
        const DataFolder::Read read = folder.data.readValue(ValueFiles::memo(1));
        QVERIFY(!read.error.isEmpty());
        QCOMPARE(read.kept, QStringLiteral("set/memo.txt.damaged"));
    }
    folder.plant(ValueFiles::memo(1), "\"\x81");
    QCOMPARE(folder.data.readValue(ValueFiles::memo(1)).kept, QStringLiteral("set/memo.txt.damaged-2"));
    QCOMPARE(folder.bytes(QStringLiteral("set/memo.txt.damaged")), damaged);
    QCOMPARE(folder.bytes(QStringLiteral("set/memo.txt.damaged-2")), QByteArray("\"\x81"));
    // A file that reads cleanly keeps nothing; later starts leave the copies be.
    QVERIFY(folder.data.readValue(ValueFiles::memo(2)).kept.isEmpty());
    QVERIFY(folder.data.ensureLayout().isEmpty());
    QCOMPARE(QDir(folder.data.absolute(QStringLiteral("set"))).entryList(QDir::Files).size(), 29);
}

void TestDataFolder::cutWriteNeverReplacesTheFile()
{
    // A full disk lets the first bytes through, then refuses the rest.
    TestFolder folder;
    folder.plant(ValueFiles::memo(1), "\"old\"\r\n");
    {
        FileSizeLimit full(4096);
        const Written write = folder.data.writeTextValue(ValueFiles::memo(1), QString(4093, u'x'));
        QVERIFY(!write.ok());
    }
    QCOMPARE(folder.bytes(ValueFiles::memo(1)), QByteArray("\"old\"\r\n"));
    QCOMPARE(QDir(folder.data.absolute(QStringLiteral("set"))).entryList(QDir::Files).size(), 27);
    // Room again: the whole text is stored.
    QVERIFY(folder.data.writeTextValue(ValueFiles::memo(1), QString(4093, u'x')).ok());
    QCOMPARE(folder.bytes(ValueFiles::memo(1)).size(), 4097);
}

void TestDataFolder::portableOrInstalled_data()
{
    QTest::addColumn<bool>("marker");
    QTest::addColumn<bool>("setFolder");
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<QStringList>("expected"); // data, help, start in, icon
    const QStringList portable{"/p/bin", "/p/bin/help.html", "/p/bin", "/p/bin/set/icon.png"};
    QTest::newRow("the build's marker") << true << false << "/h" << portable;
    QTest::newRow("set/ of earlier runs, no data home") << false << true << "" << portable;
    // Nothing asks whether the folder is writable: /usr/bin is, for root.
    QTest::newRow("installed") << false << false << "/h/" << QStringList{"/h/ポトラ", "/p/share/potora/help.html", "", "potora"};
    QTest::newRow("installed, no data home") << false << false << "" << QStringList{"", "/p/share/potora/help.html", "", "potora"};
}

void TestDataFolder::portableOrInstalled()
{
    QFETCH(bool, marker);
    QFETCH(bool, setFolder);
    QFETCH(QString, dataHome);
    QFETCH(QStringList, expected);
    const ProgramPlaces places = ProgramPlaces::decide(QStringLiteral("/p/bin/"), marker, setFolder, dataHome);
    QCOMPARE(QStringList({places.data, places.help, places.startIn, places.icon}), expected);
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
