#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/TimerMemoEditor.h"
#include "timer/Timermemo.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

class TimermemoTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestProgram> program;

    Timermemo *open(const QByteArray &one, const QByteArray &two, const QByteArray &three)
    {
        program->folder.plant(ValueFiles::timerEnabled(1), one);
        program->folder.plant(ValueFiles::timerEnabled(2), two);
        program->folder.plant(ValueFiles::timerEnabled(3), three);
        return static_cast<Timermemo *>(program->windows.show(WindowId::Timermemo));
    }
    QByteArray flags() const
    {
        return program->folder.bytes(ValueFiles::timerEnabled(1)) + program->folder.bytes(ValueFiles::timerEnabled(2))
            + program->folder.bytes(ValueFiles::timerEnabled(3));
    }

private slots:
    void init() { program = std::make_unique<TestProgram>(); }
    void cleanup() { program.reset(); }

    void boxesShowTheFlagFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("state");
        QTest::newRow("0") << QByteArray("0\r\n") << int(Qt::Unchecked);
        QTest::newRow("1") << QByteArray("1\r\n") << int(Qt::Checked);
        QTest::newRow("2 greyed") << QByteArray("2\r\n") << int(Qt::PartiallyChecked);
        QTest::newRow("01") << QByteArray("01\r\n") << int(Qt::Checked);
        QTest::newRow("damaged") << QByteArray("abc\r\n") << int(Qt::Unchecked);
        QTest::newRow("empty file") << QByteArray() << int(Qt::Unchecked);
    }
    void boxesShowTheFlagFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, state);
        Timermemo *overview = open(bytes, bytes, bytes);
        for (QCheckBox *box : {overview->Check1, overview->Check2, overview->Check3})
            QCOMPARE(int(box->checkState()), state);
    }

    void buttonsFitTheMemoOnOneLine()
    {
        program->values.writeText(ValueFiles::timerText(1), QStringLiteral("一行目\r\n二行目"));
        program->values.writeText(ValueFiles::timerText(2), QStringLiteral("とても長いメモ").repeated(30));
        program->values.writeText(ValueFiles::timerText(3), QStringLiteral("R&D"));
        Timermemo *overview = open("0\r\n", "0\r\n", "0\r\n");
        QCOMPARE(overview->Command1->text(), QStringLiteral("一行目 二行目"));
        const QString fitted = overview->Command2->text();
        QVERIFY(fitted.endsWith(QChar(0x2026)));
        QVERIFY(overview->Command2->fontMetrics().horizontalAdvance(fitted) < overview->Command2->width());
        QCOMPARE(overview->Command3->text(), QStringLiteral("R&&D"));
    }

    void okSavesTheFlagsTheCloseButtonNothing()
    {
        Timermemo *overview = open("1\r\n", "0\r\n", "2\r\n");
        QTest::mouseClick(overview->Check1, Qt::LeftButton);
        QTest::mouseClick(overview->Check2, Qt::LeftButton);
        QTest::mouseClick(overview->Command6, Qt::LeftButton);
        // A greyed box left alone stays greyed.
        QCOMPARE(flags(), QByteArray("0\r\n1\r\n2\r\n"));
        QVERIFY(!program->windows.isLoaded(WindowId::Timermemo));

        // A click on a greyed box turns it on, then off, then on.
        overview = open("0\r\n", "0\r\n", "2\r\n");
        QList<Qt::CheckState> states;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(overview->Check3, Qt::LeftButton);
            states << overview->Check3->checkState();
        }
        QCOMPARE(states, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
        QVERIFY(overview->close());
        QVERIFY(!program->windows.isLoaded(WindowId::Timermemo));
        QCOMPARE(flags(), QByteArray("0\r\n0\r\n2\r\n"));
    }

    void memoButtonSavesAllFlagsBeforeItsEditorOpens_data()
    {
        QTest::addColumn<int>("memo");
        QTest::newRow("memo 1") << 1;
        QTest::newRow("memo 2") << 2;
        QTest::newRow("memo 3") << 3;
    }
    void memoButtonSavesAllFlagsBeforeItsEditorOpens()
    {
        QFETCH(int, memo);
        Timermemo *overview = open("1\r\n", "1\r\n", "1\r\n");
        QTest::mouseClick(overview->Check2, Qt::LeftButton);

        const WindowId editors[3] = {WindowId::Timermemo1, WindowId::Timermemo2, WindowId::Timermemo3};
        QByteArray seenWhileOpen;
        bool modal = false;
        // Runs inside the editor's modal wait; cancel ends it.
        QTimer::singleShot(0, this, [&] {
            auto *editor = static_cast<TimerMemoEditor *>(program->windows.get(editors[memo - 1]));
            QVERIFY(editor);
            modal = editor->isModal();
            seenWhileOpen = flags();
            QTest::mouseClick(editor->cancelButton, Qt::LeftButton);
        });
        QPushButton *buttons[3] = {overview->Command1, overview->Command2, overview->Command3};
        QTest::mouseClick(buttons[memo - 1], Qt::LeftButton);

        QVERIFY(modal);
        QCOMPARE(seenWhileOpen, QByteArray("1\r\n0\r\n1\r\n"));
        // Cancel leaves the overview as it was.
        QCOMPARE(program->windows.get(WindowId::Timermemo), overview);
    }

    void failedFlagWriteKeepsTheOverviewOpen()
    {
        Timermemo *overview = open("0\r\n", "0\r\n", "0\r\n");
        program->folder.breakFile(ValueFiles::timerEnabled(2));
        QTest::mouseClick(overview->Check1, Qt::LeftButton);
        QTest::mouseClick(overview->Check3, Qt::LeftButton);
        QTest::mouseClick(overview->Command6, Qt::LeftButton);
        QVERIFY(program->windows.isLoaded(WindowId::Timermemo));
        QCOMPARE(program->folder.bytes(ValueFiles::timerEnabled(1)) + program->folder.bytes(ValueFiles::timerEnabled(3)),
                 QByteArray("1\r\n1\r\n"));
        QTRY_COMPARE(program->platform.entries(QStringLiteral("message:")).size(), 1);
    }
};

QTEST_MAIN(TimermemoTest)
#include "tst_timermemo.moc"
