#include "main/Main.h"
#include "main/MemoSlot.h"
#include "platform/Twips.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

QByteArray text(const char *s) { return TestFolder::textBytes(s); }

} // namespace

// Main driven as the user drives it: typed keys, clicks, and the minute
// refresh, checked against the bytes of the value files.
class TestMain : public QObject
{
    Q_OBJECT
private slots:
    void typingSavesWithOneStepBackup();
    void deletionAndPasteAreOneChangeEach();
    void cancelsServeTheirOwnSlotOnly();
    void cancelWithNothingToUndoChangesNothing();
    void storedPageAtStartUp_data();
    void storedPageAtStartUp();
    void pageSwitch_data();
    void pageSwitch();
    void loadingWritesNothing();
    void refreshLeavesTheBoxBeingTypedIn();
    void failedSaveKeepsTheTextAndSaysSoOnce();
    void layoutFollowsTheClientArea();
    void storedGeometryIsApplied();
    void geometryOffEveryScreenComesToThePrimary();
    void damagedGeometryFallsBackToTheFirstValues();
    void minuteTickRunsTheStartUpStepAgain();
    void designCaptionsAndTips();

private:
    static Main *start(TestProgram &program);
};

Main *TestMain::start(TestProgram &program)
{
    return static_cast<Main *>(program.windows.show(Windows::Id::Main));
}

void TestMain::typingSavesWithOneStepBackup()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, "3\r\n");
    Main *main = start(program);
    QTest::keyClicks(main->text(3), QStringLiteral("abc"));
    QCOMPARE(program.folder.bytes(ValueFiles::memo(3)), text("abc"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(3)), text("ab"));

    QTest::mouseClick(main->CommandX, Qt::LeftButton);
    QCOMPARE(main->text(3)->toPlainText(), QStringLiteral("ab"));
    QCOMPARE(program.folder.bytes(ValueFiles::memo(3)), text("ab"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(3)), text("abc"));

    QTest::mouseClick(main->CommandX, Qt::LeftButton);
    QCOMPARE(main->text(3)->toPlainText(), QStringLiteral("abc"));
    QCOMPARE(program.folder.bytes(ValueFiles::memo(3)), text("abc"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(3)), text("ab"));

    // A line break is stored as CR LF, in Shift-JIS.
    QTest::keyClick(main->text(3), Qt::Key_Return);
    QTest::sendKeyEvent(QTest::Click, main->text(3), Qt::Key_unknown, QStringLiteral("時"), Qt::NoModifier);
    QCOMPARE(program.folder.bytes(ValueFiles::memo(3)), TestFolder::textBytes("abc\r\n\x8E\x9E"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(3)), text("abc\r\n"));
}

void TestMain::deletionAndPasteAreOneChangeEach()
{
    TestProgram program;
    program.folder.plant(ValueFiles::memo(1), text("x"));
    Main *main = start(program);
    QPlainTextEdit *box = main->text(1);
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)), text(""));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(1)), text("x"));
    QTest::mouseClick(main->CommandX, Qt::LeftButton);
    QCOMPARE(box->toPlainText(), QStringLiteral("x"));

    QApplication::clipboard()->setText(QStringLiteral("pasted words"));
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)), text("xpasted words"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(1)), text("x"));
}

void TestMain::cancelsServeTheirOwnSlotOnly()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, "7\r\n");
    Main *main = start(program);
    QTest::keyClicks(main->text(7), QStringLiteral("pq"));
    QTest::keyClicks(main->text(11), QStringLiteral("xy"));

    // The extra memo was edited last; CommandX still serves page 7.
    QTest::mouseClick(main->CommandX, Qt::LeftButton);
    QCOMPARE(main->text(7)->toPlainText(), QStringLiteral("p"));
    QCOMPARE(main->text(11)->toPlainText(), QStringLiteral("xy"));
    QTest::mouseClick(main->Command4, Qt::LeftButton);
    QCOMPARE(main->text(11)->toPlainText(), QStringLiteral("x"));
    QCOMPARE(main->text(7)->toPlainText(), QStringLiteral("p"));
    QCOMPARE(program.folder.bytes(ValueFiles::memo(11)), text("x"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(11)), text("xy"));
}

