#include "main/Main.h"
#include "main/MemoSlot.h"
#include "kit/Twips.h"
#include "store/Rescue.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

QByteArray text(const QByteArray &s) { return TestFolder::textBytes(s); }

// "page N" in memo N, "extra" in the extra memo, the page file as given.
void plantPages(const TestFolder &folder, const QByteArray &change)
{
    folder.plant(ValueFiles::kChange, change);
    for (int p = 1; p <= 10; ++p)
        folder.plant(ValueFiles::memo(p), text("page " + QByteArray::number(p)));
    folder.plant(ValueFiles::memo(11), text("extra"));
}

Main *start(TestProgram &program) { return static_cast<Main *>(program.windows.show(WindowId::Main)); }

} // namespace

// Main driven as the user drives it: typed keys, clicks, and the minute
// refresh, checked against the bytes of the value files.
class TestMain : public QObject
{
    Q_OBJECT
private slots:
    void editsSaveWithOneStepBackup();
    void inputMethodCompositionIsOneChange_data();
    void inputMethodCompositionIsOneChange();
    void cancelsServeTheirOwnSlotOnly();
    void storedPageAtStartUp_data();
    void storedPageAtStartUp();
    void pageSwitch_data();
    void pageSwitch();
    void loadingWritesNothing();
    void refreshLeavesTheBoxBeingTypedIn();
    void failedSaveKeepsTheTextAndSaysSoOnce();
    void unsavedTextOutlivesMain_data();
    void unsavedTextOutlivesMain();
    void layoutFollowsTheClientArea();
    void storedGeometry_data();
    void storedGeometry();
    void minuteTickRunsTheStartUpStepAgain();
    void captionsAndColours();
};

void TestMain::editsSaveWithOneStepBackup()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, "3\r\n");
    Main *main = start(program);
    QPlainTextEdit *box = main->text(3);
    const auto files = [&] {
        return program.folder.bytes(ValueFiles::memo(3)) + '|' + program.folder.bytes(ValueFiles::memoBackup(3));
    };
    QTest::keyClicks(box, QStringLiteral("abc"));
    QCOMPARE(files(), text("abc") + '|' + text("ab"));
    // The cancel swaps value and backup, each time it is pressed.
    QTest::mouseClick(main->CommandX, Qt::LeftButton);
    QCOMPARE(box->toPlainText(), QStringLiteral("ab"));
    QCOMPARE(files(), text("ab") + '|' + text("abc"));
    QTest::mouseClick(main->CommandX, Qt::LeftButton);
    QCOMPARE(files(), text("abc") + '|' + text("ab"));

    // A line break is stored as CR LF, in Shift-JIS.
    QTest::keyClick(box, Qt::Key_Return);
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("時"), Qt::NoModifier);
    QCOMPARE(files(), text("abc\r\n\x8E\x9E") + '|' + text("abc\r\n"));

    // A deletion and a paste are one change each.
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(files(), text("abc\r\n") + '|' + text("abc\r\n\x8E\x9E"));
    QApplication::clipboard()->setText(QStringLiteral("pasted words"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(files(), text("abc\r\npasted words") + '|' + text("abc\r\n"));
}

void TestMain::inputMethodCompositionIsOneChange_data()
{
    QTest::addColumn<int>("slot");
    QTest::newRow("page 1") << 1;
    QTest::newRow("page 10") << 10;
    QTest::newRow("extra memo") << 11;
}

void TestMain::inputMethodCompositionIsOneChange()
{
    QFETCH(int, slot);
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, slot == 11 ? "1\r\n" : QByteArray::number(slot) + "\r\n");
    program.folder.plant(ValueFiles::memo(slot), text(TestFolder::sjis(QStringLiteral("予定："))));
    program.folder.plant(ValueFiles::memoBackup(slot), text("older"));
    Main *main = start(program);
    QPlainTextEdit *box = main->text(slot);
    box->moveCursor(QTextCursor::End);
    // What an input method sends while a word is composed, then committed.
    const auto compose = [box](const QString &preedit, const QString &commit = QString()) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QCoreApplication::sendEvent(box, &event);
    };
    const auto files = [&] {
        return program.folder.bytes(ValueFiles::memo(slot)) + '|' + program.folder.bytes(ValueFiles::memoBackup(slot));
    };
    const QByteArray before = files();

    for (const QString &preedit : {QStringLiteral("k"), QStringLiteral("かい"), QStringLiteral("かいぎ"), QStringLiteral("会議")})
        compose(preedit);
    QCOMPARE(files(), before);
    compose(QString(), QStringLiteral("会議"));
    const QByteArray committed = text(TestFolder::sjis(QStringLiteral("予定：会議"))) + '|'
        + text(TestFolder::sjis(QStringLiteral("予定：")));
    QCOMPARE(files(), committed);
    // A composition given up writes nothing.
    compose(QStringLiteral("よ"));
    compose(QString());
    QCOMPARE(files(), committed);
    QCOMPARE(box->toPlainText(), QStringLiteral("予定：会議"));

    QTest::mouseClick(slot == 11 ? main->Command4 : main->CommandX, Qt::LeftButton);
    QCOMPARE(box->toPlainText(), QStringLiteral("予定："));
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
    QCOMPARE(main->text(7)->toPlainText() + main->text(11)->toPlainText(), QStringLiteral("pxy"));
    QTest::mouseClick(main->Command4, Qt::LeftButton);
    QCOMPARE(main->text(7)->toPlainText() + main->text(11)->toPlainText(), QStringLiteral("px"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(11)), text("xy"));

    // No page stored: CommandX has nothing to serve.
    program.folder.plant(ValueFiles::kChange, "\"\"\r\n");
    program.folder.plant(ValueFiles::memo(1), text("kept"));
    program.folder.plant(ValueFiles::memoBackup(1), text("older"));
    main->Main_Form_Load();
    QTest::mouseClick(main->CommandX, Qt::LeftButton);
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)) + program.folder.bytes(ValueFiles::memoBackup(1)),
             text("kept") + text("older"));
}

