// The stored values: byte forms, the data folder, and the rules on stored
// values, checked against the bytes on disk.
#include "store/FileReplace.h"
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

class TestStore : public QObject
{
    Q_OBJECT
private slots:
    // What the program writes is exactly what older files hold, and reads back.
    void writtenBytes_data()
    {
        QTest::addColumn<QString>("text"); // a number: written as an integer
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("zero") << "0" << QByteArray("0\r\n");
        QTest::newRow("ten") << "10" << QByteArray("10\r\n");
        QTest::newRow("empty") << QString() << QByteArray("\"\"\r\n");
        QTest::newRow("two lines") << QStringLiteral("a\r\nb") << QByteArray("\"a\r\nb\"\r\n");
        QTest::newRow("japanese") << QStringLiteral("時刻") << QByteArray("\"\x8E\x9E\x8D\x8F\"\r\n");
        QTest::newRow("wave dash of code page 932") << QStringLiteral("～") << QByteArray("\"\x81\x60\"\r\n");
        QTest::newRow("half-width katakana") << QStringLiteral("ｱｲ") << QByteArray("\"\xB1\xB2\"\r\n");
        QTest::newRow("trail byte like a backslash") << QStringLiteral("表") << QByteArray("\"\x95\x5C\"\r\n");
        QTest::newRow("control codes as Windows has them") << QStringLiteral("\x1A\x1C\x7F") << QByteArray("\"\x1A\x1C\x7F\"\r\n");
    }
    void writtenBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        bool integer = false;
        const int number = text.toInt(&integer);
        QCOMPARE(integer ? ValueFile::encodeInteger(number) : ValueFile::encodeText(text), bytes);
        QCOMPARE(ValueFile::decode(bytes).text, text);
        QVERIFY(ValueFile::decode(bytes).clean);
    }

    // Texts the byte form has no room for still come back whole.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << QStringLiteral("He said \"hi\"");
        QTest::newRow("quote then line break") << QStringLiteral("\"\r\nx\r\n\"");
        QTest::newRow("emoji and quotes") << QStringLiteral("\"\U0001F389\",");
        QTest::newRow("hangul") << QStringLiteral("안녕");
        QTest::newRow("leading spaces and comma") << QStringLiteral("  a, b");
        QTest::newRow("starts with a zero-width no-break space") << QStringLiteral("\uFEFF\uFEFFa");
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        const QByteArray bytes = ValueFile::encodeText(text);
        QVERIFY(!bytes.contains('?'));
        QCOMPARE(ValueFile::decode(bytes).text, text);
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

    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("clean");
        QTest::newRow("quoted integer") << QByteArray("\"7\"\r\n") << "7" << true;
        QTest::newRow("leading spaces") << QByteArray("   12\r\n") << "12" << true;
        QTest::newRow("up to a comma") << QByteArray("3,4\r\n") << "3" << true;
        QTest::newRow("up to the line end") << QByteArray("3\r\n4\r\n") << "3" << true;
        QTest::newRow("junk after the closing quote") << QByteArray("\"ab\" junk\r\n") << "ab" << true;
        QTest::newRow("no closing quote") << QByteArray("\"ab\r\n") << "ab" << true;
        QTest::newRow("empty file") << QByteArray() << QString() << true;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF\"\xE6\x99\x82\"\r\n") << "時" << true;
        // Any Linux editor's default: UTF-8 without a mark.
        QTest::newRow("UTF-8 without a mark") << QStringLiteral("\"会議の予定：月曜〜金曜\"\r\n").toUtf8()
                                              << "会議の予定：月曜〜金曜" << true;
        // Damage is flagged; what reads of it comes first.
        QTest::newRow("neither encoding") << QByteArray("\"a\xFF\xFF" "b\"\r\n") << "a" << false;
        QTest::newRow("a lead byte cut off") << QByteArray("\"a\x81\"\r\n") << "a" << false;
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, clean);
        const ValueFile::Decoded decoded = ValueFile::decode(bytes);
        QCOMPARE(clean ? decoded.text : decoded.text.left(text.size()), text);
        QCOMPARE(decoded.clean, clean);
    }

    void flagStates()
    {
        const QList<QPair<QString, Qt::CheckState>> flags{{"0", Qt::Unchecked}, {"1", Qt::Checked},
            {"2", Qt::PartiallyChecked}, {"01", Qt::Checked}, {"7", Qt::Unchecked}, {"yes", Qt::Unchecked}};
        for (const auto &[text, state] : flags)
            QCOMPARE(flagState(text), state);
    }

    void layoutFillsOnlyWhatIsMissing()
    {
        TestFolder folder;
        QCOMPARE(filesIn(folder, "set").size() + filesIn(folder, "Timer").size(), 41);
        QCOMPARE(folder.bytes(ValueFiles::kChange) + folder.bytes(ValueFiles::memo(1))
                     + folder.bytes(ValueFiles::timerEnabled(3)) + folder.bytes(ValueFiles::kWidth),
                 QByteArray("1\r\n\"\"\r\n0\r\n\"7320\"\r\n"));
        folder.plant(ValueFiles::memo(4), "\"mine\"\r\n");
        folder.plant(ValueFiles::kChange, "garbage");
        QFile::remove(folder.data.absolute(ValueFiles::memo(5)));
        QVERIFY(QDir(folder.data.absolute("Timer")).removeRecursively());
        QVERIFY(folder.data.ensureLayout().isEmpty());
        QCOMPARE(folder.bytes(ValueFiles::memo(4)) + folder.bytes(ValueFiles::kChange) + folder.bytes(ValueFiles::memo(5)),
                 QByteArray("\"mine\"\r\ngarbage\"\"\r\n"));
        QCOMPARE(filesIn(folder, "Timer").size(), 14);
        // A subfolder that cannot be made is reported, not fatal.
        QVERIFY(QDir(folder.data.absolute("Timer")).removeRecursively());
        folder.plant(QStringLiteral("Timer"), "a file in the way");
        QVERIFY(!folder.data.ensureLayout().isEmpty());
    }

    void replaceIsWholeAndNeverAtTheCurrentDirectory()
    {
        TestFolder folder;
        QTemporaryDir elsewhere;
        const QString before = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        for (int i = 20; i >= 2; --i)
            QVERIFY(folder.data.writeTextValue(ValueFiles::memo(2), QString(i, u'z')).ok());
        QDir::setCurrent(before);
        QCOMPARE(folder.bytes(ValueFiles::memo(2)), QByteArray("\"zz\"\r\n"));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
        QCOMPARE(filesIn(folder, "set").size(), 27); // no temporary file left beside

        // A missing file reads as the empty text, says why, and is not made.
        QFile::remove(folder.data.absolute(ValueFiles::memo(6)));
        const DataFolder::Read read = folder.data.readValue(ValueFiles::memo(6));
        QVERIFY(read.text.isEmpty() && !read.error.isEmpty());
        QVERIFY(!QFile::exists(folder.data.absolute(ValueFiles::memo(6))));
        folder.breakFile(ValueFiles::memo(7));
        QVERIFY(!folder.data.writeTextValue(ValueFiles::memo(7), "x").ok());
        QVERIFY(QFileInfo(folder.data.absolute(ValueFiles::memo(7))).isDir());
        // Past that check, a rename that fails is a failed save too, and leaves nothing behind.
        const QString blocked = folder.data.absolute(ValueFiles::memo(7));
        QVERIFY(!FileReplace::replace(blocked, "x").isEmpty() && !QFile::exists(blocked + FileReplace::kTemporarySuffix));
    }

    void cutWriteNeverReplacesTheFile()
    {
        // A full disk lets the first bytes through, then refuses the rest.
        TestFolder folder;
        folder.plant(ValueFiles::memo(1), "\"old\"\r\n");
        {
            FileSizeLimit full(4096);
            QVERIFY(!folder.data.writeTextValue(ValueFiles::memo(1), QString(4093, u'x')).ok());
        }
        QCOMPARE(folder.bytes(ValueFiles::memo(1)), QByteArray("\"old\"\r\n"));
        QCOMPARE(filesIn(folder, "set").size(), 27);
        QVERIFY(folder.data.writeTextValue(ValueFiles::memo(1), QString(4093, u'x')).ok());
        QCOMPARE(folder.bytes(ValueFiles::memo(1)).size(), 4097);
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

        // A value file that is a link elsewhere: the backup gets a copy, so
        // the next write through the link leaves it alone.
        QTemporaryDir other;
        const QString target = other.path() + QStringLiteral("/shared.txt");
        QVERIFY(QFile::rename(folder.data.absolute(value), target));
        QVERIFY(QFile::link(target, folder.data.absolute(value)));
        QVERIFY(folder.data.backupValue(value, backup).ok());
        QVERIFY(folder.data.writeTextValue(value, "new").ok());
        QCOMPARE(folder.bytes(backup), QByteArray("\"two\"\r\n"));
        QVERIFY(!QFileInfo(folder.data.absolute(backup)).isSymLink());
        QVERIFY(QFileInfo(folder.data.absolute(value)).isSymLink());

        folder.breakFile(backup);
        QVERIFY(!folder.data.backupValue(value, backup).ok());
    }

    void aStartRemovesOnlyItsOwnLeftovers()
    {
        TestFolder folder;
        const QStringList leftovers{"set/memo11.txt.potora-tmp", "set/memo3X.txt.potora-tmp",
                                    "Timer/true2.txt.potora-tmp"};
        // The user's own files, however much they look like temporary ones.
        const QStringList kept{"set/memo11.txt.bak", "set/notes.txt.potora-tmp", "set/memo.txt.201805",
                               "set/memo3.txt.abc123", "set/Change.txt.old000", "Timer/mine.txt"};
        for (const QString &name : leftovers + kept)
            folder.plant(name, "x");
        QVERIFY(folder.data.ensureLayout().isEmpty());
        for (const QString &name : leftovers + kept)
            QVERIFY2(QFile::exists(folder.data.absolute(name)) == kept.contains(name), qPrintable(name));
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
        QTest::addColumn<bool>("marker");
        QTest::addColumn<bool>("setFolder");
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QStringList>("expected"); // data, help, start in, icon
        const QStringList portable{"/p/bin", "/p/bin/help.html", "/p/bin", "/p/bin/set/icon.png"};
        QTest::newRow("the build's marker") << true << false << "/h" << portable;
        QTest::newRow("set/ of earlier runs, no data home") << false << true << "" << portable;
        // Nothing asks whether the folder is writable: /usr/bin is, for root.
        QTest::newRow("installed") << false << false << "/h/" << QStringList{"/h/ポトラ", "/p/share/potora/help.html", "", "potora"};
        QTest::newRow("installed, no data home") << false << false << "" << QStringList{"", "/p/share/potora/help.html", "", "potora"};
    }
    void programPlaces()
    {
        QFETCH(bool, marker);
        QFETCH(bool, setFolder);
        QFETCH(QString, dataHome);
        QFETCH(QStringList, expected);
        const ProgramPlaces places = ProgramPlaces::decide(QStringLiteral("/p/bin/"), marker, setFolder, dataHome);
        QCOMPARE(QStringList({places.data, places.help, places.startIn, places.icon}), expected);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
