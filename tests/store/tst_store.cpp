// The stored values: byte forms, the data folder and its rules, on disk.
#include "store/FileSystem.h"
#include "store/Flag.h"
#include "store/ProgramPlaces.h"
#include "store/ValueFile.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

static QStringList filesIn(const TestFolder &folder, const char *sub)
{
    return QDir(folder.data.absolute(QLatin1String(sub))).entryList(QDir::Files | QDir::Hidden);
}

// How a row of the value-file table goes. Writes: exactly what older files
// hold (a number as an integer). ReadsBack: a text that form has no room for.
// Reads: bytes of other writers. Damaged: flagged; what reads comes first.
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
        QTest::newRow("trail byte like a backslash") << "表" << QByteArray("\"\x95\x5C\"\r\n") << Writes;
        QTest::newRow("control codes as Windows has them") << "\x1A\x1C\x7F" << QByteArray("\"\x1A\x1C\x7F\"\r\n") << Writes;
        QTest::newRow("quotes") << "He said \"hi\"" << QByteArray() << ReadsBack;
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
        QTest::newRow("neither encoding") << "a" << QByteArray("\"a\xFF\xFF" "b\"\r\n") << Damaged;
        QTest::newRow("a lead byte cut off") << "a" << QByteArray("\"a\x81\"\r\n") << Damaged;
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
        const ValueFile::Decoded decoded = ValueFile::decode(form == ReadsBack ? written : bytes);
        QCOMPARE(form == Damaged ? decoded.text.left(text.size()) : decoded.text, text);
        QCOMPARE(decoded.clean, form != Damaged);
    }
    // The C library's converter writes some characters as look-alikes
    // (〜 as ～); the program must not take them.
    void everyCharacterReadsBackAsItself()
    {
        for (char16_t c = 0; c < 0xFFFF; ++c) {
            const QString text(QChar::isSurrogate(c) ? QChar() : QChar(c));
            if (ValueFile::decode(ValueFile::encodeText(text)).text != text)
                QFAIL(qPrintable(QStringLiteral("U+%1").arg(int(c), 4, 16, QLatin1Char('0'))));
        }
    }

    void flagStates()
    {
        const QList<QPair<QString, Qt::CheckState>> flags{{"0", Qt::Unchecked}, {"1", Qt::Checked},
            {"2", Qt::PartiallyChecked}, {"01", Qt::Checked}, {"7", Qt::Unchecked}, {"yes", Qt::Unchecked}};
        for (const auto &[text, state] : flags)
            QCOMPARE(flagState(text), state);
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
        QVERIFY(folder.data.ensureLayout().isEmpty());
        QCOMPARE(folder.bytes(ValueFiles::kChange) + folder.bytes(ValueFiles::memo(5)), QByteArray("garbage\"\"\r\n"));
        for (const QString &name : leftovers + kept)
            QVERIFY2(QFile::exists(folder.data.absolute(name)) == kept.contains(name), qPrintable(name));
        // A subfolder that cannot be made is reported, not fatal.
        QVERIFY(QDir(folder.data.absolute("Timer")).removeRecursively());
        folder.plant(QStringLiteral("Timer"), "a file in the way");
        QVERIFY(!folder.data.ensureLayout().isEmpty());
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
        // A missing file reads as the empty text, says why, and is not made.
        const DataFolder::Read read = folder.data.readValue(ValueFiles::memo(6));
        QVERIFY(read.text.isEmpty() && !read.error.isEmpty());
        // A folder in the way fails the write; past that check, so does the rename.
        QVERIFY(!folder.data.writeTextValue(ValueFiles::memo(7), "x").ok());
        QVERIFY(!FileSystem::replace(folder.data.absolute(ValueFiles::memo(7)), "x").ok());
        QVERIFY(QFileInfo(folder.data.absolute(ValueFiles::memo(7))).isDir());
        QCOMPARE(filesIn(folder, "set"), files);
    }

    void fullDiskKeepsTheOldValue()
    {
        if (const char *why = Unsupported::fileSizeLimit())
            QSKIP(why);
        TestFolder folder;
        QVERIFY(folder.data.writeTextValue(ValueFiles::memo(2), "zz").ok());
        const QStringList files = filesIn(folder, "set");
        {
            FileSizeLimit full(4096); // a full disk: the first bytes go, the rest are refused
            QVERIFY(!folder.data.writeTextValue(ValueFiles::memo(2), QString(4093, u'x')).ok());
        }
        QCOMPARE(folder.bytes(ValueFiles::memo(2)), QByteArray("\"zz\"\r\n"));
        QCOMPARE(filesIn(folder, "set"), files);
        QVERIFY(folder.data.writeTextValue(ValueFiles::memo(2), QString(4093, u'x')).ok()); // only the limit refused it
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
        folder.breakFile(backup);
        QVERIFY(!folder.data.backupValue(value, backup).ok());
    }

    // A value that links elsewhere: the backup gets a copy, and the link stays one.
    void backupOfALinkedValue()
    {
        if (const char *why = Unsupported::symbolicLinks())
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

    void unreadableFileIsKeptWholeOnce()
    {
        TestFolder folder;
        const QByteArray damaged("\"ok\xFF\xFD\"\r\n");
        folder.plant(ValueFiles::memo(1), damaged);
        // Read every minute, kept once; other damage later gets its own copy.
        for (int i = 0; i < 2; ++i)
            QCOMPARE(folder.data.readValue(ValueFiles::memo(1)).kept, QStringLiteral("set/memo.txt.damaged"));
        folder.plant(ValueFiles::memo(1), "\"\x81");
        QCOMPARE(folder.data.readValue(ValueFiles::memo(1)).kept, QStringLiteral("set/memo.txt.damaged-2"));
        QCOMPARE(folder.bytes("set/memo.txt.damaged") + folder.bytes("set/memo.txt.damaged-2"), damaged + "\"\x81");
        QVERIFY(folder.data.readValue(ValueFiles::memo(2)).kept.isEmpty());
    }

    // Where the data lives: beside a portable program, in the data home of an installed one.
    void programPlaces_data()
    {
        QTest::addColumn<QString>("found"); // beside the program: "marker", "set/" or nothing
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QStringList>("expected"); // data, help, start in, icon
        const QStringList portable{"/p/bin", "/p/bin/help.html", "/p/bin", "/p/bin/set/icon.png"};
        QTest::newRow("the build's marker") << "marker" << "/h" << portable;
        QTest::newRow("set/ of earlier runs, no data home") << "set/" << "" << portable;
        // Nothing asks whether the folder is writable: /usr/bin is, for root.
        QTest::newRow("installed") << "" << "/h/" << QStringList{"/h/ポトラ", "/p/share/potora/help.html", "", "potora"};
        QTest::newRow("installed, no data home") << "" << "" << QStringList{"", "/p/share/potora/help.html", "", "potora"};
    }
    void programPlaces()
    {
        QFETCH(QString, found);
        QFETCH(QString, dataHome);
        QFETCH(QStringList, expected);
        const ProgramPlaces places = ProgramPlaces::decide("/p/bin/", found == "marker", found == "set/", dataHome);
        QCOMPARE(QStringList({places.data, places.help, places.startIn, places.icon}), expected);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
