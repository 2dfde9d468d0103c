// The Linux platform: autostart entry, display server, session, one copy per folder.
#include "platform/linux/DesktopSession.h"
#include "platform/linux/LinuxAutostart.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/LinuxSingleInstance.h"
#include "platform/linux/XSettings.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QSessionManager>
#include <QSignalSpy>
#include <QSysInfo>
#include <QtTest>
#include <qtestspontaneevent.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using Outcome = SingleInstance::Outcome;


// An _XSETTINGS_SETTINGS property as a settings manager writes it: each
// setting a type (0 integer, 1 string, 2 colour), a name and a string's value.
QByteArray xsettings(bool bigEndian, const QList<std::tuple<int, QByteArray, QByteArray>> &settings, int count = -1)
{
    QByteArray bytes;
    const auto put = [&](quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += char(value >> 8 * (bigEndian ? size - 1 - i : i));
    };
    const auto pad = [&] { bytes += QByteArray((4 - bytes.size() % 4) % 4, '\0'); };
    bytes += char(bigEndian);
    bytes += QByteArray(3, '\0');
    put(7, 4);
    put(count < 0 ? quint32(settings.size()) : quint32(count), 4);
    for (const auto &[type, name, value] : settings) {
        bytes += char(type);
        bytes += '\0';
        put(quint32(name.size()), 2);
        bytes += name;
        pad();
        put(0, 4);
        if (type == 1) {
            put(quint32(value.size()), 4);
            bytes += value;
            pad();
        } else {
            bytes += QByteArray(type == 0 ? 4 : 8, '\x11');
        }
    }
    return bytes;
}

