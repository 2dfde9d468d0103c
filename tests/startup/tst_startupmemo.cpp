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
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty: no box, no beep") << QByteArray("\"\"\r\n") << QStringList();
        QTest::newRow("spaces are a memo") << QByteArray("\"  \"\r\n") << QStringList{"announce:  ", "beep"};
        QTest::newRow("two lines") << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("会議\r\n資料")))
                                   << QStringList{QStringLiteral("announce:会議\n資料"), "beep"};
    }
    void announcedOncePerRunBeforeMain()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QStringList, expected);
        TestProgram p;
        p.folder.plant(ValueFiles::kStartupMemo, stored);
        p.platform.whileBoxOpen = [&](const QString &) {
            // Main is filled, with its tray icon, but not yet shown or ticking.
            auto *main = qobject_cast<Main *>(p.windows.get(WindowId::Main));
            QVERIFY(main && !main->isVisible() && !main->Timer1->isActive() && p.platform.trayPresent());
        };
        auto *main = qobject_cast<Main *>(p.windows.show(WindowId::Main));
        const QRegularExpression shown("^(announce:|beep)");
        QCOMPARE(p.platform.log.filter(shown), expected);
        // Armed after the box, for just after the next minute of the clock (07:04:59).
        QVERIFY(main->isVisible() && main->Timer1->interval() == 1200);
        // Neither the minute's start-up step nor a new Main (as after the
        // position editor) shows it again.
        main->Main_Timer1_Timer();
        QVERIFY(p.windows.unload(WindowId::Main));
        QVERIFY(p.windows.show(WindowId::Main) != main);
        QCOMPARE(p.platform.log.filter(shown), expected);
    }

    void editor_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("two lines kept as CR LF") << QByteArray("\"a\r\nb\"\r\n") << "a\nb" << "!" << true
                                                 << QByteArray("\"a\r\nb!\"\r\n");
        QTest::newRow("Japanese in Shift-JIS") << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("朝")))
                                               << QStringLiteral("朝") << QStringLiteral("会") << true
                                               << TestFolder::textBytes(TestFolder::sjis(QStringLiteral("朝会")));
        QTest::newRow("cancel writes nothing") << QByteArray("\"old\"\r\n") << "old" << "new" << false
                                               << QByteArray("\"old\"\r\n");
    }
    void editor()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QByteArray, after);
        TestProgram p;
        p.folder.plant(ValueFiles::kStartupMemo, before);
        auto *editor = qobject_cast<OpenTimer *>(p.windows.show(WindowId::OpenTimer));
        QCOMPARE(editor->Text1->toPlainText(), shown);
        editor->Text1->moveCursor(QTextCursor::End);
        editor->Text1->insertPlainText(typed); // as an input method commits it
        QTest::mouseClick(ok ? editor->Command1 : editor->Command2, Qt::LeftButton);
        QCOMPARE(p.folder.bytes(ValueFiles::kStartupMemo), after);
        QVERIFY(!p.windows.isLoaded(WindowId::OpenTimer));
        QVERIFY(p.platform.entries("announce:").isEmpty()); // it comes up at the next start
    }
};

QTEST_MAIN(TestStartupMemo)
#include "tst_startupmemo.moc"
