// The windows besides Main and the position editor, over a temporary data
// folder: the timer memo overview and its three editors, the start-up memo
// and its editor, the options window, and the help viewer as the system's
// own platform shows it.
#include "kit/FlagBox.h"
#include "kit/UpDown.h"
#include "main/Main.h"
#include "options/Option1.h"
#include "platform/HelpViewer.h"
#include "platform/Platform.h"
#include "platform/SystemStart.h"
#include "startup/OpenTimer.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/TimerMemoEditor.h"
#include "timer/Timermemo.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {
Option1 *openOptions(TestProgram &p, const QByteArray &flag)
{
    p.folder.plant(ValueFiles::kStartupFlag, flag);
    return qobject_cast<Option1 *>(p.windows.show(WindowId::Option1));
}

QList<HelpViewer *> viewers()
{
    QList<HelpViewer *> found;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *viewer = qobject_cast<HelpViewer *>(window))
            found << viewer;
    }
    return found;
}
} // namespace

class TestOtherWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestProgram> p;

    static WindowId editorId(int memo) { return WindowId(int(WindowId::Timermemo1) + memo - 1); }
    Timermemo *overview(const QByteArray &one, const QByteArray &two, const QByteArray &three)
    {
        for (const auto &[n, flag] : {std::pair{1, one}, {2, two}, {3, three}})
            p->folder.plant(ValueFiles::timerEnabled(n), flag + "\r\n");
        return static_cast<Timermemo *>(p->windows.show(WindowId::Timermemo));
    }
    QByteArray flags() const
    {
        return p->folder.bytes(ValueFiles::timerEnabled(1)) + p->folder.bytes(ValueFiles::timerEnabled(2))
            + p->folder.bytes(ValueFiles::timerEnabled(3));
    }
    MemoButton *memoButton(int memo)
    {
        return p->windows.load(WindowId::Timermemo)->findChild<MemoButton *>(QStringLiteral("Command%1").arg(memo));
    }
    QByteArray files(int memo) const
    {
        return p->folder.bytes(ValueFiles::timerText(memo)) + p->folder.bytes(ValueFiles::timerHour(memo))
            + p->folder.bytes(ValueFiles::timerMinute(memo));
    }

