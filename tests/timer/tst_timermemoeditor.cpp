#include "kit/UpDown.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/TimerMemoEditor.h"
#include "timer/Timermemo.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

class TimerMemoEditorTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestProgram> program;

    static WindowId editorId(int memo)
    {
        return memo == 1 ? WindowId::Timermemo1 : memo == 2 ? WindowId::Timermemo2 : WindowId::Timermemo3;
    }
    TimerMemoEditor *open(int memo)
    {
        return static_cast<TimerMemoEditor *>(program->windows.show(editorId(memo)));
    }
    QByteArray files(int memo) const
    {
        return program->folder.bytes(ValueFiles::timerText(memo)) + program->folder.bytes(ValueFiles::timerHour(memo))
            + program->folder.bytes(ValueFiles::timerMinute(memo));
    }

private slots:
    void init() { program = std::make_unique<TestProgram>(); }
    void cleanup() { program.reset(); }

    void cancelThenOk_data()
    {
        QTest::addColumn<int>("memo");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("okName");
        QTest::addColumn<QString>("cancelName");
        QTest::newRow("memo 1") << 1 << QStringLiteral("タイマーメモ(メモ1)") << "Command2" << "Command1";
        QTest::newRow("memo 2") << 2 << QStringLiteral("タイマーメモ(メモ2)") << "Command1" << "Command2";
        QTest::newRow("memo 3") << 3 << QStringLiteral("タイマーメモ（メモ3）") << "Command1" << "Command2";
    }
    void cancelThenOk()
    {
        QFETCH(int, memo);
        QFETCH(QString, caption);
        QFETCH(QString, okName);
        QFETCH(QString, cancelName);
        program->values.writeText(ValueFiles::timerText(memo), QStringLiteral("古い"));
        const QByteArray before = files(memo);
        const auto edit = [&] {
            TimerMemoEditor *editor = open(memo);
            editor->Text1->setPlainText(QStringLiteral("お茶\n休憩"));
            editor->Text2->clear();
            QTest::keyClicks(editor->Text2, "15");
            editor->Text3->clear();
            QTest::keyClicks(editor->Text3, "3");
            return editor;
        };

        QTest::mouseClick(edit()->findChild<QPushButton *>(cancelName), Qt::LeftButton);
        QVERIFY(!program->windows.isLoaded(editorId(memo)));
        QCOMPARE(files(memo), before);

        Form *oldOverview = program->windows.load(WindowId::Timermemo);
        TimerMemoEditor *editor = edit();
        QCOMPARE(editor->windowTitle(), caption);
        QTest::mouseClick(editor->findChild<QPushButton *>(okName), Qt::LeftButton);
        QCOMPARE(files(memo), TestFolder::textBytes(TestFolder::sjis(QStringLiteral("お茶\r\n休憩")))
                                  + "\"15\"\r\n\"03\"\r\n");
        QVERIFY(!program->windows.isLoaded(editorId(memo)));
        // The overview comes back anew, showing the new text.
        auto *overview = static_cast<Timermemo *>(program->windows.get(WindowId::Timermemo));
        QVERIFY(overview && overview != oldOverview && overview->isVisible());
        MemoButton *buttons[3] = {overview->Command1, overview->Command2, overview->Command3};
        QCOMPARE(buttons[memo - 1]->memo(), QStringLiteral("お茶\r\n休憩"));
    }

    void storedTimeIsNormalised()
    {
        // A single digit from the file is shown and saved with its zero.
        program->folder.plant(ValueFiles::timerHour(2), "\"5\"\r\n");
        program->folder.plant(ValueFiles::timerMinute(2), "7\r\n");
        TimerMemoEditor *editor = open(2);
        QCOMPARE(editor->Text2->text() + editor->Text3->text(), QStringLiteral("0507"));
        QTest::mouseClick(editor->okButton, Qt::LeftButton);
        QCOMPARE(files(2).mid(4), QByteArray("\"05\"\r\n\"07\"\r\n"));

        // An empty time is saved empty.
        editor = open(3);
        editor->Text2->clear();
        editor->Text3->clear();
        QTest::mouseClick(editor->okButton, Qt::LeftButton);
        QCOMPARE(files(3).mid(4), QByteArray("\"\"\r\n\"\"\r\n"));
    }

    void singleDigitsGetALeadingZero_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("7 into empty") << "" << "7" << "07";
        QTest::newRow("0 into empty") << "" << "0" << "00";
        QTest::newRow("1 and 5 into empty") << "" << "15" << "15";
        QTest::newRow("4 after a padded 2") << "2" << "4" << "24";
        QTest::newRow("three digits typed") << "" << "123" << "123";
        QTest::newRow("digit after two digits") << "12" << "3" << "123";
        QTest::newRow("letter after a padded digit") << "" << "1a" << "01a";
        QTest::newRow("full-width digit") << "" << QStringLiteral("７") << QStringLiteral("７");
        QTest::newRow("letter") << "" << "a" << "a";
    }
    void singleDigitsGetALeadingZero()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        for (int memo = 1; memo <= 3; ++memo) {
            TimerMemoEditor *editor = open(memo);
            for (QLineEdit *box : {editor->Text2, editor->Text3}) {
                box->setText(before);
                box->end(false);
                // The test tool types only ASCII.
                if (typed.at(0).unicode() < 0x80)
                    QTest::keyClicks(box, typed);
                else
                    box->insert(typed);
                QCOMPARE(box->text(), after);
            }
            program->windows.unload(editorId(memo));
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
        QTest::newRow("minute down past 0") << false << "00" << "d" << QStringList{"60"};
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
        TimerMemoEditor *editor = open(1);
        QLineEdit *box = hour ? editor->Text2 : editor->Text3;
        UpDown *spinner = hour ? editor->UpDown1 : editor->UpDown2;
        box->setText(start);
        QStringList shown;
        for (const QChar step : steps) {
            if (step == QLatin1Char('u') || step == QLatin1Char('d'))
                QTest::mouseClick(step == QLatin1Char('u') ? spinner->upButton() : spinner->downButton(),
                                  Qt::LeftButton);
            else
                QTest::keyClick(box, step == QLatin1Char('U') ? Qt::Key_Up : Qt::Key_Down);
            shown << box->text();
        }
        QCOMPARE(shown, seen);
    }

    void failedWriteKeepsTheEditorOpen()
    {
        program->folder.breakFile(ValueFiles::timerHour(1));
        TimerMemoEditor *editor = open(1);
        editor->Text2->setText(QStringLiteral("08"));
        QTest::mouseClick(editor->okButton, Qt::LeftButton);
        QVERIFY(program->windows.isLoaded(WindowId::Timermemo1));
        QCOMPARE(editor->Text2->text(), QStringLiteral("08"));
        // Text and minute were still written, and the user is told once.
        QCOMPARE(program->folder.bytes(ValueFiles::timerMinute(1)), QByteArray("\"00\"\r\n"));
        QTRY_COMPARE(program->platform.entries(QStringLiteral("message:")).size(), 1);
        QVERIFY(program->platform.entries(QStringLiteral("message:")).first().contains(QStringLiteral("memo1-2.txt")));
    }
};

QTEST_MAIN(TimerMemoEditorTest)
#include "tst_timermemoeditor.moc"
