// The autostart entry as written to a temporary XDG_CONFIG_HOME. Exec lines
// are compared byte for byte: readers undo the string escapes first, then
// the quoting, then "%%", so a literal backslash takes four.
#include "platform/linux/LinuxAutostart.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The entry's keys; values undone of their string escapes, but Exec raw.
QMap<QString, QString> readEntry(const QString &path)
{
    QFile file(path);
    QMap<QString, QString> keys;
    if (!file.open(QIODevice::ReadOnly) || file.readLine() != "[Desktop Entry]\n")
        return keys;
    static const QMap<QChar, QChar> escapes{{u's', u' '}, {u'n', u'\n'}, {u't', u'\t'}, {u'r', u'\r'}, {u'\\', u'\\'}};
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QString key = line.section(u'=', 0, 0), raw = line.section(u'=', 1);
        QString value;
        for (int i = 0; i < raw.size(); ++i)
            value += raw[i] == u'\\' && i + 1 < raw.size() && escapes.contains(raw[i + 1]) ? escapes[raw[++i]] : raw[i];
        keys[key] = key == QStringLiteral("Exec") ? raw : value;
    }
    return keys;
}

} // namespace

class TestAutostart : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_home, m_config;

    QString config() const { return m_dir->path() + QStringLiteral("/config"); }
    QString entry() const { return config() + QStringLiteral("/autostart/ポトラ.desktop"); }