void TestMain::cancelWithNothingToUndoChangesNothing()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, "\"\"\r\n");
    program.folder.plant(ValueFiles::memo(1), text("kept"));
    program.folder.plant(ValueFiles::memoBackup(1), text("older"));
    Main *main = start(program);
    // No page stored: CommandX has no page to serve.
    QTest::mouseClick(main->CommandX, Qt::LeftButton);
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)), text("kept"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(1)), text("older"));

    // A backup equal to the box: nothing moves.
    program.folder.plant(ValueFiles::memo(11), text("same"));
    program.folder.plant(ValueFiles::memoBackup(11), text("same"));
    main->Main_Form_Load();
    QTest::mouseClick(main->Command4, Qt::LeftButton);
    QCOMPARE(main->text(11)->toPlainText(), QStringLiteral("same"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(11)), text("same"));
}

void TestMain::storedPageAtStartUp_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("page"); // 0: none chosen
    QTest::newRow("3") << QByteArray("3\r\n") << 3;
    QTest::newRow("10") << QByteArray("10\r\n") << 10;
    QTest::newRow("1") << QByteArray("1\r\n") << 1;
    QTest::newRow("quoted 4") << QByteArray("\"4\"\r\n") << 4;
    QTest::newRow("03") << QByteArray("03\r\n") << 0;
    QTest::newRow("0") << QByteArray("0\r\n") << 0;
    QTest::newRow("11") << QByteArray("11\r\n") << 0;
    QTest::newRow("empty text") << QByteArray("\"\"\r\n") << 0;
    QTest::newRow("space 3") << QByteArray("\" 3\"\r\n") << 0;
    QTest::newRow("3.0") << QByteArray("3.0\r\n") << 0;
    QTest::newRow("-1") << QByteArray("-1\r\n") << 0;
    QTest::newRow("binary") << QByteArray("\x00\xFF\x81", 3) << 0;
}

void TestMain::storedPageAtStartUp()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, page);
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, stored);
    for (int p = 1; p <= 10; ++p)
        program.folder.plant(ValueFiles::memo(p), TestFolder::textBytes("page " + QByteArray::number(p)));
    program.folder.plant(ValueFiles::memo(11), text("extra"));
    Main *main = start(program);

    // Box 1 is shown at load and lies beneath whichever page is chosen.
    const int shown = page == 0 ? 1 : page;
    for (int p = 1; p <= 10; ++p) {
        QCOMPARE(main->text(p)->isHidden(), p != shown && p != 1);
        QCOMPARE(main->pageButton(p)->isHidden(), page != 0 && p == page);
        // Only the stored page's text is read.
        QCOMPARE(main->text(p)->toPlainText().isEmpty(), p != page);
    }
    QCOMPARE(main->text(11)->toPlainText(), QStringLiteral("extra"));
    QCOMPARE(program.folder.bytes(ValueFiles::kChange), stored);
    QVERIFY(main->Timer1->isActive());
    QVERIFY(main->Timer2->isActive());
}

void TestMain::pageSwitch_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    for (int to = 1; to <= 10; ++to)
        QTest::addRow("8 to %d", to) << (to == 8 ? 2 : 8) << to;
    QTest::newRow("3 while 8 is shown") << 8 << 3;
    QTest::newRow("1 to 10") << 1 << 10;
}

void TestMain::pageSwitch()
{
    QFETCH(int, from);
    QFETCH(int, to);
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, QByteArray::number(from) + "\r\n");
    for (int p = 1; p <= 10; ++p)
        program.folder.plant(ValueFiles::memo(p), TestFolder::textBytes("page " + QByteArray::number(p)));
    program.folder.plant(ValueFiles::memo(11), text("extra"));
    Main *main = start(program);

    QVector<bool> hiddenBefore;
    for (int p = 1; p <= 10; ++p)
        hiddenBefore << main->text(p)->isHidden();

    QTest::mouseClick(main->pageButton(to), Qt::LeftButton);

    for (int p = 1; p <= 10; ++p) {
        if (p < to)
            QCOMPARE(main->text(p)->isHidden(), hiddenBefore[p - 1]);
        else
            QCOMPARE(main->text(p)->isHidden(), p != to);
        QCOMPARE(main->pageButton(p)->isHidden(), p == to);
    }
    QCOMPARE(program.folder.bytes(ValueFiles::kChange), QByteArray::number(to) + "\r\n");
    QCOMPARE(main->text(to)->toPlainText(), QStringLiteral("page %1").arg(to));
    QCOMPARE(main->text(11)->toPlainText(), QStringLiteral("extra"));
    // Showing a page is not an edit of it.
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(to)), text(""));
}

