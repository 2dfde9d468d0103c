// The timer memo overview and the three editors, over a temporary data folder.
#include "kit/UpDown.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/TimerMemoEditor.h"
#include "timer/Timermemo.h"

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

    static WindowId editorId(int memo)
    {
        return memo == 1 ? WindowId::Timermemo1 : memo == 2 ? WindowId::Timermemo2 : WindowId::Timermemo3;
    }
    Timermemo *overview(const QByteArray &one, const QByteArray &two, const QByteArray &three)
    {
        for (const auto &[n, flag] : {std::pair{1, one}, {2, two}, {3, three}})
            p->folder.plant(ValueFiles::timerEnabled(n), flag + "\r\n");
        return static_cast<Timermemo *>(p->windows.show(WindowId::Timermemo));
    }
    QByteArray flags() const
    {
        QByteArray bytes;
        for (int n = 1; n <= 3; ++n)
            bytes += p->folder.bytes(ValueFiles::timerEnabled(n));
        return bytes;
    }
    QByteArray files(int memo) const
    {
        return p->folder.bytes(ValueFiles::timerText(memo)) + p->folder.bytes(ValueFiles::timerHour(memo))
            + p->folder.bytes(ValueFiles::timerMinute(memo));
    }
    TimerMemoEditor *editor(int memo) { return static_cast<TimerMemoEditor *>(p->windows.show(editorId(memo))); }

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

    void okSavesTheFlagsTheCloseButtonNothing()
    {
        Timermemo *window = overview("1", "0", "2");
        QCOMPARE(QList<Qt::CheckState>({window->Check1->checkState(), window->Check2->checkState(),
                                        window->Check3->checkState()}),
                 QList<Qt::CheckState>({Qt::Checked, Qt::Unchecked, Qt::PartiallyChecked}));
        QTest::mouseClick(window->Check1, Qt::LeftButton);
        QTest::mouseClick(window->Check2, Qt::LeftButton);
        QTest::mouseClick(window->Command6, Qt::LeftButton);
        QCOMPARE(flags(), QByteArray("0\r\n1\r\n2\r\n")); // a greyed box left alone stays greyed
        QVERIFY(!p->windows.isLoaded(WindowId::Timermemo));

        // A click on a greyed box turns it on, then off, then on.
        window = overview("0", "0", "2");
        QList<Qt::CheckState> states;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(window->Check3, Qt::LeftButton);
            states << window->Check3->checkState();
        }
        QCOMPARE(states, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
        QVERIFY(window->close());
        QCOMPARE(flags(), QByteArray("0\r\n0\r\n2\r\n"));
    }

    void memoButtonSavesTheFlagsThenOpensItsEditorModal()
    {
        Timermemo *window = overview("1", "1", "1");
        QTest::mouseClick(window->Check2, Qt::LeftButton);
        QByteArray seenWhileOpen;
        bool modal = false;
        QTimer::singleShot(0, this, [&] { // inside the editor's modal wait; cancel ends it
            auto *opened = static_cast<TimerMemoEditor *>(p->windows.load(WindowId::Timermemo3));
            modal = opened->isModal();
            seenWhileOpen = flags();
            QTest::mouseClick(opened->cancelButton, Qt::LeftButton);
        });
        QTest::mouseClick(window->Command3, Qt::LeftButton);
        QVERIFY(modal);
        QCOMPARE(seenWhileOpen, QByteArray("1\r\n0\r\n1\r\n"));
        QCOMPARE(p->windows.load(WindowId::Timermemo), window); // cancel leaves the overview as it was
    }

    // The editors differ in which button is OK and which is cancel.
    void cancelThenOk_data()
    {
        QTest::addColumn<int>("memo");
        QTest::addColumn<QString>("okName");
        QTest::addColumn<QString>("cancelName");
        QTest::newRow("memo 1") << 1 << "Command2" << "Command1";
        QTest::newRow("memo 2") << 2 << "Command1" << "Command2";
        QTest::newRow("memo 3") << 3 << "Command1" << "Command2";
    }
    void cancelThenOk()
    {
        QFETCH(int, memo);
        QFETCH(QString, okName);
        QFETCH(QString, cancelName);
        p->values.writeText(ValueFiles::timerText(memo), QStringLiteral("古い"));
        const QByteArray before = files(memo);
        const auto edit = [&](const QString &button) {
            TimerMemoEditor *window = editor(memo);
            window->Text1->setPlainText(QStringLiteral("お茶\n休憩"));
            window->Text2->setText("15");
            window->Text3->clear();
            QTest::keyClicks(window->Text3, "3");
            QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
        };
        edit(cancelName);
        QCOMPARE(files(memo), before);
        Form *oldOverview = p->windows.load(WindowId::Timermemo);
        edit(okName);
        QCOMPARE(files(memo), TestFolder::textBytes(TestFolder::sjis(QStringLiteral("お茶\r\n休憩"))) + "\"15\"\r\n\"03\"\r\n");
        QVERIFY(!p->windows.isLoaded(editorId(memo)));
        // The overview comes back anew, showing the new text.
        auto *window = static_cast<Timermemo *>(p->windows.load(WindowId::Timermemo));
        QVERIFY(window != oldOverview && window->isVisible());
        QCOMPARE((QList<MemoButton *>{window->Command1, window->Command2, window->Command3})[memo - 1]->memo(),
                 QStringLiteral("お茶\r\n休憩"));
    }

    void storedTimeIsNormalised()
    {
        // A single digit from the file is shown and saved with its zero; an
        // empty time is saved empty.
        p->folder.plant(ValueFiles::timerHour(2), "\"5\"\r\n");
        p->folder.plant(ValueFiles::timerMinute(2), "7\r\n");
        TimerMemoEditor *window = editor(2);
        QCOMPARE(window->Text2->text() + window->Text3->text(), QStringLiteral("0507"));
        QTest::mouseClick(window->okButton, Qt::LeftButton);
        QCOMPARE(files(2).mid(4), QByteArray("\"05\"\r\n\"07\"\r\n"));
        window = editor(3);
        window->Text2->clear();
        window->Text3->clear();
        QTest::mouseClick(window->okButton, Qt::LeftButton);
        QCOMPARE(files(3).mid(4), QByteArray("\"\"\r\n\"\"\r\n"));
    }

    void singleDigitsGetALeadingZero_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("7 into empty") << "" << "7" << "07";
        QTest::newRow("1 and 5 into empty") << "" << "15" << "15";
        QTest::newRow("4 after a padded 2") << "2" << "4" << "24";
        QTest::newRow("three digits typed") << "" << "123" << "123";
        QTest::newRow("letter after a padded digit") << "" << "1a" << "01a";
        QTest::newRow("full-width digit") << "" << QStringLiteral("７") << QStringLiteral("７");
    }
    void singleDigitsGetALeadingZero()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        TimerMemoEditor *window = editor(1);
        for (QLineEdit *box : {window->Text2, window->Text3}) {
            box->setText(before);
            box->end(false);
            if (typed.at(0).unicode() < 0x80) // the test tool types only ASCII
                QTest::keyClicks(box, typed);
            else
                box->insert(typed);
            QCOMPARE(box->text(), after);
        }
    }

    void spinnersStepAndWrap_data()
    {
        QTest::addColumn<bool>("hour");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("steps"); // u up, d down, U/D with the arrow keys in the box
        QTest::addColumn<QStringList>("seen");
        QTest::newRow("hour up past 24") << true << "23" << "uu" << QStringList{"24", "00"};
        QTest::newRow("hour down past 0") << true << "01" << "dd" << QStringList{"00", "24"};
        QTest::newRow("minute up past 60") << false << "59" << "uu" << QStringList{"60", "00"};
        QTest::newRow("arrow keys in the box") << false << "08" << "UUD" << QStringList{"09", "10", "09"};
        QTest::newRow("from a number out of range") << true << "30" << "d" << QStringList{"23"};
        QTest::newRow("from text that is no number") << true << "ab" << "u" << QStringList{"01"};
    }
    void spinnersStepAndWrap()
    {
        QFETCH(bool, hour);
        QFETCH(QString, start);
        QFETCH(QString, steps);
        QFETCH(QStringList, seen);
        TimerMemoEditor *window = editor(1);
        QLineEdit *box = hour ? window->Text2 : window->Text3;
        UpDown *spinner = hour ? window->UpDown1 : window->UpDown2;
        box->setText(start);
        QStringList shown;
        for (const QChar step : steps) {
            if (step == u'u' || step == u'd')
                QTest::mouseClick(step == u'u' ? spinner->upButton() : spinner->downButton(), Qt::LeftButton);
            else
                QTest::keyClick(box, step == u'U' ? Qt::Key_Up : Qt::Key_Down);
            shown << box->text();
        }
        QCOMPARE(shown, seen);
    }
};

QTEST_MAIN(TestTimer)
#include "tst_timer.moc"