private slots:
    void init()
    {
        m_home = qgetenv("HOME");
        m_config = qgetenv("XDG_CONFIG_HOME");
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        // Never the real one.
        qputenv("HOME", QFile::encodeName(m_dir->path() + QStringLiteral("/home")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config()));
    }

    void cleanup()
    {
        qputenv("HOME", m_home);
        m_config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", m_config);
    }

    void execLine_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");

        QTest::newRow("plain") << "/opt/potora/potora" << "\"/opt/potora/potora\"";
        QTest::newRow("space") << "/home/u/my memos/potora" << "\"/home/u/my memos/potora\"";
        QTest::newRow("japanese") << "/home/u/ポトラ/ポトラ" << "\"/home/u/ポトラ/ポトラ\"";
        QTest::newRow("double quote") << "/x/a\"b/potora" << "\"/x/a\\\\\"b/potora\"";
        QTest::newRow("single quote") << "/x/it's/potora" << "\"/x/it's/potora\"";
        QTest::newRow("dollar") << "/x/$HOME/potora" << "\"/x/\\\\$HOME/potora\"";
        QTest::newRow("backtick") << "/x/`id`/potora" << "\"/x/\\\\`id\\\\`/potora\"";
        QTest::newRow("backslash") << "/x/a\\b/potora" << "\"/x/a\\\\\\\\b/potora\"";
        QTest::newRow("percent") << "/x/100%/%f" << "\"/x/100%%/%%f\"";
        QTest::newRow("hash and parens") << "/x/#1 (old)/potora" << "\"/x/#1 (old)/potora\"";
        QTest::newRow("shell signs") << "/x/a;b&c|d<e>f*?~/potora" << "\"/x/a;b&c|d<e>f*?~/potora\"";
        QTest::newRow("tab and newline") << "/x/a\tb\nc/potora" << "\"/x/a\\tb\\nc/potora\"";
    }

    void execLine()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);

        QCOMPARE(LinuxAutostart::write({QStringLiteral("ポトラ"), program, QStringLiteral("/data"), QStringLiteral("/data/set/icon.png")}),
                 QString());
        QCOMPARE(readEntry(entry()).value(QStringLiteral("Exec")), exec);
    }

    void entryKeys_data()
    {
        QTest::addColumn<QString>("folder"); // "" for the installed program: no Path
        QTest::addColumn<QString>("icon");
        QTest::newRow("plain") << "/opt/potora" << "/opt/potora/set/icon.png";
        QTest::newRow("space, # and %") << "/home/u/my #1 100% memos" << "/home/u/my #1 100% memos/set/icon.png";
        QTest::newRow("japanese") << "/home/u/ドキュメント/ポトラ" << "/home/u/ドキュメント/ポトラ/set/icon.png";
        QTest::newRow("backslash and quote") << "/home/u/a\\b \"c\"" << "/home/u/a\\b \"c\"/set/icon.png";
        QTest::newRow("installed") << "" << "potora";
    }

    void entryKeys()
    {
        QFETCH(QString, folder);
        QFETCH(QString, icon);
        LinuxPlatform platform(QStringLiteral("ポトラ"));
        const auto registered = platform.startupRegister(folder + QStringLiteral("/potora"), folder, icon);
        QVERIFY2(registered.ok(), qPrintable(registered.error));
        const auto keys = readEntry(entry());
        const QMap<QString, QString> expected{{"Type", "Application"},
                                              {"Name", QStringLiteral("ポトラ")},
                                              {"Comment", ""},
                                              {"Path", folder.isEmpty() ? QStringLiteral("<none>") : folder},
                                              {"Icon", icon},
                                              {"Terminal", "false"},
                                              {"X-KDE-autostart-after", "panel"},
                                              {"X-LXQt-Need-Tray", "true"}};
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QCOMPARE(keys.value(it.key(), QStringLiteral("<none>")), it.value());
        QVERIFY(keys.value("X-GNOME-Autostart-Delay").toInt() > 0);
    }

    void whereTheEntryGoes_data()
    {
        QTest::addColumn<QString>("xdgConfig"); // "-" unset
        QTest::addColumn<QString>("home");      // "-" unset
        QTest::addColumn<QString>("expected");  // relative to the temporary folder; "" none

        QTest::newRow("XDG_CONFIG_HOME") << "@/config" << "@/home" << "/config/autostart";
        QTest::newRow("missing folders are made") << "@/new/deep/config" << "@/home" << "/new/deep/config/autostart";
        QTest::newRow("unset: ~/.config") << "-" << "@/home" << "/home/.config/autostart";
        QTest::newRow("empty: ~/.config") << "" << "@/home" << "/home/.config/autostart";
        QTest::newRow("relative is ignored") << "config" << "@/home" << "/home/.config/autostart";
        QTest::newRow("no home at all") << "-" << "-" << "";
    }

    void whereTheEntryGoes()
    {
        QFETCH(QString, xdgConfig);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        const auto set = [this](const char *name, QString value) {
            if (value == QStringLiteral("-"))
                qunsetenv(name);
            else
                qputenv(name, QFile::encodeName(value.replace(QStringLiteral("@"), m_dir->path())));
        };
        set("XDG_CONFIG_HOME", xdgConfig);
        set("HOME", home);
        LinuxPlatform platform(QStringLiteral("ポトラ"));

        const auto registered = platform.startupRegister(QStringLiteral("/p/potora"), QStringLiteral("/p"), QStringLiteral("i"));
        if (expected.isEmpty()) {
            QVERIFY(!registered.ok());
            QCOMPARE(platform.startupRemove().outcome, Platform::Removal::NotRegistered);
            return;
        }
        QVERIFY2(registered.ok(), qPrintable(registered.error));
        const QString path = m_dir->path() + expected + QStringLiteral("/ポトラ.desktop");
        QVERIFY(QFile::exists(path));
        QCOMPARE(platform.startupRemove().outcome, Platform::Removal::Removed);
        QVERIFY(!QFile::exists(path));
    }

    void removal_data()
    {
        QTest::addColumn<QString>("before"); // "entry", "nothing", "no folder", "folder in the way"
        QTest::addColumn<int>("outcome");

        QTest::newRow("present, registered twice") << "entry" << int(Platform::Removal::Removed);
        QTest::newRow("absent") << "nothing" << int(Platform::Removal::NotRegistered);
        QTest::newRow("no autostart folder") << "no folder" << int(Platform::Removal::NotRegistered);
        QTest::newRow("cannot delete") << "folder in the way" << int(Platform::Removal::Failed);
    }

    void removal()
    {
        QFETCH(QString, before);
        QFETCH(int, outcome);
        LinuxPlatform platform(QStringLiteral("ポトラ"));
        if (before != QStringLiteral("no folder"))
            QVERIFY(QDir().mkpath(config() + QStringLiteral("/autostart")));
        if (before == QStringLiteral("entry")) {
            // Registered twice: the second replaces the first, and nothing
            // but the entry is left in the folder, no half-written copy.
            QVERIFY(platform.startupRegister(QStringLiteral("/old/potora"), QStringLiteral("/old"), QStringLiteral("i")).ok());
            QVERIFY(platform.startupRegister(QStringLiteral("/new place/potora"), QStringLiteral("/new place"), QStringLiteral("i")).ok());
            QCOMPARE(readEntry(entry()).value("Path"), QStringLiteral("/new place"));
            QCOMPARE(QDir(config() + QStringLiteral("/autostart")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     QStringList{QStringLiteral("ポトラ.desktop")});
        }
        if (before == QStringLiteral("folder in the way"))
            QVERIFY(QDir().mkpath(entry() + QStringLiteral("/inside")));

        const Platform::Removed removed = platform.startupRemove();
        QCOMPARE(int(removed.outcome), outcome);
        QCOMPARE(removed.reason.isEmpty(), removed.outcome != Platform::Removal::Failed);
        if (removed.outcome == Platform::Removal::Removed)
            QVERIFY(!QFile::exists(entry()));
    }

    void registrationThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("blocked"); // what stands in the way, as a plain file
        QTest::newRow("autostart is a file") << "/autostart";
        QTest::newRow("config is a file") << "";
    }

    void registrationThatCannotBeWritten()
    {
        QFETCH(QString, blocked);
        // A file where a folder must be stops even root.
        QFile file(config() + blocked);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        LinuxPlatform platform(QStringLiteral("ポトラ"));

        const auto registered = platform.startupRegister(QStringLiteral("/p/potora"), QStringLiteral("/p"), QStringLiteral("i"));
        QVERIFY(!registered.ok());
        QVERIFY2(registered.error.contains(config()), qPrintable(registered.error));
    }

    void fullDiskKeepsTheEarlierEntry()
    {
        LinuxPlatform platform(QStringLiteral("ポトラ"));
        QVERIFY(platform.startupRegister(QStringLiteral("/old/potora"), QStringLiteral("/old"), QStringLiteral("i")).ok());
        const QMap<QString, QString> before = readEntry(entry());
        {
            FileSizeLimit full(64);
            QVERIFY(!platform.startupRegister(QStringLiteral("/new/potora"), QStringLiteral("/new"), QStringLiteral("i")).ok());
        }
        QCOMPARE(readEntry(entry()), before);
    }
};

QTEST_MAIN(TestAutostart)
#include "tst_autostart.moc"