private slots:
    void init() { p = std::make_unique<TestProgram>(); }
    void cleanup() { p.reset(); }

    void buttonsFitTheMemoOnOneLine()
    {
        QVERIFY(p->values.writeText(ValueFiles::timerText(1), QStringLiteral("一行目\r\n二行目")).ok());
        QVERIFY(p->values.writeText(ValueFiles::timerText(2), QStringLiteral("とても長いメモ").repeated(30)).ok());
        QVERIFY(p->values.writeText(ValueFiles::timerText(3), QStringLiteral("R&D")).ok());
        Timermemo *window = overview("0", "0", "0");
        QCOMPARE(window->Command1->text(), QStringLiteral("一行目 二行目"));
        const QString fitted = window->Command2->text();
        QVERIFY(fitted.endsWith(QChar(0x2026)));
        QVERIFY(window->Command2->fontMetrics().horizontalAdvance(fitted) < window->Command2->width());
        QCOMPARE(window->Command3->text(), QStringLiteral("R&&D")); // the memo's own, not a shortcut mark
    }

    // A click on a greyed box turns it on, then off, then on; the close button saves nothing.
    // A box shows what the minute's check does: only "1" is on, a hand-edited "01" off.
    void greyedBoxAndTheCloseButton()
    {
        Timermemo *window = overview("01", "1", "2");
        QCOMPARE(QList<int>({window->Check1->checkState(), window->Check2->checkState()}), QList<int>({Qt::Unchecked, Qt::Checked}));
        QString states;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(window->Check3, Qt::LeftButton);
            states += QString::number(window->Check3->checkState());
        }
        QCOMPARE(states, QStringLiteral("202"));
        QVERIFY(window->close());
        QCOMPARE(flags(), QByteArray("01\r\n1\r\n2\r\n"));
    }

    // Each editor has its own buttons and handlers; each starts from a stored 5:07.
    void editorFromTheOverview_data()
    {
        QTest::addColumn<int>("memo");
        QTest::addColumn<QString>("hour"); // typed: a single digit gets its zero, the next takes its place
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("memo 1, a third digit and a letter") << 1 << "123" << "1a" << QByteArray("\"123\"\r\n\"01a\"\r\n");
        QTest::newRow("memo 2") << 2 << "9" << "45" << QByteArray("\"09\"\r\n\"45\"\r\n");
        QTest::newRow("memo 3, hour emptied") << 3 << "" << "3" << QByteArray("\"\"\r\n\"03\"\r\n");
    }
    void editorFromTheOverview()
    {
        QFETCH(int, memo);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QByteArray, saved);
        p->folder.plant(ValueFiles::timerHour(memo), "\"5\"\r\n");
        p->folder.plant(ValueFiles::timerMinute(memo), "7\r\n");
        const QByteArray before = files(memo);
        Timermemo *window = overview("1", "0", "2");
        QTest::mouseClick(window->Check1, Qt::LeftButton);
        QTest::mouseClick(window->Check2, Qt::LeftButton);
        QByteArray flagsWhileOpen;
        const auto edit = [&](bool ok) { // through the memo's button; returns the time shown
            QString shown;
            QTimer::singleShot(0, this, [&] { // inside the editor's modal wait
                auto *opened = qobject_cast<TimerMemoEditor *>(QApplication::activeModalWidget());
                if (!opened) // not modal: end the wait; the time shown stays empty
                    return p->windows.unloadAll();
                shown = opened == p->windows.get(editorId(memo)) ? opened->Text2->text() + opened->Text3->text() : "";
                flagsWhileOpen = flags();
                opened->Text1->setPlainText(QStringLiteral("お茶\n休憩"));
                for (const auto &[box, keys] : {std::pair{opened->Text2, hour}, {opened->Text3, minute}}) {
                    box->clear();
                    QTest::keyClicks(box, keys);
                }
                QTest::mouseClick(ok ? opened->okButton : opened->cancelButton, Qt::LeftButton);
            });
            QTest::mouseClick(memoButton(memo), Qt::LeftButton);
            return shown;
        };
        QCOMPARE(edit(false), QStringLiteral("0507"));
        // Saved before the editor opens, as OK saves them: a greyed box left alone stays greyed.
        QCOMPARE(flagsWhileOpen, QByteArray("0\r\n1\r\n2\r\n"));
        QCOMPARE(files(memo), before);
        QCOMPARE(p->windows.load(WindowId::Timermemo), window); // cancel leaves the overview as it was
        QCOMPARE(edit(true), QStringLiteral("0507"));
        QCOMPARE(files(memo), TestFolder::textBytes(TestFolder::sjis(QStringLiteral("お茶\r\n休憩"))) + saved);
        // The overview comes back anew, showing the new text.
        QVERIFY(memoButton(memo)->window() != window && memoButton(memo)->isVisible());
        QCOMPARE(memoButton(memo)->memo(), QStringLiteral("お茶\r\n休憩"));
    }

    void spinnersAndPastedDigits_data()
    {
        QTest::addColumn<bool>("hour");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys"); // ^ v: the spinner's buttons; + -: the arrow keys; others put in
        QTest::addColumn<QString>("seen"); // the box after each key
        QTest::newRow("full-width digit") << true << "" << QStringLiteral("７") << QStringLiteral("７");
        QTest::newRow("hour wraps past 24 and 0") << true << "23" << "^^vv" << "24 00 24 23";
        QTest::newRow("minute wraps past 60, arrow keys") << false << "59" << "^^-+" << "60 00 60 00";
        QTest::newRow("from a number out of range") << true << "30" << "v" << "23";
        QTest::newRow("from text that is no number") << true << "ab" << "^" << "01";
    }
    void spinnersAndPastedDigits()
    {
        QFETCH(bool, hour);
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, seen);
        auto *window = static_cast<TimerMemoEditor *>(p->windows.show(WindowId::Timermemo1));
        QLineEdit *box = hour ? window->Text2 : window->Text3;
        UpDown *spinner = hour ? window->UpDown1 : window->UpDown2;
        box->setText(start);
        box->end(false);
        QStringList shown;
        for (const QChar key : keys) {
            if (key == u'^' || key == u'v')
                QTest::mouseClick(key == u'^' ? spinner->upButton() : spinner->downButton(), Qt::LeftButton);
            else if (key == u'+' || key == u'-')
                QTest::keyClick(box, key == u'+' ? Qt::Key_Up : Qt::Key_Down);
            else // the test tool types only ASCII
                box->insert(key);
            shown << box->text();
        }
        QCOMPARE(shown.join(u' '), seen);
    }

    void ok_data()
    {
        QTest::addColumn<QByteArray>("flagBefore");
        QTest::addColumn<int>("clicks");            // on the check box before OK
        QTest::addColumn<Removal>("answer");        // Failed: the registration or removal fails
        QTest::addColumn<QByteArray>("flagAfter");
        QTest::addColumn<QStringList>("requests");  // start-up requests and messages, in order
        // The running program is registered with its own data folder (@).
        const QString reg = QStringLiteral("startup-register:/opt/potora/potora|@|@/set/icon.png");
        const QByteArray on("1\r\n"), off("0\r\n"), greyed("2\r\n");
        QTest::newRow("tick and register") << off << 1 << Removal::Removed << on
                                           << QStringList{reg, "message:スタートアップに登録しました"};
        QTest::newRow("registration fails") << off << 1 << Removal::Failed << on
                                            << QStringList{reg, "message:スタートアップに登録できませんでした\n理由: disk full"};
        QTest::newRow("clear and remove") << on << 1 << Removal::Removed << off
                                          << QStringList{"startup-remove", "message:スタートアップから削除しました"};
        QTest::newRow("nothing to remove") << off << 0 << Removal::NotRegistered << off
                                           << QStringList{"startup-remove", "message:スタートアップにはもともと登録されていません"};
        QTest::newRow("removal fails") << on << 1 << Removal::Failed << off
                                       << QStringList{"startup-remove", "message:スタートアップから削除できませんでした\n理由: busy"};
        QTest::newRow("greyed does nothing") << greyed << 0 << Removal::Removed << greyed << QStringList{};
    }
    void ok()
    {
        QFETCH(QByteArray, flagBefore);
        QFETCH(int, clicks);
        QFETCH(Removal, answer);
        QFETCH(QByteArray, flagAfter);
        QFETCH(QStringList, requests);
        TestProgram &p = *this->p;
        p.platform.startupRegisterError = answer == Removal::Failed ? QStringLiteral("disk full") : QString();
        p.platform.startupRemoval = {Platform::Removal(answer), answer == Removal::Failed ? QStringLiteral("busy") : QString()};
        QByteArray flagDuringChange = flagAfter;
        p.platform.whileStartupChanges = [&] { flagDuringChange = p.folder.bytes(ValueFiles::kStartupFlag); };
        Option1 *options = openOptions(p, flagBefore);
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(options->Check1, Qt::LeftButton);
        QTest::mouseClick(options->Command2, Qt::LeftButton);
        QCOMPARE(p.platform.log.filter(QRegularExpression("^(startup-|message:)")),
                 requests.replaceInStrings(QStringLiteral("@"), p.folder.data.root()));
        // The flag is written first: it keeps the user's choice even when the registration fails.
        QCOMPARE(p.folder.bytes(ValueFiles::kStartupFlag) + flagDuringChange, flagAfter + flagAfter);
        QCOMPARE(p.windows.isLoaded(WindowId::Option1), requests.isEmpty()); // only greyed stays open
    }

    // Help opens the data folder's page and leaves the window open; cancel and the close box write nothing.
    void helpCancelAndTheCloseBox_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("キャンセル") << false;
        QTest::newRow("the close box") << true;
    }
    void helpCancelAndTheCloseBox()
    {
        QFETCH(bool, closeBox);
        TestProgram &p = *this->p;
        Option1 *options = openOptions(p, "1\r\n");
        QTest::mouseClick(options->Check1, Qt::LeftButton);
        QTest::mouseClick(options->Command4, Qt::LeftButton);
        QVERIFY(p.windows.isLoaded(WindowId::Option1));
        closeBox ? void(options->close()) : QTest::mouseClick(options->Command3, Qt::LeftButton);
        QVERIFY(!p.windows.isLoaded(WindowId::Option1));
        QCOMPARE(p.folder.bytes(ValueFiles::kStartupFlag), QByteArray("1\r\n"));
        const QString help = "help:" + QUrl::fromLocalFile(p.folder.data.absolute("help.html")).toString();
        QCOMPARE(p.platform.log.filter(QRegularExpression("^(startup-|message:|help:)")), QStringList{help});
    }

    void announcedOncePerRunBeforeMain_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown"); // in the box and in the editor
        QTest::addColumn<QByteArray>("saved"); // after "!" is added in the editor
        QTest::newRow("empty: no box, no beep") << QByteArray("\"\"\r\n") << QString() << QByteArray("\"!\"\r\n");
        QTest::newRow("spaces are a memo") << QByteArray("\"  \"\r\n") << "  " << QByteArray("\"  !\"\r\n");
        QTest::newRow("two lines, kept as CR LF")
            << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("会議\r\n資料"))) << QStringLiteral("会議\n資料")
            << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("会議\r\n資料!")));
    }
    void announcedOncePerRunBeforeMain()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        QFETCH(QByteArray, saved);
        TestProgram &p = *this->p;
        p.folder.plant(ValueFiles::kStartupMemo, stored);
        p.platform.whileBoxOpen = [&](const QString &) {
            // Main is filled, with its tray icon, but not yet shown or ticking.
            auto *main = qobject_cast<Main *>(p.windows.get(WindowId::Main));
            QVERIFY(main && !main->isVisible() && !main->Timer1->isActive() && p.platform.trayPresent());
        };
        Main *main = p.showMain();
        const QRegularExpression announced("^(announce:|beep)");
        const QStringList expected = shown.isEmpty() ? QStringList() : QStringList{"announce:" + shown, "beep"};
        QCOMPARE(p.platform.log.filter(announced), expected);
        QVERIFY(main->isVisible() && main->Timer1->isActive()); // armed after the box
        // Neither the minute's start-up step, nor a new Main (as after the
        // position editor), nor the editor shows it again.
        main->Main_Timer1_Timer();
        QVERIFY(p.windows.unload(WindowId::Main));
        QVERIFY(p.windows.show(WindowId::Main) != main);
        // The editor: cancel writes nothing, OK saves what is shown.
        for (bool ok : {false, true}) {
            auto *editor = qobject_cast<OpenTimer *>(p.windows.show(WindowId::OpenTimer));
            QCOMPARE(editor->Text1->toPlainText(), shown);
            editor->Text1->moveCursor(QTextCursor::End);
            editor->Text1->insertPlainText("!"); // as an input method commits it
            QTest::mouseClick(ok ? editor->Command1 : editor->Command2, Qt::LeftButton);
            QVERIFY(!p.windows.isLoaded(WindowId::OpenTimer));
        }
        QCOMPARE(p.folder.bytes(ValueFiles::kStartupMemo), saved);
        QCOMPARE(p.platform.log.filter(announced), expected);
    }

    // SIGTERM or the session's end while the box is up, before the run's
    // event loop: the run ends there, with no second Main and no bell.
    void endWhileTheBoxIsUp()
    {
        TestProgram &p = *this->p;
        p.folder.plant(ValueFiles::kStartupMemo, "\"朝会\"\r\n");
        p.platform.whileBoxOpen = [&](const QString &) { emit p.platform.sessionEnding(); };
        QVERIFY(!p.program.start());
        QCOMPARE(p.platform.log, (QStringList{QStringLiteral("tray-add:ポトラ"), QStringLiteral("announce:朝会"),
                                              "tray-delete", "quit"}));
        QVERIFY(!p.windows.isLoaded(WindowId::Main));
        QVERIFY(!p.windows.load(WindowId::Timermemo)); // nor anything else, later
    }

    // One viewer, brought up again and reading the page anew; a new one once
    // it is closed; quitting with one open still ends the run.
    void oneHelpViewerUntilClosed()
    {
        SystemStart system(QStringLiteral("ポトラ"));
        Platform &platform = system.platform();
        QTemporaryDir dir;
        const auto show = [&](const QByteArray &body) {
            QFile page(dir.filePath(QStringLiteral("help.html")));
            QVERIFY(page.open(QIODevice::WriteOnly) && page.write(body) == body.size());
            page.close();
            platform.showHelp(QUrl::fromLocalFile(page.fileName()));
        };
        show("first");
        QCOMPARE(viewers().size(), 1);
        HelpViewer *first = viewers().first();
        QVERIFY(first->isVisible());
        first->showMinimized();
        show("second");
        QCOMPARE(viewers(), QList<HelpViewer *>{first});
        QVERIFY(!first->isMinimized() && first->browser()->toPlainText() == QStringLiteral("second"));
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(viewers().isEmpty());
        show("third");
        QCOMPARE(viewers().size(), 1);
        QTimer::singleShot(0, &platform, [&platform] { platform.quitProgram(); });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(3); }); // a quit that does not end the loop
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(TestOtherWindows)
#include "tst_other_windows.moc"