class TestLinux : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_runtime; // the sockets' folder, the test's own
    LinuxPlatform *platform = nullptr;

    QString config() const { return m_dir->path() + QStringLiteral("/config"); }
    QString entry() const { return config() + QStringLiteral("/autostart/ポトラ.desktop"); }
    // "-" unsets.
    static void setEnv(const char *name, const QString &value) { value == "-" ? qunsetenv(name) : qputenv(name, QFile::encodeName(value)); }
    Result<> registerIn(const QString &at) { return platform->startupRegister(at, at + "/set/icon.png"); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        ::umask(022);
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        setEnv("HOME", m_dir->path() + QStringLiteral("/home")); // never the real one
        setEnv("XDG_CONFIG_HOME", config());
        platform = new LinuxPlatform(QStringLiteral("ポトラ"));
    }
    void cleanup() { delete platform; }

    // Readers undo string escapes, then quoting, then "%%": a backslash takes four.
    void execLine_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("space") << "/home/u/my memos/potora" << "\"/home/u/my memos/potora\"";
        QTest::newRow("japanese") << "/home/u/ポトラ/ポトラ" << "\"/home/u/ポトラ/ポトラ\"";
        QTest::newRow("double quote") << "/x/a\"b/potora" << "\"/x/a\\\\\"b/potora\"";
        QTest::newRow("single quote") << "/x/it's/potora" << "\"/x/it's/potora\"";
        QTest::newRow("dollar") << "/x/$HOME/potora" << "\"/x/\\\\$HOME/potora\"";
        QTest::newRow("backtick") << "/x/`id`/potora" << "\"/x/\\\\`id\\\\`/potora\"";
        QTest::newRow("backslash") << "/x/a\\b/potora" << "\"/x/a\\\\\\\\b/potora\"";
        QTest::newRow("percent") << "/x/100%/%f" << "\"/x/100%%/%%f\"";
        QTest::newRow("shell signs") << "/x/a;b&c|d<e>f*?~#(/potora" << "\"/x/a;b&c|d<e>f*?~#(/potora\"";
        QTest::newRow("tab and newline") << "/x/a\tb\nc/potora" << "\"/x/a\\tb\\nc/potora\"";
    }
    void execLine()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        // As installed: no folder to start in, so the session's own is used.
        const QByteArray text = LinuxAutostart::entryText({"ポトラ", program, QString(), "potora"});
        QVERIFY2(!text.contains("\nPath=") && text.contains("\nIcon=potora\n"), text.constData());
        QCOMPARE(QString::fromUtf8(text).section(QStringLiteral("\nExec="), 1).section(u'\n', 0, 0), exec);
    }

    void whereTheEntryGoes_data()
    {
        QTest::addColumn<QString>("xdgConfig"); // "-" unset; @ the temporary folder
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected"); // "" none can be formed
        QTest::newRow("XDG_CONFIG_HOME, folders made") << "@/new/config" << "@/home" << "@/new/config/autostart";
        QTest::newRow("unset: ~/.config") << "-" << "@/home" << "@/home/.config/autostart";
        QTest::newRow("relative is ignored") << "config" << "@/home" << "@/home/.config/autostart";
        QTest::newRow("no home at all") << "-" << "-" << "";
    }
    void whereTheEntryGoes()
    {
        QFETCH(QString, xdgConfig);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        setEnv("XDG_CONFIG_HOME", xdgConfig.replace(u'@', m_dir->path()));
        setEnv("HOME", home.replace(u'@', m_dir->path()));
        const QString folder = expected.replace(u'@', m_dir->path());
        // The second replaces the first, and nothing else is left there.
        QCOMPARE(registerIn(QStringLiteral("/old")).ok() && registerIn(QStringLiteral("/new place")).ok(), !folder.isEmpty());
        QFile file(folder + QStringLiteral("/ポトラ.desktop"));
        QCOMPARE(file.open(QIODevice::ReadOnly) && file.readAll().contains("\nPath=/new place\n"), !folder.isEmpty());
        if (!folder.isEmpty())
            QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList{"ポトラ.desktop"});
        QCOMPARE(removalOf(platform->startupRemove()), folder.isEmpty() ? Removal::NotRegistered : Removal::Removed);
        QCOMPARE(removalOf(platform->startupRemove()), Removal::NotRegistered); // it is gone
    }

    void registrationThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("blocked"); // a file made here, in place of the folders above it; "-" a full disk
        QTest::addColumn<Removal>("removal"); // what removing the entry then does
        QTest::newRow("autostart is a file") << "/autostart" << Removal::NotRegistered;
        QTest::newRow("config is a file") << "" << Removal::NotRegistered;
        QTest::newRow("a folder in the entry's place") << "/autostart/ポトラ.desktop/inside" << Removal::Failed;
        QTest::newRow("full disk") << "-" << Removal::Removed;
    }
    void registrationThatCannotBeWritten()
    {
        QFETCH(QString, blocked);
        QFETCH(Removal, removal);
        QVERIFY(registerIn(QStringLiteral("/earlier")).ok());
        const bool full = blocked == "-";
        if (!full) {
            QVERIFY(QDir(config()).removeRecursively());
            QFile file(config() + blocked);
            QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
        }
        auto limit = full ? std::make_unique<FullDisk>(64) : nullptr; // the first bytes go, the rest are refused
        const Result<> registered = registerIn(QStringLiteral("/p"));
        limit.reset();
        QVERIFY2(!registered.ok() && registered.error.contains(config()), qPrintable(registered.error));
        // An earlier entry stays as it was.
        QFile file(entry());
        QCOMPARE(file.open(QIODevice::ReadOnly) && file.readAll().contains("\nPath=/earlier\n"), full);
        QCOMPARE(removalOf(platform->startupRemove()), removal);
        QCOMPARE(QFileInfo::exists(entry()), removal == Removal::Failed);
    }

    void waylandRunsThroughXWayland_data()
    {
        QTest::addColumn<QStringList>("env"); // QT_QPA_PLATFORM, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY
        QTest::addColumn<QString>("platform");
        QTest::newRow("WAYLAND_DISPLAY") << QStringList{"-", "wayland-0", "-", ":0"} << "xcb";
        QTest::newRow("session type") << QStringList{"-", "-", "wayland", ":0"} << "xcb";
        QTest::newRow("X11 session") << QStringList{"-", "-", "x11", ":0"} << "";
        QTest::newRow("no X server beside Wayland") << QStringList{"-", "wayland-0", "wayland", "-"} << "";
        QTest::newRow("user's choice") << QStringList{"wayland", "wayland-0", "wayland", ":0"} << "wayland";
    }
    void waylandRunsThroughXWayland()
    {
        QFETCH(QStringList, env);
        QFETCH(QString, platform);
        const char *names[] = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DISPLAY"};
        for (int i = 0; i < 4; ++i)
            setEnv(names[i], env[i]);
        DesktopSession::preferX11();
        QCOMPARE(qEnvironmentVariable("QT_QPA_PLATFORM"), platform);
    }

    // A checkpoint (saving without logging off) only saves; the session's last
    // word reaches the application as a quit, which the program carries out.
    void aCheckpointOnlySavesTheEndEndsTheRun()
    {
        QSignalSpy saving(platform, &Platform::sessionSaving), ending(platform, &Platform::sessionEnding);
        auto *manager = qApp->findChild<QSessionManager *>();
        QVERIFY(manager);
        emit qApp->commitDataRequest(*manager);
        QCOMPARE(saving.count() * 10 + ending.count(), 10);
        QEvent quit(QEvent::Quit);
        QSpontaneKeyEvent::setSpontaneous(&quit);
        QVERIFY(qApp->notify(qApp, &quit));
        QCOMPARE(ending.count(), 1);
    }

    // The settings manager is another program: its bytes are read, never trusted.
    void soundThemeFromTheSettingsManager_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QString>("theme");
        const QByteArray name = "Net/SoundThemeName";
        const QList<std::tuple<int, QByteArray, QByteArray>> settings{
            {0, "Net/DoubleClickTime", {}}, {2, "Gtk/Colour", {}}, {1, "Net/ThemeName", "Adwaita"}, {1, name, "loud"}};
        const QByteArray little = xsettings(false, settings);
        QTest::newRow("after an integer, a colour and another string") << little << "loud";
        QTest::newRow("the other byte order") << xsettings(true, settings) << "loud";
        QTest::newRow("no such setting") << xsettings(false, {settings[0], settings[2]}) << "";
        QTest::newRow("cut short in its value") << little.chopped(3) << "";
        QTest::newRow("more settings counted than there are") << xsettings(false, {settings[0]}, 9) << "";
        QTest::newRow("a length beyond the end") << xsettings(false, {{1, name, "x"}}).replace(40, 4, "\xff\xff\xff\x7f") << "";
        QTest::newRow("a type there is none of") << xsettings(false, {{5, "Odd/Thing", {}}, settings[3]}) << "";
        QTest::newRow("nothing") << QByteArray() << "";
    }
    void soundThemeFromTheSettingsManager()
    {
        QFETCH(QByteArray, property);
        QFETCH(QString, theme);
        QCOMPARE(XSettings::string(property, "Net/SoundThemeName"), theme);
    }

    // One copy per data folder. What a crash leaves must not stop the next start, which then answers
    // the start after it; a copy of another folder runs beside it untouched. A hung copy still holds
    // its lock: the start says so and takes nothing.
    void nextStart_data()
    {
        const QByteArray deadOwner = "2147483000\npotora\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        QTest::addColumn<QByteArray>("lockLeft"); // null: no lock file
        QTest::addColumn<bool>("socketLeft");
        QTest::addColumn<bool>("hung");
        QTest::newRow("nothing left") << QByteArray() << false << false;
        QTest::newRow("lock file") << deadOwner << false << false;
        QTest::newRow("socket file") << QByteArray() << true << false;
        QTest::newRow("both") << deadOwner << true << false;
        QTest::newRow("a hung copy's lock") << deadOwner << true << true;
    }
    void nextStart()
    {
        QFETCH(QByteArray, lockLeft);
        QFETCH(bool, socketLeft);
        QFETCH(bool, hung);
        QTemporaryDir folder, otherFolder;
        QFile lock(LinuxSingleInstance::lockPath(folder.path())), socket(LinuxSingleInstance::serverPath(folder.path()));
        QVERIFY(lockLeft.isNull() || (lock.open(QIODevice::WriteOnly) && lock.write(lockLeft) == lockLeft.size()));
        QVERIFY(!socketLeft || socket.open(QIODevice::WriteOnly));
        QVERIFY(!hung || ::flock(lock.handle(), LOCK_EX | LOCK_NB) == 0);
        if (hung) {
            QCOMPARE(LinuxSingleInstance(folder.path(), 300).claim(), Outcome::Unreachable);
            return;
        }
        lock.close();

        LinuxSingleInstance other(otherFolder.path());
        QCOMPARE(other.claim(), Outcome::First);
        QSignalSpy otherAsked(&other, &SingleInstance::showRequested);
        QElapsedTimer took;
        took.start();
        LinuxSingleInstance next(folder.path(), 60000);
        QCOMPARE(next.claim(), Outcome::First);
        QVERIFY2(took.elapsed() < 5000, "the start waited for a dead copy");
        if (lockLeft.isNull()) // one it made is its user's alone
            QCOMPARE(lock.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        QSignalSpy asked(&next, &SingleInstance::showRequested);
        auto later = std::async(std::launch::async, [&folder] { return LinuxSingleInstance(folder.path(), 2000).claim(); });
        QVERIFY(QTest::qWaitFor([&] { return later.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 20000));
        QCOMPARE(later.get(), Outcome::Handed);
        QCOMPARE(asked.count(), 1);
        QCOMPARE(otherAsked.count(), 0);
    }
};

QTEST_MAIN(TestLinux)
#include "tst_linux.moc"
