// The timer memo overview and the three editors, over a temporary data folder.
#include "kit/UpDown.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/TimerMemoEditor.h"
#include "timer/Timermemo.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TestTimer : public QObject
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
        p->values.writeText(ValueFiles::timerText(1), QStringLiteral("一行目\r\n二行目"));
        p->values.writeText(ValueFiles::timerText(2), QStringLiteral("とても長いメモ").repeated(30));
        p->values.writeText(ValueFiles::timerText(3), QStringLiteral("R&D"));
        Timermemo *window = overview("0", "0", "0");
        QCOMPARE(window->Command1->text(), QStringLiteral("一行目 二行目"));
        const QString fitted = window->Command2->text();
        QVERIFY(fitted.endsWith(QChar(0x2026)));
        QVERIFY(window->Command2->fontMetrics().horizontalAdvance(fitted) < window->Command2->width());
        QCOMPARE(window->Command3->text(), QStringLiteral("R&&D")); // the memo's own, not a shortcut mark
    }

    // A click on a greyed box turns it on, then off, then on; the close button saves nothing.
    void greyedBoxAndTheCloseButton()
    {
        Timermemo *window = overview("0", "0", "2");
        QString states;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(window->Check3, Qt::LeftButton);
            states += QString::number(window->Check3->checkState());
        }
        QCOMPARE(states, QStringLiteral("202"));
        QVERIFY(window->close());
        QCOMPARE(flags(), QByteArray("0\r\n0\r\n2\r\n"));
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
};

QTEST_MAIN(TestTimer)
#include "tst_timer.moc"
