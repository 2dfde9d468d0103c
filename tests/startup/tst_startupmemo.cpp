// The start-up memo: shown once per run before Main, and its editor.
#include "main/Main.h"
#include "startup/OpenTimer.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestStartupMemo : public QObject
{
    Q_OBJECT
private slots:
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
        TestProgram p;
        p.folder.plant(ValueFiles::kStartupMemo, stored);
        p.platform.whileBoxOpen = [&](const QString &) {
            // Main is filled, with its tray icon, but not yet shown or ticking.
            auto *main = qobject_cast<Main *>(p.windows.get(WindowId::Main));
            QVERIFY(main && !main->isVisible() && !main->Timer1->isActive() && p.platform.trayPresent());
        };
        auto *main = qobject_cast<Main *>(p.windows.show(WindowId::Main));
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
        TestProgram p;
        p.folder.plant(ValueFiles::kStartupMemo, "\"朝会\"\r\n");
        p.platform.whileBoxOpen = [&](const QString &) { emit p.platform.sessionEnding(); };
        QVERIFY(!p.program.start());
        QCOMPARE(p.platform.log, (QStringList{QStringLiteral("tray-add:ポトラ"), QStringLiteral("announce:朝会"),
                                              "tray-delete", "quit"}));
        QVERIFY(!p.windows.isLoaded(WindowId::Main));
        QVERIFY(!p.windows.load(WindowId::Timermemo)); // nor anything else, later
    }
};

QTEST_MAIN(TestStartupMemo)
#include "tst_startupmemo.moc"
