// The program as a whole over hand-edited, damaged and unwritable data
// folders: it shows what it can, says what it could not read or write, loses
// nothing typed, and quits cleanly.
#include "geometry/Mainmove.h"
#include "main/Main.h"
#include "options/Option1.h"
#include "startup/OpenTimer.h"
#include "store/StoredText.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"
#include "timer/TimerMemoEditor.h"
#include "timer/Timermemo.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

QStringList messages(TestProgram &p)
{
    QCoreApplication::processEvents();
    return p.platform.entries(QStringLiteral("message:"));
}

Main *start(TestProgram &p) { return static_cast<Main *>(p.windows.show(WindowId::Main)); }

// A window whose OK writes a file: what the user changes, and what is saved.
struct Editing {
    const char *name;
    WindowId window;
    QString file;
    std::function<QPushButton *(Form *)> edit; // changes something, returns OK
    std::function<QString(Form *)> shown;
    QByteArray saved;
};

const Editing kEditings[] = {
    {"timer memo overview", WindowId::Timermemo, ValueFiles::timerEnabled(2),
     [](Form *f) { auto *w = static_cast<Timermemo *>(f); QTest::mouseClick(w->Check2, Qt::LeftButton); return w->Command6; },
     [](Form *f) { return QString::number(static_cast<Timermemo *>(f)->Check2->checkState()); }, "1\r\n"},
    {"timer memo editor", WindowId::Timermemo1, ValueFiles::timerHour(1),
     [](Form *f) { auto *w = static_cast<TimerMemoEditor *>(f); w->Text2->setText("08"); return w->okButton; },
     [](Form *f) { return static_cast<TimerMemoEditor *>(f)->Text2->text(); }, "\"08\"\r\n"},
    {"start-up memo editor", WindowId::OpenTimer, ValueFiles::kStartupMemo,
     [](Form *f) { auto *w = static_cast<OpenTimer *>(f); w->Text1->setPlainText("keep me"); return w->Command1; },
     [](Form *f) { return static_cast<OpenTimer *>(f)->Text1->toPlainText(); }, "\"keep me\"\r\n"},
    {"position editor", WindowId::Mainmove, ValueFiles::kTop,
     [](Form *f) { auto *w = static_cast<Mainmove *>(f); w->move(0, 0); return w->Command1; },
     [](Form *f) { return QString::number(f->frameGeometry().top()); }, "\"0\"\r\n"},
};

} // namespace

