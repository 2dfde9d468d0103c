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

using Id = WindowId;

class StartupMemoTest : public QObject
{
    Q_OBJECT
private slots:
    void announcedOncePerRunBeforeMain_data();
    void announcedOncePerRunBeforeMain();
    void editor_data();
    void editor();
    void editorKeepsTextWhenSavingFails();
};

void StartupMemoTest::announcedOncePerRunBeforeMain_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty: no box, no beep") << QByteArray("\"\"\r\n") << QStringList();
    QTest::newRow("spaces are a memo") << QByteArray("\"  \"\r\n") << QStringList{"announce:  ", "beep"};
    QTest::newRow("a line break is a memo") << QByteArray("\"\r\n\"\r\n") << QStringList{"announce:\n", "beep"};
    QTest::newRow("two lines") << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("会議\r\n資料")))
                               << QStringList{QStringLiteral("announce:会議\n資料"), "beep"};
}

void StartupMemoTest::announcedOncePerRunBeforeMain()
{
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, expected);
    TestProgram program;
    program.folder.plant(ValueFiles::kStartupMemo, stored);
    program.platform.whileBoxOpen = [&](const QString &) {
        // Main is filled, with its tray icon, but not yet shown or ticking.
        auto *main = qobject_cast<Main *>(program.windows.get(Id::Main));
        QVERIFY(main && !main->isVisible());
        QVERIFY(!main->Timer1->isActive() && !main->Timer2->isActive());
        QVERIFY(program.platform.trayPresent());
    };

    auto *main = qobject_cast<Main *>(program.windows.show(Id::Main));
    QCOMPARE(program.platform.log.filter(QRegularExpression("^(announce:|beep)")), expected);
    QVERIFY(main->isVisible());
    // Armed after the box, for just after the next minute of the clock (07:04:59).
    QCOMPARE(main->Timer1->interval(), 1200);
    // Brought up either way, so the next start-up step leaves it alone.
    QVERIFY(program.windows.get(Id::AOpen)->formVisible());

    // Neither the minute's start-up step nor a new Main (as after the
    // position editor) shows it again.
    main->Main_Timer1_Timer();
    QVERIFY(program.windows.unload(Id::Main));
    QVERIFY(program.windows.show(Id::Main) != main);
    QCOMPARE(program.platform.log.filter(QRegularExpression("^(announce:|beep)")), expected);
}

void StartupMemoTest::editor_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("empty, then a word") << QByteArray("\"\"\r\n") << QString() << "abc" << true
                                        << QByteArray("\"abc\"\r\n");
    QTest::newRow("two lines kept as CR LF")
        << QByteArray("\"a\r\nb\"\r\n") << "a\nb" << QString() << true << QByteArray("\"a\r\nb\"\r\n");
    QTest::newRow("Japanese in Shift-JIS")
        << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("朝"))) << QStringLiteral("朝") << QStringLiteral("会")
        << true << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("朝会")));
    QTest::newRow("cancel writes nothing") << QByteArray("\"old\"\r\n") << "old" << "new" << false
                                           << QByteArray("\"old\"\r\n");
}

void StartupMemoTest::editor()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(QByteArray, after);
    TestProgram program;
    program.folder.plant(ValueFiles::kStartupMemo, before);

    auto *editor = qobject_cast<OpenTimer *>(program.windows.show(Id::OpenTimer));
    QCOMPARE(editor->windowTitle(), QStringLiteral("起動時メモ"));
    QCOMPARE(editor->Text1->toPlainText(), shown);
    editor->Text1->moveCursor(QTextCursor::End);
    // As an input method commits it.
    editor->Text1->insertPlainText(typed);
    QTest::mouseClick(ok ? editor->Command1 : editor->Command2, Qt::LeftButton);

    QCOMPARE(program.folder.bytes(ValueFiles::kStartupMemo), after);
    QVERIFY(!program.windows.isLoaded(Id::OpenTimer));
    // Saving shows nothing; the memo comes up at the next start.
    QVERIFY(program.platform.entries("announce:").isEmpty());
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
