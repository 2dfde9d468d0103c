// Main driven as the user drives it, checked against the files' bytes and what the fake platform showed.
#include "kit/Twips.h"
#include "main/Main.h"
#include "store/Rescue.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"

#include <QtTest>
#include <QtWidgets>
#include <qtestspontaneevent.h>

#include <ctime>

namespace {
QByteArray text(const QByteArray &sjis) { return TestFolder::textBytes(sjis); }
QDateTime at(int day, int h, int m, int s = 0, int ms = 0) { return QDateTime(QDate(2026, 12, day), QTime(h, m, s, ms)); }
// A moment of 2026 in UTC: `day` counts from 1 March, so 1 is 1 March.
QDateTime utc(int day, int h, int m, int s = 0, int ms = 200) { return QDateTime(QDate(2026, 3, 1).addDays(day - 1), QTime(h, m, s, ms), Qt::UTC); }
} // namespace

class TestMain : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestProgram> p;
    Main *main = nullptr;

    Main *start(const QByteArray &page = "1\r\n")
    {
        p->folder.plant(ValueFiles::kChange, page);
        return main = p->showMain();
    }
    QByteArray files(int n) const { return p->folder.bytes(ValueFiles::memo(n)) + '|' + p->folder.bytes(ValueFiles::memoBackup(n)); }
    // Timer memo n, switched on, due at `due` ("hh:mm" as stored).
    void memo(int n, const QString &memoText, const QString &due)
    {
        for (const auto &[file, text] : {std::pair(ValueFiles::timerText(n), memoText), {ValueFiles::timerHour(n), due.section(u':', 0, 0)},
                                         {ValueFiles::timerMinute(n), due.section(u':', 1)}})
            p->folder.plant(file, TestFolder::textBytes(text));
        p->folder.plant(ValueFiles::timerEnabled(n), "1\r\n");
    }
    void startAt(const QDateTime &time) { p->platform.clock = time; start(); p->platform.log.clear(); }
    void tick(const QDateTime &time) { p->platform.clock = time; main->Main_Timer1_Timer(); }
    QStringList shown() const { return p->platform.entries("announce:").replaceInStrings("announce:", QString()); }