void TestMain::storedPageAtStartUp_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("page"); // 0: none chosen
    const QList<QPair<QByteArray, int>> rows{{"3\r\n", 3},     {"10\r\n", 10},     {"1\r\n", 1},   {"\"4\"\r\n", 4},
                                             {"03\r\n", 0},    {"0\r\n", 0},       {"11\r\n", 0},  {"\"\"\r\n", 0},
                                             {"\" 3\"\r\n", 0}, {"3.0\r\n", 0},    {"-1\r\n", 0},
                                             {QByteArray("\x00\xFF\x81", 3), 0}};
    for (const auto &row : rows)
        QTest::newRow(row.first.toHex().constData()) << row.first << row.second;
}

void TestMain::storedPageAtStartUp()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, page);
    TestProgram program;
    plantPages(program.folder, stored);
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
    QVERIFY(main->Timer1->isActive() && main->Timer2->isActive());
}

void TestMain::pageSwitch_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    for (int to = 1; to <= 10; ++to)
        QTest::addRow("8 to %d", to) << (to == 8 ? 2 : 8) << to;
    QTest::newRow("1 to 10") << 1 << 10;
}

void TestMain::pageSwitch()
{
    QFETCH(int, from);
    QFETCH(int, to);
    TestProgram program;
    plantPages(program.folder, QByteArray::number(from) + "\r\n");
    Main *main = start(program);
    QVector<bool> hiddenBefore;
    for (int p = 1; p <= 10; ++p)
        hiddenBefore << main->text(p)->isHidden();

    QTest::mouseClick(main->pageButton(to), Qt::LeftButton);

    // Pages below the chosen one keep their state; it and those above follow it.
    for (int p = 1; p <= 10; ++p) {
        QCOMPARE(main->text(p)->isHidden(), p < to ? hiddenBefore[p - 1] : p != to);
        QCOMPARE(main->pageButton(p)->isHidden(), p == to);
    }
    QCOMPARE(program.folder.bytes(ValueFiles::kChange), QByteArray::number(to) + "\r\n");
    QCOMPARE(main->text(to)->toPlainText(), QStringLiteral("page %1").arg(to));
    QCOMPARE(main->text(11)->toPlainText(), QStringLiteral("extra"));
    // Showing a page is not an edit of it.
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(to)), text(""));
    // Back again: the page lies above the boxes of lower pages built after it.
    QTest::mouseClick(main->pageButton(from), Qt::LeftButton);
    QVERIFY(main->text(from)->isAncestorOf(main->childAt(main->text(from)->geometry().center())));
}