void TestMain::loadingWritesNothing()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, "3\r\n");
    program.folder.plant(ValueFiles::memo(3), text("abc"));
    program.folder.plant(ValueFiles::memoBackup(3), text("ab"));
    program.folder.plant(ValueFiles::memo(11), text("e2"));
    program.folder.plant(ValueFiles::memoBackup(11), text("e1"));
    {
        Main *main = start(program);
        QCOMPARE(main->text(3)->toPlainText(), QStringLiteral("abc"));
        main->Main_Timer1_Timer();
        program.windows.unload(Windows::Id::Main);
    }
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(3)), text("ab"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(11)), text("e1"));

    // After a restart the cancel still reaches the last real change.
    Main *again = start(program);
    QTest::mouseClick(again->CommandX, Qt::LeftButton);
    QCOMPARE(again->text(3)->toPlainText(), QStringLiteral("ab"));
    QTest::mouseClick(again->Command4, Qt::LeftButton);
    QCOMPARE(again->text(11)->toPlainText(), QStringLiteral("e1"));
}

void TestMain::refreshLeavesTheBoxBeingTypedIn()
{
    TestProgram program;
    Main *main = start(program);
    QPlainTextEdit *box = main->text(1);
    QTest::keyClicks(box, QStringLiteral("hello world"));
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    const QByteArray backup = program.folder.bytes(ValueFiles::memoBackup(1));

    main->Main_Timer1_Timer();

    QCOMPARE(box->textCursor().anchor(), 2);
    QCOMPARE(box->textCursor().position(), 5);
    QVERIFY(box->document()->isUndoAvailable());
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(1)), backup);
}

void TestMain::failedSaveKeepsTheTextAndSaysSoOnce()
{
    TestProgram program;
    program.folder.plant(ValueFiles::memo(1), text("old"));
    Main *main = start(program);
    program.folder.breakFile(ValueFiles::memo(1));

    main->text(1)->moveCursor(QTextCursor::End);
    QTest::keyClicks(main->text(1), QStringLiteral("xyz"));
    QCoreApplication::processEvents();
    QCOMPARE(program.platform.entries(QStringLiteral("message:")).size(), 1);
    QVERIFY(program.platform.log.last().contains(QStringLiteral("memo.txt")));
    QVERIFY(main->memoSlot(1)->unsaved());

    // Neither the refresh nor showing the page again loads over it.
    main->Main_Timer1_Timer();
    QTest::mouseClick(main->pageButton(2), Qt::LeftButton);
    QTest::mouseClick(main->pageButton(1), Qt::LeftButton);
    QCOMPARE(main->text(1)->toPlainText(), QStringLiteral("oldxyz"));

    program.folder.mendFile(ValueFiles::memo(1));
    main->text(1)->moveCursor(QTextCursor::End);
    QTest::keyClicks(main->text(1), QStringLiteral("!"));
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)), text("oldxyz!"));
    QVERIFY(!main->memoSlot(1)->unsaved());

    // A new failure after a good save is news again.
    program.folder.breakFile(ValueFiles::memo(1));
    QTest::keyClicks(main->text(1), QStringLiteral("?"));
    QCoreApplication::processEvents();
    QCOMPARE(program.platform.entries(QStringLiteral("message:")).size(), 2);
}

void TestMain::layoutFollowsTheClientArea()
{
    TestProgram program;
    Main *main = start(program);
    const auto expect = [](double l, double t, double w, double h) { return Twips::toPixels(l, t, w, h); };

    main->resize(Twips::toPixels(7320), Twips::toPixels(9285));
    main->Main_Form_Resize();
    for (int p = 1; p <= 10; ++p)
        QCOMPARE(main->text(p)->geometry(), expect(0, 2100, 7320, 7185));
    QCOMPARE(main->text(11)->geometry(), expect(360, 840, 6870, 1215));
    const QRect buttonBefore = main->pageButton(5)->geometry();

    main->resize(Twips::toPixels(8320), Twips::toPixels(9285));
    main->Main_Form_Resize();
    QCOMPARE(main->text(4)->geometry(), expect(0, 2100, 8320, 7185));
    QCOMPARE(main->text(11)->geometry(), expect(360, 840, 7870, 1215));
    QCOMPARE(main->pageButton(5)->geometry(), buttonBefore);

    // Too small for the band: never a negative size.
    main->resize(Twips::toPixels(300), Twips::toPixels(1500));
    main->Main_Form_Resize();
    QCOMPARE(main->text(1)->height(), 0);
    QCOMPARE(main->text(11)->width(), 0);
}