private slots:
    void init() { p = std::make_unique<TestProgram>(); }
    void cleanup() { p.reset(); }

    // Each key and each composition an input method commits is one change,
    // saved with a one-step backup; the memo's own cancel swaps the two.
    void editAndCancel_data()
    {
        QTest::addColumn<int>("slot"); // 11: the extra memo
        for (int slot = 1; slot <= 11; ++slot)
            QTest::addRow("slot %d", slot) << slot;
    }
    void editAndCancel()
    {
        QFETCH(int, slot);
        const QByteArray before = TestFolder::textBytes(QStringLiteral("予定：")), committed = TestFolder::textBytes(QStringLiteral("予定：会議"));
        p->folder.plant(ValueFiles::memo(slot), before);
        p->folder.plant(ValueFiles::memoBackup(slot), text("older"));
        QPlainTextEdit *box = start(slot == 11 ? "1\r\n" : QByteArray::number(slot) + "\r\n")->text(slot);
        QPushButton *cancel = slot == 11 ? main->Command4 : main->CommandX;
        // Filling the box is its first change: a cancel right after the start leaves it as it is.
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(box->toPlainText().toUtf8() + files(slot), "予定：" + before + '|' + before);
        box->moveCursor(QTextCursor::End);
        // What an input method sends while a word is composed, then committed.
        const auto compose = [box](const QString &preedit, const QString &commit = QString()) {
            QInputMethodEvent event(preedit, {});
            event.setCommitString(commit);
            QCoreApplication::sendEvent(box, &event);
        };
        for (const QString &preedit : {QStringLiteral("k"), QStringLiteral("かいぎ"), QStringLiteral("会議")})
            compose(preedit);
        QCOMPARE(files(slot), before + '|' + before);
        compose(QString(), QStringLiteral("会議"));
        QCOMPARE(files(slot), committed + '|' + before);
        compose(QStringLiteral("よ")); // given up
        compose(QString());
        QCOMPARE(files(slot), committed + '|' + before);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(box->toPlainText().toUtf8() + files(slot), "予定：" + before + '|' + committed);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTest::mouseClick(slot == 11 ? main->CommandX : main->Command4, Qt::LeftButton); // the other slot's
        QCOMPARE(files(slot), committed + '|' + before);
        // With no page stored CommandX serves none. Typing goes on at the end;
        // a line break is stored as CR LF, in Shift-JIS.
        p->folder.plant(ValueFiles::kChange, "\"\"\r\n");
        QTest::mouseClick(main->CommandX, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("時"), Qt::NoModifier);
        QCOMPARE(files(slot), TestFolder::textBytes(QStringLiteral("予定：会議\r\n時")) + '|' + TestFolder::textBytes(QStringLiteral("予定：会議\r\n")));
    }

    // A box not filled from its file in this run backs the file up at its
    // first change, never the empty text it held: a key typed into page 1
    // when no page is stored, the cancel of a page never shown.
    void firstChangeOfABoxNeverFilled_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("a key, no page stored") << false;
        QTest::newRow("the cancel of a page never shown") << true;
    }
    void firstChangeOfABoxNeverFilled()
    {
        QFETCH(bool, cancel);
        const int page = cancel ? 5 : 1;
        p->folder.plant(ValueFiles::memo(page), text("kept"));
        p->folder.plant(ValueFiles::memoBackup(page), text("older"));
        start("\"\"\r\n");
        if (cancel) {
            p->folder.plant(ValueFiles::kChange, "5\r\n"); // as another program may write it
            QTest::mouseClick(main->CommandX, Qt::LeftButton);
        } else {
            QTest::keyClicks(main->text(1), "x");
        }
        QCOMPARE(files(page), text(cancel ? "older" : "x") + '|' + text("kept"));
        QTest::mouseClick(main->pageButton(page), Qt::LeftButton); // filled now, from what the change saved
        QCOMPARE(files(page), text(cancel ? "older" : "x") + '|' + text("kept"));
    }

    // The page stored shows at start-up; a page button then switches to its page.
    void pages_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("page"); // 0: none chosen
        QTest::addColumn<int>("to");
        for (const auto &[stored, page, to] : QList<std::tuple<QByteArray, int, int>>{
                 {"3\r\n", 3, 1}, {"10\r\n", 10, 2}, {"\"4\"\r\n", 4, 3}, {"03\r\n", 0, 4}, {"0\r\n", 0, 5},
                 {"11\r\n", 0, 6}, {"\" 3\"\r\n", 0, 7}, {"3.0\r\n", 0, 8}, {QByteArray("\x00\xFF\x81", 3), 0, 9},
                 {"8\r\n", 8, 10}})
            QTest::addRow("%s to %d", stored.toHex().constData(), to) << stored << page << to;
    }
    void pages()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, page);
        QFETCH(int, to);
        for (int n = 1; n <= 11; ++n)
            p->folder.plant(ValueFiles::memo(n), text(n == 11 ? "extra" : "page " + QByteArray::number(n)));
        start(stored);
        // Box 1 is shown at load and lies beneath whichever page is chosen.
        for (int n = 1; n <= 10; ++n) {
            QCOMPARE(main->text(n)->isHidden(), n != page && n != 1);
            QCOMPARE(main->pageButton(n)->isHidden(), n == page);
            QCOMPARE(main->text(n)->toPlainText().isEmpty(), n != page); // only that page is read
        }
        QCOMPARE(main->text(11)->toPlainText() + p->folder.bytes(ValueFiles::kChange), "extra" + stored);
        main->text(page ? page : 1)->setFocus();
        QTest::mouseClick(main->pageButton(to), Qt::LeftButton);
        // Boxes below the chosen page keep their state; it and those above follow it.
        // The keys follow the page: a box beneath it, though shown, takes none.
        QCOMPARE(main->focusWidget(), main->text(to));
        for (int n = 1; n <= 10; ++n) {
            QCOMPARE(main->text(n)->isHidden(), n < to ? n != 1 && n != page : n != to);
            QCOMPARE(main->pageButton(n)->isHidden(), n == to);
            QVERIFY(main->text(n)->isHidden() || (main->text(n)->focusPolicy() == Qt::NoFocus) == (n != to));
        }
        QCOMPARE(p->folder.bytes(ValueFiles::kChange), QByteArray::number(to) + "\r\n");
        QCOMPARE(main->text(to)->toPlainText(), QStringLiteral("page %1").arg(to));
        // Its first fill is its first change: a cancel then leaves it as it is.
        QCOMPARE(p->folder.bytes(ValueFiles::memoBackup(to)), text("page " + QByteArray::number(to)));
        // Back again: the page lies above the boxes of lower pages built after it.
        if (page) {
            QTest::mouseClick(main->pageButton(page), Qt::LeftButton);
            QVERIFY(main->text(page)->isAncestorOf(main->childAt(main->text(page)->geometry().center())));
        }
    }

    // Every minute Main returns to what the files say, and that is no edit;
    // each start-up step arms the tick for just after the next minute.
    void minuteRefreshEditsNothing()
    {
        p->platform.clock = at(6, 9, 5, 30, 500);
        p->folder.plant(ValueFiles::memo(3), text("hello world"));
        QPlainTextEdit *box = start("3\r\n")->text(3);
        p->folder.plant(ValueFiles::memoBackup(3), text("hello"));
        p->folder.plant(ValueFiles::kChange, "\"3\"\r\n"); // as a text value: a write would make it 3 CR LF
        QCOMPARE(main->Label5->text() + ' ' + QString::number(main->Timer1->interval()), QStringLiteral("09:05 29700"));
        QVERIFY(main->Timer2->isActive());
        QVERIFY(box->find(QStringLiteral("llo"))); // selects 2 to 5
        main->move(3, 3);
        const auto everyFile = [this] {
            QByteArrayList all;
            for (const ValueFiles::Entry &entry : ValueFiles::inventory())
                all << entry.path.toUtf8() + ' ' + p->folder.bytes(entry.path);
            return all;
        };
        const QByteArrayList before = everyFile();
        tick(at(6, 9, 6, 0, 200));
        QCOMPARE(main->Label5->text() + ' ' + QString::number(main->Timer1->interval()), QStringLiteral("09:06 60000"));
        QCOMPARE(QPoint(box->textCursor().anchor(), box->textCursor().position()), QPoint(2, 5));
        QCOMPARE(main->pos(), Twips::toPixels(600, 600, 0, 0).topLeft());
        QCOMPARE(everyFile(), before);
        // Another program rewrites the memo in place, the same file at the
        // same size: the next minute shows its text, and still writes nothing.
        QFile other(p->folder.data.absolute(ValueFiles::memo(3)));
        QVERIFY(other.open(QIODevice::ReadWrite) && other.write(text("HELLO WORLD")) == other.size());
        QVERIFY(other.setFileTime(other.fileTime(QFileDevice::FileModificationTime).addSecs(1), QFileDevice::FileModificationTime));
        other.close();
        const QByteArrayList changed = everyFile();
        tick(at(6, 9, 7, 0, 200));
        QCOMPARE(box->toPlainText(), QStringLiteral("HELLO WORLD"));
        QCOMPARE(everyFile(), changed);
    }

    // A file of a box shown in this run that another program makes
    // unreadable leaves the box as it is, the user told once: the next key
    // saves the text on screen, with it as the backup, and a cancel with no
    // backup to read takes nothing back.
    void unreadableFileLeavesTheBox_data()
    {
        QTest::addColumn<QString>("harm");
        QTest::addColumn<QString>("shown");  // after the minute and a cancel
        QTest::addColumn<QString>("reason"); // part of what the user is told
        QTest::newRow("memo: a folder in its place") << "folder" << "hello world" << "フォルダ";
        QTest::newRow("memo: deleted") << "deleted" << "hello world" << "ありません";
        QTest::newRow("memo: beyond what is read") << "huge" << "hello world" << "memo3.txt.damaged";
        QTest::newRow("backup deleted, memo rewritten") << "backup" << "HELLO WORLD" << "memo3X.txt";
    }
    void unreadableFileLeavesTheBox()
    {
        QFETCH(QString, harm);
        QFETCH(QString, shown);
        QFETCH(QString, reason);
        p->platform.clock = at(6, 9, 5, 30, 500);
        p->folder.plant(ValueFiles::memo(3), text("hello world"));
        QPlainTextEdit *box = start("3\r\n")->text(3);
        const QString memo = p->folder.data.absolute(ValueFiles::memo(3));
        p->folder.beforeLooking();
        if (harm == "folder") {
            p->folder.breakFile(ValueFiles::memo(3));
        } else if (harm == "deleted") {
            QVERIFY(QFile::remove(memo));
        } else if (harm == "huge") {
            QFile huge(memo);
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write("\"huge") == 5 && huge.resize(70 * 1024 * 1024));
        } else {
            QVERIFY(QFile::remove(p->folder.data.absolute(ValueFiles::memoBackup(3))));
            p->folder.plant(ValueFiles::memo(3), text("HELLO WORLD"));
            QFile other(memo);
            QVERIFY(other.open(QIODevice::ReadWrite)
                    && other.setFileTime(other.fileTime(QFileDevice::FileModificationTime).addSecs(1), QFileDevice::FileModificationTime));
        }
        tick(at(6, 9, 6, 0, 200));
        QTest::mouseClick(main->CommandX, Qt::LeftButton);
        tick(at(6, 9, 7, 0, 200));
        QCOMPARE(box->toPlainText(), shown);
        const QStringList told = p->messages();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(QStringLiteral("画面の内容はそのまま残します")) && told[0].contains(reason), qPrintable(told[0]));
        if (harm == "folder")
            p->folder.mendFile(ValueFiles::memo(3));
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, QStringLiteral("k"));
        QCOMPARE(files(3), text(shown.toLatin1() + 'k') + '|' + text(shown.toLatin1()));
        QCOMPARE(p->messages().size(), 1);
    }

    void storedGeometry_data()
    {
        QTest::addColumn<QByteArrayList>("stored"); // left, top, width, height
        QTest::addColumn<QRect>("expected");        // pixels
        QTest::newRow("applied") << QByteArrayList{"1500", "750", "7500", "6000"} << Twips::toPixels(1500, 750, 7500, 6000);
        QTest::newRow("on no screen") << QByteArrayList{"300000", "-90000", "7320", "6000"}
                                      << QRect(QGuiApplication::primaryScreen()->availableGeometry().topLeft(),
                                               Twips::toPixels(0, 0, 7320, 6000).size());
        // Damaged values fall back to the first values; a number beyond any
        // screen is held at 400,000 twips.
        QTest::newRow("damaged") << QByteArrayList{"left", "\xFF\xFE", "1e300", "nan"}
                                 << Twips::toPixels(600, 600, 400000, 6000);
    }
    void storedGeometry()
    {
        QFETCH(QByteArrayList, stored);
        QFETCH(QRect, expected);
        p->folder.plantGeometry(stored);
        const QByteArray planted = p->folder.geometryBytes();
        QCOMPARE(start()->geometry(), expected);
        QCOMPARE(p->folder.geometryBytes(), planted); // nothing rewritten
    }

    void layoutFollowsTheClientArea()
    {
        start();
        const QRect buttonBefore = main->pageButton(5)->geometry();
        main->resize(Twips::toPixels(8320), Twips::toPixels(9285));
        QCOMPARE(main->text(4)->geometry(), Twips::toPixels(0, 2100, 8320, 7185));
        QCOMPARE(main->text(11)->geometry(), Twips::toPixels(360, 840, 7870, 1215));
        QCOMPARE(main->pageButton(5)->geometry(), buttonBefore);
        main->resize(Twips::toPixels(300), Twips::toPixels(1500)); // too small for the band: never a negative size
        QCOMPARE(main->text(1)->height() + main->text(11)->width(), 0);
    }

    // A save that fails: the text stays on screen, the user is told once;
    // the next good save stores it all, and when Main goes before that (the
    // quit, the position editor, a log-off) a rescue file keeps it.
    void failedSave_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("mended: the next key saves all") << "mended";
        QTest::newRow("mended, then Main goes: saved where it belongs") << "mended, quit";
        QTest::newRow("Main goes: a rescue file, the user told where") << "quit";
        QTest::newRow("log-off: a rescue file, told at the next start") << "log-off";
    }
    void failedSave()
    {
        QFETCH(QString, then);
        p->folder.plant(ValueFiles::memo(1), text("old"));
        QPlainTextEdit *box = start()->text(1);
        p->folder.breakFile(ValueFiles::memo(1));
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, QStringLiteral("xyz"));
        QCOMPARE(p->messages().size(), 1);
        QVERIFY(p->platform.log.last().contains(QStringLiteral("memo.txt")));
        // Neither the refresh nor showing the page again loads over it.
        main->Main_Timer1_Timer();
        QTest::mouseClick(main->pageButton(2), Qt::LeftButton);
        QTest::mouseClick(main->pageButton(1), Qt::LeftButton);
        QCOMPARE(box->toPlainText(), QStringLiteral("oldxyz"));
        if (then.startsWith(QStringLiteral("mended")))
            p->folder.mendFile(ValueFiles::memo(1));
        if (then == QStringLiteral("mended")) {
            QTest::keyClicks(box, QStringLiteral("!"));
            QCOMPARE(p->folder.bytes(ValueFiles::memo(1)), text("oldxyz!"));
            p->folder.breakFile(ValueFiles::memo(1)); // a new failure after a good save is news again
            QTest::keyClicks(box, QStringLiteral("?"));
            QCOMPARE(p->messages().size(), 2);
            return;
        }
        if (then == QStringLiteral("log-off"))
            emit p->platform.sessionEnding();
        else
            QVERIFY(p->windows.unload(WindowId::Main));
        const QString userData = p->platform.userDataFolder();
        const QStringList rescued = QDir(userData).entryList({QStringLiteral("memo *.txt")}, QDir::Files);
        if (then == QStringLiteral("mended, quit")) {
            QCOMPARE(p->folder.bytes(ValueFiles::memo(1)) + rescued.join(' ').toUtf8(), text("oldxyz"));
            return;
        }
        QCOMPARE(rescued, QStringList{QStringLiteral("memo 2026-12-06 07-04-59.txt")});
        QFile file(userData + u'/' + rescued.first());
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == "oldxyz");
        const QString told = then == QStringLiteral("log-off") ? Rescue::takeNotice(userData) : p->platform.log.last();
        QVERIFY2(told.contains(QDir::toNativeSeparators(file.fileName())), qPrintable(told));
        QCOMPARE(p->messages().size(), then == QStringLiteral("log-off") ? 1 : 2);
    }

    // Main and every window with a guard refuse the user's close; the
    // program's goes through.
    void closeGuard_data()
    {
        QTest::addColumn<WindowId>("window");
        QTest::addColumn<bool>("checkpoint"); // the desktop saved the session first, without logging off
        QTest::addColumn<bool>("spontaneous");
        QTest::addColumn<bool>("closes");
        QTest::newRow("user's close key") << WindowId::Main << false << true << false;
        QTest::newRow("program's close") << WindowId::Main << false << false << true;
        QTest::newRow("user's close key after a checkpoint") << WindowId::Main << true << true << false;
        for (const auto &[name, id] : {std::pair{"start-up memo editor", WindowId::OpenTimer}, {"timer memo editor 1", WindowId::Timermemo1},
                                       {"timer memo editor 2", WindowId::Timermemo2}, {"timer memo editor 3", WindowId::Timermemo3},
                                       {"position editor", WindowId::Mainmove}})
            QTest::addRow("user's close of the %s", name) << id << false << true << false;
    }
    void closeGuard()
    {
        QFETCH(WindowId, window);
        QFETCH(bool, checkpoint);
        QFETCH(bool, spontaneous);
        QFETCH(bool, closes);
        QPointer<Form> form = window == WindowId::Main ? start() : p->windows.show(window);
        if (window == WindowId::Main) {
            form->showMinimized(); // out of sight, Main comes back at the tray's press
            emit p->platform.trayLeftPressed();
            QVERIFY(!form->isMinimized());
        }
        if (checkpoint)
            emit p->platform.sessionSaving();
        // The window manager's close is spontaneous; sendEvent would clear that.
        QCloseEvent event;
        if (spontaneous)
            QSpontaneKeyEvent::setSpontaneous(&event);
        QCoreApplication::instance()->notify(form, &event);
        QCOMPARE(p->windows.isLoaded(window), !closes);
        QCOMPARE(p->platform.trayPresent(), window == WindowId::Main && !closes);
        QVERIFY(p->platform.log.filter(QRegularExpression("^(quit|message)")).isEmpty()); // refused or not, nothing said
        if (closes)
            delete form; // the event went past the widget's own close
    }

    void timer2LoadsTheTwoWindowsHiddenOnce()
    {
        QList<WindowId> made;
        for (const WindowId id : {WindowId::Timermemo, WindowId::OpenTimer})
            p->windows.setFactory(id, [&made, id] { made << id; return new Form; });
        start();
        main->Main_Timer2_Timer();
        main->Main_Timer2_Timer();
        QVERIFY(p->windows.unload(WindowId::Timermemo)); // closed by its own button
        main->Main_Timer2_Timer();
        QCOMPARE(made, (QList<WindowId>{WindowId::Timermemo, WindowId::OpenTimer, WindowId::Timermemo}));
        QVERIFY(!p->windows.isVisible(WindowId::Timermemo) && !p->windows.isVisible(WindowId::OpenTimer));
    }

    // The due time and the switch are read at every minute: a memo switched
    // off after its time was learnt is left out.
    void dueTimeMatching_data()
    {
        QTest::addColumn<QByteArray>("flag");
        QTest::addColumn<QString>("time"); // hour:minute as stored
        QTest::addColumn<QTime>("clock");
        QTest::addColumn<bool>("due");
        const QTime t0705(7, 5, 0, 200);
        QTest::newRow("07:05 at 07:05") << QByteArray("1") << "07:05" << t0705 << true;
        QTest::newRow("00:00 at midnight") << QByteArray("1") << "00:00" << QTime(0, 0, 0, 200) << true;
        QTest::newRow("single-digit hour") << QByteArray("1") << "7:05" << t0705 << false;
        QTest::newRow("full-width digits") << QByteArray("1") << "０７:05" << t0705 << false;
        QTest::newRow("hour 24") << QByteArray("1") << "24:00" << QTime(0, 0, 0, 200) << false;
        for (const char *flag : {"0", "01", ""})
            QTest::addRow("switched off: '%s'", flag) << QByteArray(flag) << "07:05" << t0705 << false;
    }
    void dueTimeMatching()
    {
        QFETCH(QByteArray, flag);
        QFETCH(QString, time);
        QFETCH(QTime, clock);
        QFETCH(bool, due);
        memo(2, QStringLiteral("薬"), time);
        const QDateTime now(QDate(2026, 12, 6), clock);
        startAt(now.addSecs(-120));
        tick(now.addSecs(-60));
        p->folder.plant(ValueFiles::timerEnabled(2), flag + "\r\n");
        tick(now);
        QCOMPARE(shown(), due ? QStringList{QStringLiteral("薬")} : QStringList{});
    }

    void everyMinuteIsCheckedExactlyOnce_data()
    {
        QTest::addColumn<QList<QDateTime>>("times"); // Main's start, then the ticks
        QTest::addColumn<QList<int>>("steps");       // seconds the clock is set by just before each tick
        QTest::addColumn<QStringList>("expected");   // memo 1 is due at 07:05, memo 2 at 07:06
        QTest::addColumn<QStringList>("zone");       // TZ, and the two due times there
        const QDateTime start = at(6, 7, 4, 59);
        const auto row = [](const char *name, const QList<QDateTime> &times, const QStringList &expected,
                            const QList<int> &steps = {}, const QStringList &zone = {}) {
            QTest::newRow(name) << times << steps << expected << zone;
        };
        row("ticks on time", {start, at(6, 7, 5, 0, 200), at(6, 7, 6, 0, 200)}, {"m1", "m2"});
        row("one late tick takes the passed minutes in order", {start, at(6, 7, 7, 30)}, {"m1", "m2"});
        row("an early tick finds the minute not yet come", {start, at(6, 7, 4, 59, 990), at(6, 7, 5, 0, 10)}, {"m1"});
        row("two ticks in one minute", {start, at(6, 7, 5, 0, 200), at(6, 7, 5, 59, 900)}, {"m1"});
        row("sleep of three days shows each memo once", {start, at(9, 7, 10)}, {"m1", "m2"});
        // More than a day passed over: only its last day is looked at.
        row("sleep of a day and an hour", {start, at(6, 7, 5, 0, 200), at(7, 8, 0)}, {"m1", "m1", "m2"});
        row("the minute Main starts in is not checked", {at(6, 7, 5, 30), at(6, 7, 6, 0, 200)}, {"m2"});
        // The clock set right while the program runs.
        row("clock set back eight hours: on by the new clock at once",
            {at(6, 15, 4, 59), at(6, 15, 5, 0, 200), at(6, 7, 6, 0, 200)}, {"m2"}, {0, -8 * 3600});
        row("clock set forward eight hours: the minutes skipped are not replayed",
            {at(6, 7, 0, 59), at(6, 7, 1, 0, 200), at(6, 15, 2, 0, 200)}, {}, {0, 8 * 3600});
        row("clock set back over a shown minute shows it again",
            {start, at(6, 7, 5, 0, 200), at(6, 7, 3, 10), at(6, 7, 5, 0, 200), at(6, 7, 6, 0, 200)},
            {"m1", "m1", "m2"}, {0, -120});
        row("a correction of seconds checks no minute twice", {start, at(6, 7, 5, 0, 200), at(6, 7, 6, 0, 200)},
            {"m1", "m2"}, {0, -3});
        row("clock set back two days starts afresh",
            {start, at(6, 7, 5, 0, 200), at(4, 7, 5, 30), at(4, 7, 6, 0, 200)}, {"m1", "m2"}, {0, -2 * 86400});
        // Summer time is no step of the clock: each minute that comes is checked, once each time it comes.
        const QStringList berlin{"Europe/Berlin", "02:30", "01:45"}, sleepy{"Europe/Berlin", "00:45", "02:05"};
        row("summer time ends while running: 02:30 comes twice, 01:45 not again",
            {utc(239, 0, 29, 59), utc(239, 0, 30), utc(239, 1, 0), utc(239, 1, 30)}, {"m1", "m1"}, {}, berlin);
        row("summer time ends during a sleep from 01:30 to 02:10: only 02:05 came, twice",
            {utc(238, 23, 29, 59), utc(238, 23, 30), utc(239, 1, 10)}, {"m2", "m2"}, {}, sleepy);
        row("summer time begins during a sleep from 01:30 to 03:40: 01:45 came, 02:30 never",
            {utc(29, 0, 29, 59), utc(29, 0, 30), utc(29, 1, 40)}, {"m1"}, {}, {"Europe/Berlin", "01:45", "02:30"});
        row("clock set back eight hours during a sleep: on from the new time at once",
            {utc(100, 12, 0, 30), utc(100, 12, 1), utc(100, 6, 1)}, {"m1"}, {0, -8 * 3600},
            {"America/New_York", "00:30", "07:30"});
    }
    void everyMinuteIsCheckedExactlyOnce()
    {
        QFETCH(QList<QDateTime>, times);
        QFETCH(QList<int>, steps);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, zone);
        if (const char *why = unsupported(Need::TimeZones); why && !zone.isEmpty())
            QSKIP(why);
        const QByteArray machineZone = qgetenv("TZ");
        if (!zone.isEmpty()) {
            qputenv("TZ", zone.first().toLatin1());
            tzset();
        }
        memo(1, "m1", zone.value(1, "07:05"));
        memo(2, "m2", zone.value(2, "07:06"));
        startAt(times.takeFirst().toLocalTime());
        for (int i = 0; i < times.size(); ++i) {
            p->platform.stepClock(steps.value(i));
            tick(times[i].toLocalTime());
        }
        if (!zone.isEmpty()) {
            machineZone.isNull() ? qunsetenv("TZ") : qputenv("TZ", machineZone);
            tzset();
        }
        QCOMPARE(shown(), expected);
    }

    // The memos due come in order, each followed by its beep, then the
    // start-up step runs; a tick that comes while a box is open does not
    // start, and Main gone while one is open ends the tick there.
    void dueMemosWhileABoxWaits_data()
    {
        QTest::addColumn<bool>("mainGoes"); // else the next tick comes
        QTest::addColumn<QStringList>("log");
        const QString first = QStringLiteral("announce:一\n二行目");
        QTest::newRow("a tick comes") << false << QStringList{first, "beep", "announce:", "beep", QStringLiteral("announce:三"),
                                                              "beep", QStringLiteral("tray-add:ポトラ")};
        QTest::newRow("Main goes") << true << QStringList{first, "tray-delete", "beep"};
    }
    void dueMemosWhileABoxWaits()
    {
        QFETCH(bool, mainGoes);
        QFETCH(QStringList, log);
        memo(3, QStringLiteral("三"), "07:06");
        memo(1, QStringLiteral("一\r\n二行目"), "07:05");
        memo(2, QString(), "07:05");
        startAt(at(6, 7, 4, 59));
        int boxes = 0;
        p->platform.whileBoxOpen = [&](const QString &) {
            if (++boxes == 1) // the first box stays open into 07:07
                mainGoes ? void(p->windows.unload(WindowId::Main)) : tick(at(6, 7, 7, 10));
        };
        tick(at(6, 7, 5, 0, 200));
        QCOMPARE(p->platform.log, log);
        if (!mainGoes)
            QCOMPARE(main->Label5->text() + ' ' + QString::number(main->Timer1->interval()), QStringLiteral("07:07 50200"));
    }
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"
