#include "main/Main.h"
#include "main/MemoSlot.h"
#include "startup/OpenTimer.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/Timermemo.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

// Hand-edited and damaged data folders: the program starts, shows what it
// can, says what it could not read or write, and loses nothing typed.
class TestDamagedFolder : public QObject
{
    Q_OBJECT
private slots:
    void memoFiles_data();
    void memoFiles();
    void fileReplacedByAFolder();
    void hugeMemoLoadsAndSaves();
    void missingSubfolderIsMadeAgain();
    void damagedTimerFiles();
    void activePageFileThatIsAFolder();

private:
    static Main *start(TestProgram &program)
    {
        return static_cast<Main *>(program.windows.show(Windows::Id::Main));
    }
    static int messages(TestProgram &program)
    {
        QCoreApplication::processEvents();
        return int(program.platform.entries(QStringLiteral("message:")).size());
    }
};

void TestDamagedFolder::memoFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("messages");
    QTest::newRow("empty file") << QByteArray() << QString() << 0;
    QTest::newRow("only a quote") << QByteArray("\"") << QString() << 0;
    QTest::newRow("no line end") << QByteArray("\"abc\"") << QStringLiteral("abc") << 0;
    QTest::newRow("unquoted words") << QByteArray("hello, world\r\n") << QStringLiteral("hello") << 0;
    QTest::newRow("lone line feeds") << QByteArray("\"a\nb\"\r\n") << QStringLiteral("a\nb") << 0;
    QTest::newRow("invalid shift-jis") << QByteArray("\"ok\xFF\xFD\"\r\n") << QString() << 1;
    QTest::newRow("binary garbage") << QByteArray("\x00\x01\x81\x22\xFF\xFE\x7F", 7) << QString() << 1;
}

void TestDamagedFolder::memoFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QFETCH(int, messages);
    TestProgram program;
    program.folder.plant(ValueFiles::memo(1), bytes);
    Main *main = start(program);
    if (!shown.isNull() || messages == 0)
        QCOMPARE(main->text(1)->toPlainText(), shown);
    QCOMPARE(TestDamagedFolder::messages(program), messages);
    // Loading wrote nothing over the damaged file.
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)), bytes);

    // The first edit keeps the damaged bytes whole in the backup.
    main->text(1)->moveCursor(QTextCursor::End);
    QTest::keyClicks(main->text(1), QStringLiteral("z"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(1)), bytes);
    QCOMPARE(program.folder.data.readValue(ValueFiles::memo(1)).text,
             MemoSlot::toStored(main->text(1)->toPlainText()));
}

void TestDamagedFolder::fileReplacedByAFolder()
{
    TestProgram program;
    program.folder.breakFile(ValueFiles::memo(11));
    Main *main = start(program);
    QCOMPARE(messages(program), 1);
    QVERIFY(program.platform.log.last().contains(QStringLiteral("memo11.txt")));

    QTest::keyClicks(main->text(11), QStringLiteral("typed"));
    // The read and the write of the same file make one report, not one per key.
    QCOMPARE(messages(program), 1);
    main->Main_Timer1_Timer();
    QCOMPARE(main->text(11)->toPlainText(), QStringLiteral("typed"));
    QVERIFY(main->memoSlot(11)->unsaved());
}

void TestDamagedFolder::hugeMemoLoadsAndSaves()
{
    TestProgram program;
    const QByteArray line = TestFolder::sjis(QStringLiteral("長いメモの一行です。")) + "\r\n";
    QByteArray body;
    while (body.size() < 10 * 1024 * 1024)
        body += line;
    program.folder.plant(ValueFiles::memo(1), '"' + body + "\"\r\n");
    Main *main = start(program);
    QCOMPARE(messages(program), 0);
    main->text(1)->moveCursor(QTextCursor::End);
    QTest::keyClicks(main->text(1), QStringLiteral("!"));
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)), '"' + body + "!\"\r\n");
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(1)).size(), body.size() + 4);
}

void TestDamagedFolder::missingSubfolderIsMadeAgain()
{
    TestFolder folder;
    folder.plant(ValueFiles::memo(5), TestFolder::textBytes("kept"));
    QVERIFY(QDir(folder.data.absolute(QStringLiteral("Timer"))).removeRecursively());
    QVERIFY(folder.data.ensureLayout().isEmpty());
    QCOMPARE(QDir(folder.data.absolute(QStringLiteral("Timer"))).entryList(QDir::Files).size(), 14);
    QCOMPARE(folder.bytes(ValueFiles::memo(5)), TestFolder::textBytes("kept"));

    // A subfolder that cannot be made is reported, not fatal.
    QVERIFY(QDir(folder.data.absolute(QStringLiteral("Timer"))).removeRecursively());
    folder.plant(QStringLiteral("Timer"), "a file in the way");
    QVERIFY(!folder.data.ensureLayout().isEmpty());
}

void TestDamagedFolder::damagedTimerFiles()
{
    TestProgram program;
    program.folder.plant(ValueFiles::timerEnabled(1), QByteArray("\xFF\xFF", 2));
    program.folder.plant(ValueFiles::timerEnabled(2), "1.0\r\n");
    program.folder.breakFile(ValueFiles::timerText(3));
    program.folder.plant(ValueFiles::kStartupMemo, QByteArray("\x81", 1));
    start(program);
    auto *overview = static_cast<Timermemo *>(program.windows.load(Windows::Id::Timermemo));
    QCOMPARE(overview->Check1->checkState(), Qt::Unchecked);
    QCOMPARE(overview->Check2->checkState(), Qt::Unchecked);
    QVERIFY(overview->Command3->memo().isEmpty());
    auto *editor = static_cast<OpenTimer *>(program.windows.load(Windows::Id::OpenTimer));
    QVERIFY(editor);
    // Each unreadable file is named once.
    QCoreApplication::processEvents();
    const QStringList all = program.platform.entries(QStringLiteral("message:"));
    QCOMPARE(all.filter(QStringLiteral("memo3.txt")).size(), 1);
    QCOMPARE(all.filter(QStringLiteral("true1.txt")).size(), 1);
    QCOMPARE(all.filter(QStringLiteral("memo4.txt")).size(), 1);
}

void TestDamagedFolder::activePageFileThatIsAFolder()
{
    TestProgram program;
    program.folder.breakFile(ValueFiles::kChange);
    Main *main = start(program);
    QVERIFY(!main->text(1)->isHidden());
    QCOMPARE(messages(program), 1);
    // Choosing a page still shows it; the file already named is not named again.
    QTest::mouseClick(main->pageButton(4), Qt::LeftButton);
    QVERIFY(!main->text(4)->isHidden());
    QCOMPARE(messages(program), 1);
}

QTEST_MAIN(TestDamagedFolder)
#include "tst_damagedfolder.moc"
