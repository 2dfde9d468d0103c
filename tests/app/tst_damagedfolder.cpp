#include "main/Main.h"
#include "main/MemoSlot.h"
#include "startup/OpenTimer.h"
#include "store/StoredText.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/Timermemo.h"

#include <QDir>
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
    void filesReplacedByFolders();
    void hugeMemoLoadsAndSaves();
    void missingSubfolderIsMadeAgain();
    void damagedTimerFiles();

private:
    static Main *start(TestProgram &program)
    {
        return static_cast<Main *>(program.windows.show(WindowId::Main));
    }
    static QStringList messages(TestProgram &program)
    {
        QCoreApplication::processEvents();
        return program.platform.entries(QStringLiteral("message:"));
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
    QTest::newRow("UTF-8 from another editor") << QStringLiteral("\"会議の予定：月曜〜金曜\"\r\n").toUtf8()
                                               << QStringLiteral("会議の予定：月曜〜金曜") << 0;
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
    if (messages == 0)
        QCOMPARE(main->text(1)->toPlainText(), shown);
    const QStringList told = TestDamagedFolder::messages(program);
    QCOMPARE(told.size(), messages);
    // Bytes that read cleanly neither way are kept whole, and the user told where.
    if (messages)
        QVERIFY2(told.first().contains(QStringLiteral("memo.txt.damaged")), qPrintable(told.first()));
    // Loading wrote nothing over the damaged file.
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)), bytes);

    // The first edit keeps the damaged bytes whole in the backup.
    main->text(1)->moveCursor(QTextCursor::End);
    QTest::keyClicks(main->text(1), QStringLiteral("z"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(1)), bytes);
    QCOMPARE(program.folder.data.readValue(ValueFiles::memo(1)).text,
             StoredText::toStored(main->text(1)->toPlainText()));
}

void TestDamagedFolder::filesReplacedByFolders()
{
    TestProgram program;
    program.folder.breakFile(ValueFiles::memo(11));
    program.folder.breakFile(ValueFiles::kChange);
    Main *main = start(program);
    QVERIFY(!main->text(1)->isHidden());
    QCOMPARE(messages(program).filter(QStringLiteral("memo11.txt")).size(), 1);
    QCOMPARE(messages(program).size(), 2);

    // The read and the write of the same file make one report, not one per
    // key; the refresh leaves the unsaved text; a page still shows.
    QTest::keyClicks(main->text(11), QStringLiteral("typed"));
    main->Main_Timer1_Timer();
    QTest::mouseClick(main->pageButton(4), Qt::LeftButton);
    QVERIFY(!main->text(4)->isHidden());
    QCOMPARE(main->text(11)->toPlainText(), QStringLiteral("typed"));
    QVERIFY(main->memoSlot(11)->unsaved());
    QCOMPARE(messages(program).size(), 2);
}

void TestDamagedFolder::hugeMemoLoadsAndSaves()
{
    TestProgram program;
    const QByteArray line = TestFolder::sjis(QStringLiteral("長いメモの一行です。")) + "\r\n";
    const QByteArray body = line.repeated(10 * 1024 * 1024 / line.size() + 1);
    program.folder.plant(ValueFiles::memo(1), '"' + body + "\"\r\n");
    Main *main = start(program);
    QCOMPARE(messages(program).size(), 0);
    main->text(1)->moveCursor(QTextCursor::End);
    QTest::keyClicks(main->text(1), QStringLiteral("!"));
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)), '"' + body + "!\"\r\n");
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(1)), '"' + body + "\"\r\n");
}

void TestDamagedFolder::missingSubfolderIsMadeAgain()
{
    TestFolder folder;
    const QString timer = folder.data.absolute(QStringLiteral("Timer"));
    folder.plant(ValueFiles::memo(5), TestFolder::textBytes("kept"));
    QVERIFY(QDir(timer).removeRecursively());
    QVERIFY(folder.data.ensureLayout().isEmpty());
    QCOMPARE(QDir(timer).entryList(QDir::Files).size(), 14);
    QCOMPARE(folder.bytes(ValueFiles::memo(5)), TestFolder::textBytes("kept"));

    // A subfolder that cannot be made is reported, not fatal.
    QVERIFY(QDir(timer).removeRecursively());
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
    auto *overview = static_cast<Timermemo *>(program.windows.load(WindowId::Timermemo));
    QCOMPARE(overview->Check1->checkState(), Qt::Unchecked);
    QCOMPARE(overview->Check2->checkState(), Qt::Unchecked);
    QVERIFY(overview->Command3->memo().isEmpty());
    QVERIFY(program.windows.load(WindowId::OpenTimer));
    // Each unreadable file is named once.
    const QStringList all = messages(program);
    for (const char *name : {"memo3.txt", "true1.txt", "memo4.txt"})
        QCOMPARE(all.filter(QLatin1String(name)).size(), 1);
}

QTEST_MAIN(TestDamagedFolder)
#include "tst_damagedfolder.moc"
