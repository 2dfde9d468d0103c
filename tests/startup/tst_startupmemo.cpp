#include "support/TestFolder.h"

#include "main/Main.h"
#include "startup/AOpen.h"
#include "startup/OpenTimer.h"
#include "store/ValueFiles.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using Id = Windows::Id;

class StartupMemoTest : public QObject
{
    Q_OBJECT
private slots:
    void announcedAtStart_data();
    void announcedAtStart();
    void comesBeforeMainAndItsTimers();
    void oncePerRun();
    void editorLoadsAndSaves_data();
    void editorLoadsAndSaves();
    void editorCancelWritesNothing();
    void editorKeepsTextWhenSavingFails();
};

void StartupMemoTest::announcedAtStart_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty: no box, no beep") << QByteArray("\"\"\r\n") << QStringList();
    QTest::newRow("spaces are a memo") << QByteArray("\"  \"\r\n") << QStringList{"announce:  ", "beep"};
    QTest::newRow("a line break is a memo") << QByteArray("\"\r\n\"\r\n") << QStringList{"announce:\n", "beep"};
    QTest::newRow("two lines") << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("会議\r\n資料")))
                               << QStringList{QStringLiteral("announce:会議\n資料"), "beep"};
}

void StartupMemoTest::announcedAtStart()
{
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, expected);
    TestProgram program;
    program.folder.plant(ValueFiles::kStartupMemo, stored);

    program.windows.show(Id::Main);

    QStringList boxes = program.platform.entries("announce:") + program.platform.entries("beep");
    QCOMPARE(boxes, expected);
    // Brought up either way, so the next start-up step leaves it alone.
    QVERIFY(program.windows.isLoaded(Id::AOpen));
    QVERIFY(program.windows.get(Id::AOpen)->formVisible());
}

void StartupMemoTest::comesBeforeMainAndItsTimers()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kStartupMemo, TestFolder::textBytes("memo"));
    int boxes = 0;
    program.platform.whileBoxOpen = [&](const QString &text) {
        ++boxes;
        QCOMPARE(text, QStringLiteral("memo"));
        auto *main = qobject_cast<Main *>(program.windows.get(Id::Main));
        QVERIFY(main);
        QVERIFY(!main->isVisible());
        QVERIFY(!main->Timer1->isActive());
        QVERIFY(!main->Timer2->isActive());
        // The memo pages are already filled by then.
        QVERIFY(program.platform.trayPresent());
    };

    program.windows.show(Id::Main);

    QCOMPARE(boxes, 1);
    auto *main = qobject_cast<Main *>(program.windows.get(Id::Main));
    QVERIFY(main->isVisible());
    QVERIFY(main->Timer1->isActive());
    // Armed after the box, for just after the next minute of the clock (07:04:59).
    QCOMPARE(main->Timer1->interval(), 1200);
    // The box comes before the beep, the beep before anything else.
    QCOMPARE(program.platform.log.indexOf("beep"), program.platform.log.indexOf("announce:memo") + 1);
}

void StartupMemoTest::oncePerRun()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kStartupMemo, TestFolder::textBytes("memo"));

    program.windows.show(Id::Main);
    auto *main = qobject_cast<Main *>(program.windows.get(Id::Main));
    main->Main_Timer1_Timer();
    main->Main_Timer1_Timer();
    // Main created anew, as after the position and size editor.
    QVERIFY(program.windows.unload(Id::Main));
    QVERIFY(!program.windows.isLoaded(Id::Main));
    program.windows.show(Id::Main);
    QVERIFY(program.windows.get(Id::Main) != main);

    QCOMPARE(program.platform.entries("announce:").size(), 1);
    QCOMPARE(program.platform.entries("beep").size(), 1);
}

void StartupMemoTest::editorLoadsAndSaves_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("empty, then a word") << QByteArray("\"\"\r\n") << QString() << "abc"
                                        << QByteArray("\"abc\"\r\n");
    QTest::newRow("two lines kept as CR LF")
        << QByteArray("\"a\r\nb\"\r\n") << "a\nb" << QString() << QByteArray("\"a\r\nb\"\r\n");
    QTest::newRow("Japanese in Shift-JIS")
        << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("朝"))) << QStringLiteral("朝") << QStringLiteral("会")
        << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("朝会")));
}

void StartupMemoTest::editorLoadsAndSaves()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QByteArray, after);
    TestProgram program;
    program.folder.plant(ValueFiles::kStartupMemo, before);

    auto *editor = qobject_cast<OpenTimer *>(program.windows.show(Id::OpenTimer));
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QStringLiteral("起動時メモ"));
    QCOMPARE(editor->Text1->toPlainText(), shown);
    editor->Text1->moveCursor(QTextCursor::End);
    // As an input method commits it.
    editor->Text1->insertPlainText(typed);
    QTest::mouseClick(editor->Command1, Qt::LeftButton);

    QCOMPARE(program.folder.bytes(ValueFiles::kStartupMemo), after);
    QVERIFY(!program.windows.isLoaded(Id::OpenTimer));
    // Saving shows nothing; the memo comes up at the next start.
    QVERIFY(program.platform.entries("announce:").isEmpty());
}

void StartupMemoTest::editorCancelWritesNothing()
{
    TestProgram program;
    program.folder.plant(ValueFiles::kStartupMemo, "\"old\"\r\n");
    auto *editor = qobject_cast<OpenTimer *>(program.windows.show(Id::OpenTimer));
    QTest::keyClicks(editor->Text1, "new");

    QTest::mouseClick(editor->Command2, Qt::LeftButton);

    QCOMPARE(program.folder.bytes(ValueFiles::kStartupMemo), QByteArray("\"old\"\r\n"));
    QVERIFY(!program.windows.isLoaded(Id::OpenTimer));
}

void StartupMemoTest::editorKeepsTextWhenSavingFails()
{
    TestProgram program;
    auto *editor = qobject_cast<OpenTimer *>(program.windows.show(Id::OpenTimer));
    QTest::keyClicks(editor->Text1, "keep me");
    program.folder.breakFile(ValueFiles::kStartupMemo);

    QTest::mouseClick(editor->Command1, Qt::LeftButton);
    QApplication::processEvents();

    QVERIFY(program.windows.isLoaded(Id::OpenTimer));
    QCOMPARE(editor->Text1->toPlainText(), QStringLiteral("keep me"));
    QCOMPARE(program.platform.entries("message:").size(), 1);

    program.folder.mendFile(ValueFiles::kStartupMemo);
    QTest::mouseClick(editor->Command1, Qt::LeftButton);
    QCOMPARE(program.folder.bytes(ValueFiles::kStartupMemo), QByteArray("\"keep me\"\r\n"));
    QVERIFY(!program.windows.isLoaded(Id::OpenTimer));
}

QTEST_MAIN(StartupMemoTest)
#include "tst_startupmemo.moc"