void TestMain::storedGeometryIsApplied()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kLeft, text("1500"));
    program.folder.plant(ValueFiles::kTop, text("750"));
    program.folder.plant(ValueFiles::kWidth, text("7500"));
    program.folder.plant(ValueFiles::kHeight, text("6000"));
    Main *main = start(program);
    QCOMPARE(main->geometry(), Twips::toPixels(1500, 750, 7500, 6000));
    QVERIFY(main->windowFlags() & Qt::FramelessWindowHint);

    // The refresh puts a moved window back.
    main->move(0, 0);
    main->Main_Timer1_Timer();
    QCOMPARE(main->geometry(), Twips::toPixels(1500, 750, 7500, 6000));
}

void TestMain::geometryOffEveryScreenComesToThePrimary()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kLeft, text("300000"));
    program.folder.plant(ValueFiles::kTop, text("-90000"));
    Main *main = start(program);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(main->pos(), screen.topLeft());
    QCOMPARE(main->size(), Twips::toPixels(0, 0, 7320, 6000).size());
    QCOMPARE(program.folder.bytes(ValueFiles::kLeft), text("300000"));
}

void TestMain::damagedGeometryFallsBackToTheFirstValues()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kLeft, text("left"));
    program.folder.plant(ValueFiles::kTop, QByteArray("\xFF\xFE\x00", 3));
    program.folder.plant(ValueFiles::kWidth, text("1e300"));
    program.folder.plant(ValueFiles::kHeight, text("nan"));
    Main *main = start(program);
    QCOMPARE(main->pos(), Twips::toPixels(600, 600, 0, 0).topLeft());
    QVERIFY(main->width() > 0 && main->width() < 100000);
    QCOMPARE(main->height(), Twips::toPixels(6000));
}

void TestMain::minuteTickRunsTheStartUpStepAgain()
{
    TestProgram program;
    program.platform.clock = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 30));
    Main *main = start(program);
    QCOMPARE(main->Label5->text(), QStringLiteral("09:05"));
    QCOMPARE(program.platform.entries(QStringLiteral("tray-add:ポトラ")).size(), 1);

    program.folder.plant(ValueFiles::kChange, "6\r\n");
    program.folder.plant(ValueFiles::memo(6), text("six"));
    program.platform.clock = program.platform.clock.addSecs(60);
    main->Main_Timer1_Timer();
    QCOMPARE(main->Label5->text(), QStringLiteral("09:06"));
    QVERIFY(!main->text(6)->isHidden());
    QCOMPARE(main->text(6)->toPlainText(), QStringLiteral("six"));
    QCOMPARE(program.platform.entries(QStringLiteral("tray-add:ポトラ")).size(), 2);
}

void TestMain::designCaptionsAndTips()
{
    TestProgram program;
    Main *main = start(program);
    QCOMPARE(main->windowTitle(), QStringLiteral("ポトラ"));
    QCOMPARE(main->pageButton(2)->text(), QStringLiteral("2 "));
    QCOMPARE(main->pageButton(10)->text(), QStringLiteral("10"));
    QCOMPARE(main->Command1->toolTip(), QStringLiteral("メモのサイズや位置を変更できます"));
    QCOMPARE(main->Command3->toolTip(), QStringLiteral("指定した時刻にメモを出現させることが出来ます"));
    QCOMPARE(main->Command5->toolTip(), QStringLiteral("パソコンの起動時にメモを表示します"));
    QCOMPARE(main->CommandX->toolTip(), QStringLiteral("メモの編集を一回だけキャンセルできます"));
    QCOMPARE(main->Command4->toolTip(), QStringLiteral("アクティブメモの編集を一回だけキャンセルできます"));
    QCOMPARE(main->Command4->text(), QStringLiteral("キャンセル"));
    QVERIFY(main->Command10->toolTip().isEmpty());
    QVERIFY(main->pageButton(1)->toolTip().isEmpty());
    QCOMPARE(main->text(10)->palette().color(QPalette::Base), QColor(0, 0, 0));
    QCOMPARE(main->text(10)->palette().color(QPalette::Text), QColor(255, 255, 255));
    QCOMPARE(main->text(8)->palette().color(QPalette::Base), QColor(255, 224, 192));
    QVERIFY(main->Label7->isHidden());
    QCOMPARE(main->Label9->text(), QStringLiteral("Label9"));
}

QTEST_MAIN(TestMain)
#include "tst_main.moc"
