#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/TimerMemoEditor.h"
#include "timer/Timermemo.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TimermemoTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestProgram> program;

    void flags(const QByteArray &one, const QByteArray &two, const QByteArray &three)
    {
        program->folder.plant(ValueFiles::timerEnabled(1), one);
        program->folder.plant(ValueFiles::timerEnabled(2), two);
        program->folder.plant(ValueFiles::timerEnabled(3), three);
    }
    Timermemo *open() { return static_cast<Timermemo *>(program->windows.show(Windows::Id::Timermemo)); }
    QByteArray flag(int n) const { return program->folder.bytes(ValueFiles::timerEnabled(n)); }

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
        flags(bytes, bytes, bytes);
        Timermemo *overview = open();
        for (QCheckBox *box : {overview->Check1, overview->Check2, overview->Check3})
            QCOMPARE(int(box->checkState()), state);
    }

    void buttonsFitTheMemoOnOneLine()
    {
        const QString longText = QStringLiteral("とても長いメモ").repeated(30);
        program->values.writeText(ValueFiles::timerText(1), QStringLiteral("一行目\r\n二行目"));
        program->values.writeText(ValueFiles::timerText(2), longText);
        program->values.writeText(ValueFiles::timerText(3), QStringLiteral("R&D"));
        Timermemo *overview = open();
        QCOMPARE(overview->Command1->text(), QStringLiteral("一行目 二行目"));
        const QString fitted = overview->Command2->text();
        QVERIFY(fitted.endsWith(QChar(0x2026)));
        QVERIFY(overview->Command2->fontMetrics().horizontalAdvance(fitted) < overview->Command2->width());
        QCOMPARE(overview->Command3->text(), QStringLiteral("R&&D"));
    }

    void okSavesTheFlagsLeavingAGreyedOneAlone()
    {
        flags("1\r\n", "0\r\n", "2\r\n");
        Timermemo *overview = open();
        QTest::mouseClick(overview->Check1, Qt::LeftButton);
        QTest::mouseClick(overview->Check2, Qt::LeftButton);
        QTest::mouseClick(overview->Command6, Qt::LeftButton);
        QCOMPARE(flag(1), QByteArray("0\r\n"));
        QCOMPARE(flag(2), QByteArray("1\r\n"));
        QCOMPARE(flag(3), QByteArray("2\r\n"));
        QVERIFY(!program->windows.isLoaded(Windows::Id::Timermemo));
    }

    void clickOnAGreyedBoxTurnsItOnThenOff()
    {
        flags("0\r\n", "0\r\n", "2\r\n");
        Timermemo *overview = open();
        QTest::mouseClick(overview->Check3, Qt::LeftButton);
        QCOMPARE(overview->Check3->checkState(), Qt::Checked);
        QTest::mouseClick(overview->Check3, Qt::LeftButton);
        QCOMPARE(overview->Check3->checkState(), Qt::Unchecked);
        QTest::mouseClick(overview->Check3, Qt::LeftButton);
        QCOMPARE(overview->Check3->checkState(), Qt::Checked);
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
        flags("1\r\n", "1\r\n", "1\r\n");
        Timermemo *overview = open();
        QTest::mouseClick(overview->Check2, Qt::LeftButton);

        const Windows::Id editors[3] = {Windows::Id::Timermemo1, Windows::Id::Timermemo2, Windows::Id::Timermemo3};
        QByteArray seenWhileOpen;
        bool modal = false;
        // Runs inside the editor's modal wait; cancel ends it.
        QTimer::singleShot(0, this, [&] {
            auto *editor = static_cast<TimerMemoEditor *>(program->windows.get(editors[memo - 1]));
            QVERIFY(editor);
            modal = editor->isModal();
            seenWhileOpen = flag(1) + flag(2) + flag(3);
            QTest::mouseClick(editor->cancelButton, Qt::LeftButton);
        });
        QPushButton *buttons[3] = {overview->Command1, overview->Command2, overview->Command3};
        QTest::mouseClick(buttons[memo - 1], Qt::LeftButton);

        QVERIFY(modal);
        QCOMPARE(seenWhileOpen, QByteArray("1\r\n0\r\n1\r\n"));
        // Cancel leaves the overview as it was.
        QCOMPARE(program->windows.get(Windows::Id::Timermemo), overview);
    }

    void editorOkReopensTheOverviewWithTheNewText()
    {
        QPointer<Timermemo> overview = open();
        QTimer::singleShot(0, this, [&] {
            auto *editor = static_cast<TimerMemoEditor *>(program->windows.get(Windows::Id::Timermemo3));
            QVERIFY(editor);
            editor->Text1->setPlainText(QStringLiteral("新しいメモ"));
            QTest::mouseClick(editor->okButton, Qt::LeftButton);
        });
        QTest::mouseClick(overview->Command3, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QVERIFY(!overview);
        auto *fresh = static_cast<Timermemo *>(program->windows.get(Windows::Id::Timermemo));
        QVERIFY(fresh);
        QVERIFY(fresh->isVisible());
        QCOMPARE(fresh->Command3->text(), QStringLiteral("新しいメモ"));
    }

    void closingTheWindowSavesNothing()
    {
        flags("1\r\n", "1\r\n", "1\r\n");
        Timermemo *overview = open();
        QTest::mouseClick(overview->Check1, Qt::LeftButton);
        QVERIFY(overview->close());
        QVERIFY(!program->windows.isLoaded(Windows::Id::Timermemo));
        QCOMPARE(flag(1), QByteArray("1\r\n"));
    }

    void failedFlagWriteKeepsTheOverviewOpen()
    {
        flags("0\r\n", "0\r\n", "0\r\n");
        program->folder.breakFile(ValueFiles::timerEnabled(2));
        Timermemo *overview = open();
        QTest::mouseClick(overview->Check1, Qt::LeftButton);
        QTest::mouseClick(overview->Check3, Qt::LeftButton);
        QTest::mouseClick(overview->Command6, Qt::LeftButton);
        QVERIFY(program->windows.isLoaded(Windows::Id::Timermemo));
        QCOMPARE(flag(1), QByteArray("1\r\n"));
        QCOMPARE(flag(3), QByteArray("1\r\n"));
        QTRY_COMPARE(program->platform.entries(QStringLiteral("message:")).size(), 1);
    }
};

QTEST_MAIN(TimermemoTest)
#include "tst_timermemo.moc"