void TestMain::loadingWritesNothing()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, "3\r\n");
    program.folder.plant(ValueFiles::memo(3), text("abc"));
    program.folder.plant(ValueFiles::memoBackup(3), text("ab"));
    program.folder.plant(ValueFiles::memo(11), text("e2"));
    program.folder.plant(ValueFiles::memoBackup(11), text("e1"));
    start(program)->Main_Timer1_Timer();
    program.windows.unload(WindowId::Main);
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(3)), text("ab"));
    QCOMPARE(program.folder.bytes(ValueFiles::memoBackup(11)), text("e1"));

    // After a restart the cancel still reaches the last real change.
    Main *again = start(program);
    QTest::mouseClick(again->CommandX, Qt::LeftButton);
    QTest::mouseClick(again->Command4, Qt::LeftButton);
    QCOMPARE(again->text(3)->toPlainText() + again->text(11)->toPlainText(), QStringLiteral("abe1"));
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
    QPlainTextEdit *box = main->text(1);
    const auto messages = [&] {
        QCoreApplication::processEvents();
        return program.platform.entries(QStringLiteral("message:")).size();
    };
    program.folder.breakFile(ValueFiles::memo(1));
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, QStringLiteral("xyz"));
    QCOMPARE(messages(), 1);
    QVERIFY(program.platform.log.last().contains(QStringLiteral("memo.txt")));
    QVERIFY(main->memoSlot(1)->unsaved());

    // Neither the refresh nor showing the page again loads over it.
    main->Main_Timer1_Timer();
    QTest::mouseClick(main->pageButton(2), Qt::LeftButton);
    QTest::mouseClick(main->pageButton(1), Qt::LeftButton);
    QCOMPARE(box->toPlainText(), QStringLiteral("oldxyz"));

    program.folder.mendFile(ValueFiles::memo(1));
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, QStringLiteral("!"));
    QCOMPARE(program.folder.bytes(ValueFiles::memo(1)), text("oldxyz!"));
    QVERIFY(!main->memoSlot(1)->unsaved());

    // A new failure after a good save is news again.
    program.folder.breakFile(ValueFiles::memo(1));
    QTest::keyClicks(box, QStringLiteral("?"));
    QCOMPARE(messages(), 2);
}

void TestMain::unsavedTextOutlivesMain_data()
{
    QTest::addColumn<bool>("mended");
    QTest::addColumn<bool>("sessionEnding");
    QTest::newRow("saved where it belongs once the file is mended") << true << false;
    QTest::newRow("kept in a file of the user's, who is told where") << false << false;
    QTest::newRow("at log-off: told at the next start, no box") << false << true;
}

void TestMain::unsavedTextOutlivesMain()
{
    QFETCH(bool, mended);
    QFETCH(bool, sessionEnding);
    TestProgram program;
    program.folder.plant(ValueFiles::kChange, "3\r\n");
    Main *main = start(program);
    program.folder.breakFile(ValueFiles::memo(3));
    QTest::keyClicks(main->text(3), QStringLiteral("unsaved7x"));
    QCoreApplication::processEvents();
    if (mended)
        program.folder.mendFile(ValueFiles::memo(3));
    const int messagesBefore = program.platform.entries(QStringLiteral("message:")).size();

    // Quitting, the position editor and logging off all take Main away.
    if (sessionEnding)
        emit program.platform.sessionEnding();
    else
        QVERIFY(program.windows.unload(WindowId::Main));
    QVERIFY(!program.windows.isLoaded(WindowId::Main));

    const QString userData = program.platform.userDataFolder();
    const QStringList rescued = QDir(userData).entryList({QStringLiteral("memo3 *.txt")}, QDir::Files);
    const QStringList messages = program.platform.entries(QStringLiteral("message:")).mid(messagesBefore);
    if (mended) {
        QCOMPARE(program.folder.bytes(ValueFiles::memo(3)), text("unsaved7x"));
        QVERIFY(rescued.isEmpty() && messages.isEmpty());
        return;
    }
    QCOMPARE(rescued, QStringList{QStringLiteral("memo3 2026-12-06 07-04-59.txt")});
    QFile file(userData + u'/' + rescued.first());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("unsaved7x"));
    const QString told = sessionEnding ? Rescue::takeNotice(userData) : messages.value(0);
    QVERIFY2(told.contains(file.fileName()), qPrintable(told));
    QCOMPARE(messages.size(), sessionEnding ? 0 : 1);
}

void TestMain::layoutFollowsTheClientArea()
{
    TestProgram program;
    Main *main = start(program);
    const auto resize = [main](int w, int h) {
        main->resize(Twips::toPixels(w), Twips::toPixels(h));
        main->Main_Form_Resize();
    };
    resize(7320, 9285);
    for (int p = 1; p <= 10; ++p)
        QCOMPARE(main->text(p)->geometry(), Twips::toPixels(0, 2100, 7320, 7185));
    QCOMPARE(main->text(11)->geometry(), Twips::toPixels(360, 840, 6870, 1215));
    const QRect buttonBefore = main->pageButton(5)->geometry();

    resize(8320, 9285);
    QCOMPARE(main->text(4)->geometry(), Twips::toPixels(0, 2100, 8320, 7185));
    QCOMPARE(main->text(11)->geometry(), Twips::toPixels(360, 840, 7870, 1215));
    QCOMPARE(main->pageButton(5)->geometry(), buttonBefore);

    // Too small for the band: never a negative size.
    resize(300, 1500);
    QCOMPARE(main->text(1)->height(), 0);
    QCOMPARE(main->text(11)->width(), 0);
}

