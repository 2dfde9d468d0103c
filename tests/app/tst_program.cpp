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
        // It could not be read either: that was said when the window opened.
        QCOMPARE(p.messages().size(), 2);
        QVERIFY(p.messages().last().contains(e.file.section(u'/', -1)) && p.messages().last().contains(QStringLiteral("保存")));
        p.folder.mendFile(e.file);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(p.folder.bytes(e.file), e.saved);
        QVERIFY(!p.windows.isLoaded(e.window));
    }

    void memoFileAtStart_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("size");   // the file grown to this many bytes (zeros), if more
        QTest::addColumn<QString>("shown"); // null: damaged, whatever could be read
        QTest::addColumn<bool>("kept");     // kept whole beside itself, the user told where
        const QString line = QStringLiteral("長いメモの一行です。");
        const int lines = 4 * 1024 * 1024 / (TestFolder::sjis(line).size() + 2);
        QTest::newRow("4 MB") << TestFolder::textBytes(TestFolder::sjis((line + "\r\n").repeated(lines))) << 0ll
                              << (line + u'\n').repeated(lines) << false;
        QTest::newRow("70 MB, beyond what is read") << QByteArray("\"long paste") << 70ll * 1024 * 1024 << QString("")
                                                    << true;
    }
    void memoFileAtStart()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, size);
        QFETCH(QString, shown);
        QFETCH(bool, kept);
        TestProgram p;
        p.folder.plant(ValueFiles::memo(1), bytes);
        QVERIFY(!size || QFile::resize(p.folder.data.absolute(ValueFiles::memo(1)), size));
        QPlainTextEdit *box = p.showMain()->text(1);
        if (!shown.isNull())
            QCOMPARE(box->toPlainText(), shown);
        const QStringList told = p.messages();
        QCOMPARE(told.size(), kept ? 1 : 0);
        QCOMPARE(told.join(' ').contains(QStringLiteral("memo.txt.damaged")), kept);
        // The first edits save what is shown, and the file as it was stays whole:
        // in the backup, or where the user was told.
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, QStringLiteral("z"));
        if (!kept)
            QCOMPARE(p.folder.bytes(ValueFiles::memoBackup(1)), bytes);
        QTest::keyClicks(box, QStringLiteral("z"));
        p.settle();
        QCOMPARE(p.folder.data.readValue(ValueFiles::memo(1)).value.text, StoredText::toStored(box->toPlainText()));
        if (!kept)
            return;
        QFile copy(p.folder.data.absolute(QStringLiteral("set/memo.txt.damaged")));
        QVERIFY(copy.open(QIODevice::ReadOnly) && copy.read(bytes.size()) == bytes);
        QCOMPARE(copy.size(), std::max<qint64>(size, bytes.size()));
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
        Main *main = p.showMain();
        QVERIFY(!main->text(1)->isHidden());
        auto *overview = static_cast<Timermemo *>(p.windows.load(WindowId::Timermemo));
        QCOMPARE(overview->Check1->checkState() + overview->Check2->checkState(), Qt::Unchecked);
        QVERIFY(overview->Command3->memo().isEmpty());
        QVERIFY(p.windows.load(WindowId::OpenTimer));
        QCOMPARE(p.messages().size(), 5);
        // One report per file read and one per file written, not one per key;
        // a page still shows.
        QTest::keyClicks(main->text(11), QStringLiteral("typed"));
        QTest::mouseClick(main->pageButton(4), Qt::LeftButton);
        QVERIFY(!main->text(4)->isHidden());
        const QStringList all = p.messages();
        QCOMPARE(all.size(), 7);
        // The extra memo and the page were read, and written too.
        const QList<QPair<const char *, int>> told{{"memo11.txt", 2}, {"Change.txt", 2}, {"memo3.txt", 1}, {"true1.txt", 1}, {"memo4.txt", 1}};
        for (const auto &[name, times] : told)
            QCOMPARE(all.filter(QLatin1String(name)).size(), times);
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