class TestProgramFolder : public QObject
{
    Q_OBJECT
private slots:
    // What could not be saved stays on screen, beside one message naming it.
    void failedSaveKeepsTheWindowAndSaysSoOnce_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kEditings)); ++i)
            QTest::newRow(kEditings[i].name) << i;
    }
    void failedSaveKeepsTheWindowAndSaysSoOnce()
    {
        QFETCH(int, index);
        const Editing &e = kEditings[index];
        TestProgram p;
        p.folder.breakFile(e.file);
        Form *window = p.windows.show(e.window);
        QPushButton *ok = e.edit(window);
        const QString shown = e.shown(window);
        QTest::mouseClick(ok, Qt::LeftButton);
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(p.windows.isLoaded(e.window));
        QCOMPARE(e.shown(window), shown);
        QCOMPARE(messages(p).size(), 1);
        QVERIFY(messages(p).first().contains(e.file.section(u'/', -1)));
        p.folder.mendFile(e.file);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(p.folder.bytes(e.file), e.saved);
        QVERIFY(!p.windows.isLoaded(e.window));
    }

    void memoFileAtStart_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown"); // null: damaged, whatever could be read
        const QString line = QStringLiteral("長いメモの一行です。");
        const int lines = 4 * 1024 * 1024 / (TestFolder::sjis(line).size() + 2);
        QTest::newRow("UTF-8 from another editor") << QStringLiteral("\"会議：月曜〜金曜\"\r\n").toUtf8()
                                                   << QStringLiteral("会議：月曜〜金曜");
        QTest::newRow("binary garbage") << QByteArray("\x00\x01\x81\x22\xFF\xFE\x7F", 7) << QString();
        QTest::newRow("4 MB") << TestFolder::textBytes(TestFolder::sjis((line + "\r\n").repeated(lines)))
                              << (line + u'\n').repeated(lines);
    }
    void memoFileAtStart()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        TestProgram p;
        p.folder.plant(ValueFiles::memo(1), bytes);
        QPlainTextEdit *box = start(p)->text(1);
        if (!shown.isNull())
            QCOMPARE(box->toPlainText(), shown);
        // Bytes that read cleanly neither way are kept whole, and the user told where.
        const QStringList told = messages(p);
        QCOMPARE(told.size(), shown.isNull() ? 1 : 0);
        QVERIFY(shown.isNull() == told.join(' ').contains(QStringLiteral("memo.txt.damaged")));
        // The first edit keeps the file as it was in the backup, and saves what is shown.
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, QStringLiteral("z"));
        QCOMPARE(p.folder.bytes(ValueFiles::memoBackup(1)), bytes);
        QCOMPARE(p.folder.data.readValue(ValueFiles::memo(1)).text, StoredText::toStored(box->toPlainText()));
    }

    void damagedFilesAndFoldersInTheWay()
    {
        TestProgram p;
        p.folder.breakFile(ValueFiles::memo(11));
        p.folder.breakFile(ValueFiles::kChange);
        p.folder.plant(ValueFiles::timerEnabled(1), QByteArray("\xFF\xFF", 2));
        p.folder.plant(ValueFiles::timerEnabled(2), "1.0\r\n");
        p.folder.breakFile(ValueFiles::timerText(3));
        p.folder.plant(ValueFiles::kStartupMemo, QByteArray("\x81", 1));
        Main *main = start(p);
        QVERIFY(!main->text(1)->isHidden());
        auto *overview = static_cast<Timermemo *>(p.windows.load(WindowId::Timermemo));
        QCOMPARE(overview->Check1->checkState() + overview->Check2->checkState(), Qt::Unchecked);
        QVERIFY(overview->Command3->memo().isEmpty());
        QVERIFY(p.windows.load(WindowId::OpenTimer));
        QCOMPARE(messages(p).size(), 5);
        // One report per file, not one per key; the refresh leaves the unsaved text; a page still shows.
        QTest::keyClicks(main->text(11), QStringLiteral("typed"));
        main->Main_Timer1_Timer();
        QTest::mouseClick(main->pageButton(4), Qt::LeftButton);
        QVERIFY(!main->text(4)->isHidden());
        QCOMPARE(main->text(11)->toPlainText(), QStringLiteral("typed"));
        const QStringList all = messages(p);
        QCOMPARE(all.size(), 5);
        for (const char *name : {"memo11.txt", "Change.txt", "memo3.txt", "true1.txt", "memo4.txt"})
            QCOMPARE(all.filter(QLatin1String(name)).size(), 1);
    }

    void quittingUnloadsEveryWindowMainFirst()
    {
        TestProgram p;
        for (const WindowId id : {WindowId::Main, WindowId::Timermemo, WindowId::Timermemo2, WindowId::OpenTimer,
                                  WindowId::Mainmove})
            p.windows.show(id);
        auto *options = static_cast<Option1 *>(p.windows.show(WindowId::Option1));
        const auto allFiles = [&] {
            QByteArray bytes;
            for (const ValueFiles::Entry &entry : ValueFiles::inventory())
                bytes += p.folder.bytes(entry.path);
            return bytes;
        };
        const QByteArray before = allFiles();
        QList<WindowId> unloaded;
        connect(&p.windows, &Windows::unloaded, this, [&](WindowId id) { unloaded << id; });
        QTest::mouseClick(options->Command1, Qt::LeftButton);
        // Main goes first: its unload stops the timers that would load windows again.
        QCOMPARE(unloaded.value(0), WindowId::Main);
        QCOMPARE(unloaded.size(), 7); // with the start-up memo window Main brought up
        QCOMPARE(p.platform.log.filter(QRegularExpression("^(quit|tray-add)")).last(), QStringLiteral("quit"));
        QVERIFY(!p.platform.trayPresent());
        QCOMPARE(allFiles(), before);
    }
};

QTEST_MAIN(TestProgramFolder)
#include "tst_program.moc"