void TestMain::storedGeometry_data()
{
    QTest::addColumn<QByteArrayList>("stored"); // left, top, width, height
    QTest::addColumn<QRect>("expected");        // pixels; an empty point: the primary screen's corner
    QTest::newRow("applied") << QByteArrayList{"1500", "750", "7500", "6000"} << Twips::toPixels(1500, 750, 7500, 6000);
    // Off every screen: the stored size on the primary screen, files untouched.
    QTest::newRow("on no screen") << QByteArrayList{"300000", "-90000", "7320", "6000"}
                                  << QRect(QPoint(-1, -1), Twips::toPixels(0, 0, 7320, 6000).size());
    // Damaged values fall back to the first values, never a huge window.
    QTest::newRow("damaged") << QByteArrayList{"left", "\xFF\xFE", "1e300", "nan"}
                             << QRect(Twips::toPixels(600, 600, 0, 0).topLeft(), QSize(0, Twips::toPixels(6000)));
}

void TestMain::storedGeometry()
{
    QFETCH(QByteArrayList, stored);
    QFETCH(QRect, expected);
    TestProgram program;
    const QString files[4] = {ValueFiles::kLeft, ValueFiles::kTop, ValueFiles::kWidth, ValueFiles::kHeight};
    for (int i = 0; i < 4; ++i)
        program.folder.plant(files[i], text(stored[i]));
    Main *main = start(program);
    const QPoint place = expected.topLeft() == QPoint(-1, -1)
        ? QGuiApplication::primaryScreen()->availableGeometry().topLeft()
        : expected.topLeft();
    QCOMPARE(main->pos(), place);
    QCOMPARE(main->height(), expected.height());
    QVERIFY(main->width() > 0 && main->width() < 100000);
    if (expected.width() > 0)
        QCOMPARE(main->width(), expected.width());
    QVERIFY(main->windowFlags() & Qt::FramelessWindowHint);

    // The refresh puts a moved window back, and nothing is rewritten.
    main->move(3, 3);
    main->Main_Timer1_Timer();
    QCOMPARE(main->pos(), place);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(program.folder.bytes(files[i]), text(stored[i]));
}

void TestMain::minuteTickRunsTheStartUpStepAgain()
{
    TestProgram program;
    program.platform.clock = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 30));
    Main *main = start(program);
    QCOMPARE(main->Label5->text(), QStringLiteral("09:05"));

    plantPages(program.folder, "6\r\n");
    program.platform.clock = program.platform.clock.addSecs(60);
    main->Main_Timer1_Timer();
    QCOMPARE(main->Label5->text(), QStringLiteral("09:06"));
    QVERIFY(!main->text(6)->isHidden());
    QCOMPARE(main->text(6)->toPlainText(), QStringLiteral("page 6"));
}

void TestMain::captionsAndColours()
{
    TestProgram program;
    Main *main = start(program);
    const QList<QPair<QString, QString>> seen{
        {main->windowTitle(), QStringLiteral("ポトラ")},
        {main->pageButton(2)->text(), QStringLiteral("2 ")},
        {main->Command1->toolTip(), QStringLiteral("メモのサイズや位置を変更できます")},
        {main->Command3->toolTip(), QStringLiteral("指定した時刻にメモを出現させることが出来ます")},
        {main->Command5->toolTip(), QStringLiteral("パソコンの起動時にメモを表示します")},
        {main->CommandX->toolTip(), QStringLiteral("メモの編集を一回だけキャンセルできます")},
        {main->Command4->toolTip(), QStringLiteral("アクティブメモの編集を一回だけキャンセルできます")},
        {main->Command4->text(), QStringLiteral("キャンセル")},
        {main->text(10)->palette().color(QPalette::Base).name(), QStringLiteral("#000000")},
        {main->text(8)->palette().color(QPalette::Base).name(), QStringLiteral("#ffe0c0")},
    };
    for (const auto &pair : seen)
        QCOMPARE(pair.first, pair.second);
}

QTEST_MAIN(TestMain)
#include "tst_main.moc"
