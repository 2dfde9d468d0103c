// The stored values: byte forms, the data folder and its rules, on disk.
#include "store/FileSteps.h"
#include "store/FileSystem.h"
#include "store/ProgramPlaces.h"
#include "store/Rescue.h"
#include "store/ValueFile.h"
#include "store/ValueFiles.h"
#include "store/Values.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <filesystem>

static QStringList filesIn(const TestFolder &folder, const char *sub)
{
    return QDir(folder.data.absolute(QLatin1String(sub))).entryList(QDir::Files | QDir::Hidden);
}

// How a row of the value-file table goes. Writes: exactly what older files
// hold (a number as an integer). ReadsBack: a text that form has no room for.
// Reads: bytes of other writers. Damaged: flagged, and read as far as it goes.
enum ValueRow { Writes, ReadsBack, Reads, Damaged };

class TestStore : public QObject
{
    Q_OBJECT
private slots:
    void valueFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ValueRow>("form");
        QTest::newRow("ten") << "10" << QByteArray("10\r\n") << Writes;
        QTest::newRow("empty") << QString() << QByteArray("\"\"\r\n") << Writes;
        QTest::newRow("two lines") << "a\r\nb" << QByteArray("\"a\r\nb\"\r\n") << Writes;
        QTest::newRow("wave dash of code page 932") << "～" << QByteArray("\"\x81\x60\"\r\n") << Writes;
        QTest::newRow("half-width katakana") << "ｱｲ" << QByteArray("\"\xB1\xB2\"\r\n") << Writes;
        // Bytes that are valid UTF-8 as well (U+02B2), as older files hold them.
        QTest::newRow("half-width katakana that pass for UTF-8") << "ﾊｲ" << QByteArray("\"\xCA\xB2\"\r\n") << Writes;
        // In code page 932 these would be UTF-8 with a three-byte character.
        QTest::newRow("kanji and half-width katakana that would pass for UTF-8") << "燿｡" << QByteArray() << ReadsBack;
        QTest::newRow("trail byte like a backslash") << "表" << QByteArray("\"\x95\x5C\"\r\n") << Writes;
        QTest::newRow("control codes as Windows has them") << "\x1A\x1C\x7F" << QByteArray("\"\x1A\x1C\x7F\"\r\n") << Writes;
        QTest::newRow("quote then line break") << "\"\r\nx\r\n\"" << QByteArray() << ReadsBack;
        QTest::newRow("emoji and quotes") << QStringLiteral("\"\U0001F389\",") << QByteArray() << ReadsBack;
        QTest::newRow("leading spaces and comma") << "  a, b" << QByteArray() << ReadsBack;
        QTest::newRow("starts with a zero-width no-break space") << QStringLiteral("\uFEFF\uFEFFa") << QByteArray() << ReadsBack;
        QTest::newRow("quoted integer") << "7" << QByteArray("\"7\"\r\n") << Reads;
        QTest::newRow("leading spaces") << "12" << QByteArray("   12\r\n") << Reads;
        QTest::newRow("up to a comma") << "3" << QByteArray("3,4\r\n") << Reads;
        QTest::newRow("up to the line end") << "3" << QByteArray("3\r\n4\r\n") << Reads;
        QTest::newRow("junk after the closing quote") << "ab" << QByteArray("\"ab\" junk\r\n") << Reads;
        QTest::newRow("no closing quote") << "ab" << QByteArray("\"ab\r\n") << Reads;
        QTest::newRow("empty file") << QString() << QByteArray("") << Reads;
        QTest::newRow("byte-order mark") << "時" << QByteArray("\xEF\xBB\xBF\"\xE6\x99\x82\"\r\n") << Reads;
        // Any Linux editor's default.
        QTest::newRow("UTF-8 without a mark") << "会議の予定：月曜〜金曜" << QByteArray("\"会議の予定：月曜〜金曜\"\r\n") << Reads;
        QTest::newRow("neither encoding") << "a\uFFFD\uFFFDb" << QByteArray("\"a\xFF\xFF" "b\"\r\n") << Damaged;
        QTest::newRow("a lead byte cut off") << "a\uFFFD" << QByteArray("\"a\x81\"\r\n") << Damaged;
        // A copy cut short in the last character: UTF-8 all the same.
        QTest::newRow("UTF-8 cut off in a character") << "会議の予" << QStringLiteral("\"会議の予定").toUtf8().chopped(1) << Damaged;
    }
    void valueFile()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(ValueRow, form);
        bool integer = false;
        const int number = text.toInt(&integer);
        const QByteArray written = integer ? ValueFile::encodeInteger(number) : ValueFile::encodeText(text);
        if (form == Writes)
            QCOMPARE(written, bytes);
        const Result<QString> decoded = ValueFile::decode(form == ReadsBack ? written : bytes);
        QCOMPARE(decoded.value, text);
        QCOMPARE(decoded.ok(), form != Damaged);
    }
    // Whatever is written reads back as itself: every character alone (the C
    // library's converter writes some as look-alikes, 〜 as ～) and every text
    // of two half-width katakana; the fuzz target mixes them with the rest.
    void everyTextReadsBackAsItself()
    {
        QList<QChar> halfWidth, any;
        QList<QString> texts;
        for (char16_t c = 0; c < 0xFFFF; ++c) {
            texts << QString(QChar::isSurrogate(c) ? QChar() : QChar(c));
            if (c >= 0x20 && !QChar::isSurrogate(c) && !ValueFile::encodeText(texts.last()).startsWith('\xEF'))
                (c >= 0xFF61 && c <= 0xFF9F ? halfWidth : any) << QChar(c);
        }
        QCOMPARE(halfWidth.size(), 63);
        for (const QChar a : halfWidth) {
            for (const QChar b : halfWidth)
                texts << QString(a) + b;
        }
        for (const QString &text : texts) {
            const Result<QString> back = ValueFile::decode(ValueFile::encodeText(text));
            if (back.value != text || !back.ok())
                QFAIL(qPrintable(QStringLiteral("%1 (U+%2) read back as %3").arg(text).arg(int(text.at(0).unicode()), 4, 16, QLatin1Char('0')).arg(back.value)));
        }
    }

    // A start fills in only what is missing, and removes only its own leftovers.
    void layoutFillsOnlyWhatIsMissing()
    {
        TestFolder folder;
        QCOMPARE(filesIn(folder, "set").size() + filesIn(folder, "Timer").size(), 41);
        // Integers bare, texts quoted, as older files have them.
        QCOMPARE(folder.bytes(ValueFiles::kChange) + folder.bytes(ValueFiles::timerEnabled(3)) + folder.bytes(ValueFiles::kWidth),
                 QByteArray("1\r\n0\r\n\"7320\"\r\n"));
        const QStringList leftovers{"set/memo11.txt.potora-tmp", "set/memo3X.txt.potora-tmp", "Timer/true2.txt.potora-tmp"};
        // The user's own files, however much they look like temporary ones.
        const QStringList kept{"set/memo11.txt.bak", "set/notes.txt.potora-tmp", "set/memo.txt.201805",
                               "set/memo3.txt.abc123", "set/Change.txt.old000", "Timer/mine.txt"};
        for (const QString &name : leftovers + kept)
            folder.plant(name, "x");
        folder.plant(ValueFiles::kChange, "garbage");
        QFile::remove(folder.data.absolute(ValueFiles::memo(5)));
        QVERIFY(folder.data.ensureLayout().ok());
        QCOMPARE(folder.bytes(ValueFiles::kChange) + folder.bytes(ValueFiles::memo(5)), QByteArray("garbage\"\"\r\n"));
        for (const QString &name : leftovers + kept)
            QVERIFY2(QFile::exists(folder.data.absolute(name)) == kept.contains(name), qPrintable(name));
        // A subfolder that cannot be made is reported, not fatal.
        QVERIFY(QDir(folder.data.absolute("Timer")).removeRecursively());
        folder.plant(QStringLiteral("Timer"), "a file in the way");
        QVERIFY(!folder.data.ensureLayout().ok());
    }

    // A write replaces the file whole or not at all, leaves nothing beside it
    // and nothing at the current directory.
    void replaceIsWholeOrNothing()
    {
        TestFolder folder;
        QFile::remove(folder.data.absolute(ValueFiles::memo(6)));
        folder.breakFile(ValueFiles::memo(7));
        const QStringList files = filesIn(folder, "set");
        QTemporaryDir elsewhere;
        const QString before = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        for (int i = 20; i >= 2; --i)
            QVERIFY(folder.data.writeTextValue(ValueFiles::memo(2), QString(i, u'z')).ok());
        QDir::setCurrent(before);
        QVERIFY(QDir(elsewhere.path()).isEmpty());
        QCOMPARE(folder.bytes(ValueFiles::memo(2)), QByteArray("\"zz\"\r\n"));
        // Nor is a text stored that could not be read back: the reader's limit is 64 MB.
        QVERIFY(!folder.data.writeTextValue(ValueFiles::memo(2), QString(64 * 1024 * 1024 - 3, u'x')).ok());
        // A missing file reads as the empty text, says why, and is not made.
        const Result<DataFolder::Read> read = folder.data.readValue(ValueFiles::memo(6));
        QVERIFY(read.value.text.isEmpty() && !read.ok());
        // A folder in the way fails the write; past that check, so does the rename.
        QVERIFY(!folder.data.writeTextValue(ValueFiles::memo(7), "x").ok());
        QVERIFY(!FileSystem::replace(folder.data.absolute(ValueFiles::memo(7)), "x").ok());
        QVERIFY(QFileInfo(folder.data.absolute(ValueFiles::memo(7))).isDir());
        // A rename that fails is no save (a folder put in the way meanwhile), and leaves nothing.
        const Result<FileSteps::Staged> stage = FileSteps::stage(folder.data.absolute(ValueFiles::memo(7)) + "x", "x");
        const FileSteps::Staged &staged = stage.value;
        QVERIFY(stage.ok() && QDir().mkpath(staged.target + "/inside"));
        QVERIFY(!FileSteps::commit(staged).ok() && !QFileInfo::exists(staged.temp));
        QVERIFY(QDir(staged.target).removeRecursively());
        QCOMPARE(filesIn(folder, "set"), files);
    }

    void fullDiskKeepsTheOldValue()
    {
        if (const char *why = unsupported(Need::FullDisk))
            QSKIP(why);
        TestFolder folder(qEnvironmentVariable("POTORA_SMALL_DISK")); // the disk Windows fills
        QVERIFY(folder.data.writeTextValue(ValueFiles::memo(2), "zz").ok());
        const QStringList files = filesIn(folder, "set");
        {
            FullDisk full(4096); // the first bytes go, the rest are refused
            QVERIFY(!folder.data.writeTextValue(ValueFiles::memo(2), QString(4093, u'x')).ok());
        }
        QCOMPARE(folder.bytes(ValueFiles::memo(2)), QByteArray("\"zz\"\r\n"));
        QCOMPARE(filesIn(folder, "set"), files);
        QVERIFY(folder.data.writeTextValue(ValueFiles::memo(2), QString(4093, u'x')).ok()); // only the limit refused it
    }

    // Memos are nobody else's: what the program makes is the user's alone,
    // whatever the umask; a file that exists keeps its permissions.
    void madeForTheUserAlone()
    {
        if (const char *why = unsupported(Need::Permissions))
            QSKIP(why);
        const unsigned before = TestSystem::umask(022);
        QTemporaryDir home;
        const DataFolder data(home.path() + QStringLiteral("/share/ポトラ"));
        QVERIFY(data.ensureLayout().ok());
        const QFile::Permissions shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(data.absolute(ValueFiles::kChange), shared));
        QVERIFY(QFile::setPermissions(data.absolute(ValueFiles::memo(3)), shared));
        QVERIFY(data.writeIntegerValue(ValueFiles::kChange, 2).ok());
        Values values(data, [](const QString &) {});
        values.saveChange(ValueFiles::memo(3), ValueFiles::memoBackup(3), {{0, 0, QStringLiteral("x")}}, false);
        QVERIFY(values.flush(-1));
        const Result<QString> rescued = Rescue::save(home.path() + QStringLiteral("/r/potora"), "memo", QDateTime(), "x");
        TestSystem::umask(before);
        for (const QString &folder : {QStringLiteral("/share"), QStringLiteral("/share/ポトラ/set"), QStringLiteral("/r/potora")})
            QCOMPARE(TestSystem::mode(home.path() + folder), 0700u);
        QCOMPARE(TestSystem::mode(rescued.value), 0600u);
        for (const ValueFiles::Entry &entry : ValueFiles::inventory())
            QCOMPARE(TestSystem::mode(data.absolute(entry.path)),
                     entry.path == ValueFiles::kChange || entry.path == ValueFiles::memo(3) ? 0604u : 0600u);
    }

    void backupTakesTheCurrentValue()
    {
        TestFolder folder;
        const QString value = ValueFiles::memo(2), backup = ValueFiles::memoBackup(2);
        folder.plant(value, "\"one\" trailing\r\n");
        QVERIFY(folder.data.backupValue(value, backup).ok());
        // Replacing the value afterwards must not reach into the backup.
        QVERIFY(folder.data.writeTextValue(value, "two").ok());
        QCOMPARE(folder.bytes(backup), QByteArray("\"one\" trailing\r\n"));
        // A value with a second name cannot become its backup by a link (a
        // later replace would change both): the backup is a copy, as where the
        // file system has no hard links (FAT32 sticks).
        std::filesystem::create_hard_link(folder.data.absolute(value).toStdWString(), (folder.data.absolute(value) + "2").toStdWString());
        QVERIFY(folder.data.backupValue(value, backup).ok());
        QVERIFY(!FileSystem::sameFile(folder.data.absolute(value), folder.data.absolute(backup)));
        QCOMPARE(folder.bytes(backup), QByteArray("\"two\"\r\n"));
        folder.breakFile(backup);
        QVERIFY(!folder.data.backupValue(value, backup).ok());
    }

    // A value that links elsewhere: the backup gets a copy, and the link stays one.
    void backupOfALinkedValue()
    {
        if (const char *why = unsupported(Need::SymbolicLinks))
            QSKIP(why);
        TestFolder folder;
        const QString value = ValueFiles::memo(2), backup = ValueFiles::memoBackup(2);
        QVERIFY(folder.data.writeTextValue(value, "two").ok());
        QTemporaryDir other;
        const QString target = other.path() + QStringLiteral("/shared.txt");
        QVERIFY(QFile::rename(folder.data.absolute(value), target) && QFile::link(target, folder.data.absolute(value)));
        QVERIFY(folder.data.backupValue(value, backup).ok());
        QVERIFY(folder.data.writeTextValue(value, "new").ok());
        QCOMPARE(folder.bytes(backup), QByteArray("\"two\"\r\n"));
        QVERIFY(QFileInfo(folder.data.absolute(value)).isSymLink());
    }

    // Keys that come faster than the disk writes: each file gets its newest
    // text, and the backup the text one change before the memo's, as typed;
    // a memo's text is worked out from its box's changes, a value's is read
    // while it waits.
    void writerKeepsThePairOfTheNewestTexts()
    {
        TestFolder folder;
        QStringList told;
        Values values(folder.data, [&told](const QString &message) { told << message; });
        const QString memo = ValueFiles::memo(5), backup = ValueFiles::memoBackup(5);
        values.filled(memo, values.read(memo));
        values.holdWrites(true); // every key waits for the disk
        for (int key = 0; key < 6; ++key) // "aaa", then each key replaces it: "bbb" ... "fff"
            values.saveChange(memo, backup, {{0, key ? 3 : 0, QString(3, QChar(u'a' + key))}}, false);
        for (const int page : {6, 7})
            values.saveInteger(ValueFiles::kChange, page);
        QCOMPARE(values.read(ValueFiles::kChange), QStringLiteral("7"));
        QVERIFY(values.unsaved(memo) && folder.bytes(memo) == "\"\"\r\n"); // nothing written while held
        values.holdWrites(false);
        QVERIFY(values.flush(-1));
        QVERIFY(!values.unsaved(memo));
        QCOMPARE(folder.data.readValue(memo).value.text + folder.data.readValue(backup).value.text, QStringLiteral("fffeee"));
        QCOMPARE(folder.bytes(ValueFiles::kChange), QByteArray("7\r\n"));
        // A failed write: the text stays unsaved, and the user is told once.
        folder.breakFile(memo);
        for (const auto &[at, key] : {std::pair(3, QStringLiteral("x")), {4, QStringLiteral("y")}})
            values.saveChange(memo, backup, {{at, 0, key}}, false);
        QVERIFY(values.flush(-1) && values.unsaved(memo));
        QCoreApplication::processEvents();
        QCOMPARE(told.size(), 1);
        folder.mendFile(memo); // the next change writes the whole text
        values.saveChange(memo, backup, {{5, 0, QStringLiteral("z")}}, false);
        QVERIFY(values.flush(-1) && !values.unsaved(memo));
        QCOMPARE(folder.data.readValue(memo).value.text + folder.data.readValue(backup).value.text, QStringLiteral("fffxyzfffxy"));
    }

    // A file that is there but does not read as it is: kept whole before
    // anything can write over it, once however often it is read, the user
    // told where. A pipe or a device in a file's place is never waited on,
    // never read without end and never replaced.
    void unreadableFileIsKeptWholeOnce()
    {
        TestFolder folder;
        QStringList told;
        Values values(folder.data, [&told](const QString &message) { told << message; });
        const auto read = [&](int slot) {
            const QString text = values.read(ValueFiles::memo(slot));
            QCoreApplication::processEvents();
            return text;
        };
        QFile huge(folder.data.absolute(ValueFiles::memo(4))); // beyond what is read
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write("\"huge") == 5 && huge.resize(70 * 1024 * 1024));
        huge.close();
        const QByteArray damaged("\"ok\xFF\xFD\"\r\n");
        folder.plant(ValueFiles::memo(1), damaged);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(read(4), QString());
            QCOMPARE(read(1), QStringLiteral("ok\uFFFD\uFFFD"));
        }
        QCOMPARE(told.size(), 2);
        QVERIFY(told[0].contains(QStringLiteral("memo4.txt.damaged")) && told[1].contains(QStringLiteral("memo.txt.damaged")));
        QVERIFY(values.writeText(ValueFiles::memo(4), "new").ok() && values.writeText(ValueFiles::memo(1), "new").ok());
        QCOMPARE(QFileInfo(folder.data.absolute("set/memo4.txt.damaged")).size(), 70 * 1024 * 1024);
        folder.plant(ValueFiles::memo(1), "\"\x81"); // other damage later gets its own copy
        read(1);
        QCOMPARE(folder.bytes("set/memo.txt.damaged") + folder.bytes("set/memo.txt.damaged-2"), damaged + "\"\x81");
    }

    // A pipe or a device in a file's place: never waited on, never read
    // without end, never replaced, and each read and write says so.
    void pipesAndDevicesAreLeftAlone()
    {
        if (const char *why = unsupported(Need::Pipes))
            QSKIP(why);
        TestFolder folder;
        QStringList told;
        Values values(folder.data, [&told](const QString &message) { told << message; });
        const QString pipe = folder.data.absolute(ValueFiles::memo(5)), link = folder.data.absolute(ValueFiles::memo(6));
        QVERIFY(TestSystem::makePipe(pipe) && QFile::remove(link) && QFile::link(pipe, link));
        for (const QString &path : {pipe, link, QStringLiteral("/dev/zero")}) {
            QCOMPARE(FileSystem::kindOf(path), FileSystem::Kind::Other);
            QVERIFY(!FileSystem::read(path, 1024).ok() && (path.startsWith("/dev") || !FileSystem::replace(path, "x").ok()));
        }
        QVERIFY(values.read(ValueFiles::memo(5)).isEmpty() && values.read(ValueFiles::memo(6)).isEmpty());
        QVERIFY(!values.writeText(ValueFiles::memo(5), "x").ok() && !values.writeText(ValueFiles::memo(6), "x").ok());
        QCoreApplication::processEvents();
        QCOMPARE(told.size(), 4);
        QVERIFY(QFileInfo(link).isSymLink() && FileSystem::kindOf(pipe) == FileSystem::Kind::Other);
        QVERIFY(!QFileInfo::exists(pipe + ".damaged") && !QFileInfo::exists(link + ".damaged"));
    }

    // Where the data lives: beside a portable program, in the data home of an
    // installed one, by what the program's folder holds.
    void programPlaces_data()
    {
        QTest::addColumn<QString>("found"); // beside the program: "marker", "set/", nothing, or "link" to one with a marker
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QStringList>("expected"); // data, help, start in, icon; @ the test's folder
        const QStringList portable{"@/p/bin", "@/p/bin/help.html", "@/p/bin", "@/p/bin/set/icon.png"};
        QTest::newRow("the build's marker") << "marker" << "/h" << portable;
        QTest::newRow("set/ of earlier runs, no data home") << "set/" << "" << portable;
        QTest::newRow("started through a symbolic link") << "link" << "/h" << portable;
        // Nothing asks whether the folder is writable: /usr/bin is, for root.
        QTest::newRow("installed") << "" << "/h/" << QStringList{"/h/ポトラ", "@/p/share/potora/help.html", "", "potora"};
        QTest::newRow("installed, no data home") << "" << "" << QStringList{"", "@/p/share/potora/help.html", "", "potora"};
    }
    void programPlaces()
    {
        QFETCH(QString, found);
        QFETCH(QString, dataHome);
        QFETCH(QStringList, expected);
        if (const char *why = unsupported(Need::SymbolicLinks); why && found == "link")
            QSKIP(why);
        QTemporaryDir root;
        const QString bin = root.path() + QStringLiteral("/p/bin"), program = bin + QStringLiteral("/potora");
        QVERIFY(QDir().mkpath(bin + (found == "set/" ? "/set" : "")) && QFile(program).open(QIODevice::WriteOnly));
        if (found == "marker" || found == "link")
            QVERIFY(QFile(bin + u'/' + ProgramPlaces::kMarker).open(QIODevice::WriteOnly));
        const QString started = found == "link" ? root.path() + QStringLiteral("/potora") : program;
        QVERIFY(found != "link" || QFile::link(program, started));
        const ProgramPlaces places = ProgramPlaces::find(started, dataHome);
        QCOMPARE(QStringList({places.data, places.help, places.startIn, places.icon}),
                 expected.replaceInStrings(QStringLiteral("@"), QFileInfo(root.path()).canonicalFilePath()));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
