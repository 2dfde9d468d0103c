// The Linux platform: the autostart entry in a temporary XDG_CONFIG_HOME, the
// help viewer, the display server chosen, and the session manager's words.
#include "platform/linux/DesktopSession.h"
#include "platform/linux/HelpViewer.h"
#include "platform/linux/LinuxAutostart.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QSessionManager>
#include <QTextBrowser>
#include <QtTest>
#include <qtestspontaneevent.h>

using Removal = Platform::Removal;

class TestLinux : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    LinuxPlatform *platform = nullptr;

    QString config() const { return m_dir->path() + QStringLiteral("/config"); }
    QString entry() const { return config() + QStringLiteral("/autostart/ポトラ.desktop"); }
    static void setEnv(const char *name, const QString &value) // "-": unset
    {
        value == QStringLiteral("-") ? qunsetenv(name) : qputenv(name, QFile::encodeName(value));
    }
    Written registerIn(const QString &folder)
    {
        return platform->startupRegister(folder + QStringLiteral("/potora"), folder, folder + QStringLiteral("/set/icon.png"));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        setEnv("HOME", m_dir->path() + QStringLiteral("/home")); // never the real one
        setEnv("XDG_CONFIG_HOME", config());
        platform = new LinuxPlatform(QStringLiteral("ポトラ"));
    }
    void cleanup() { delete platform; }

    // Readers undo the string escapes first, then the quoting, then "%%",
    // so a literal backslash takes four.
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
        const QString text = QString::fromUtf8(LinuxAutostart::entryText({"ポトラ", program, "/data", "/data/icon.png"}));
        QCOMPARE(text.section(QStringLiteral("\nExec="), 1).section(u'\n', 0, 0), exec);
    }

    // The installed program starts where the session starts programs.
    void installedEntry()
    {
        const QByteArray text = LinuxAutostart::entryText({"ポトラ", "/usr/bin/potora", QString(), "potora"});
        QVERIFY2(!text.contains("\nPath=") && text.contains("\nIcon=potora\n"), text.constData());
    }

    void whereTheEntryGoes_data()
    {
        QTest::addColumn<QString>("xdgConfig"); // "-" unset; @ the temporary folder
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected"); // "" none can be formed
        QTest::newRow("XDG_CONFIG_HOME") << "@/config" << "@/home" << "@/config/autostart";
        QTest::newRow("missing folders are made") << "@/new/deep" << "@/home" << "@/new/deep/autostart";
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
        const QString path = expected.replace(u'@', m_dir->path()) + QStringLiteral("/ポトラ.desktop");
        QCOMPARE(registerIn(QStringLiteral("/p")).ok(), !expected.isEmpty());
        QCOMPARE(QFile::exists(path), !expected.isEmpty());
        QCOMPARE(platform->startupRemove().outcome, expected.isEmpty() ? Removal::NotRegistered : Removal::Removed);
        QVERIFY(!QFile::exists(path));
    }

    void removal_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<Removal>("outcome");
        QTest::newRow("registered twice") << "entry" << Removal::Removed;
        QTest::newRow("absent") << "nothing" << Removal::NotRegistered;
        QTest::newRow("no autostart folder") << "no folder" << Removal::NotRegistered;
        QTest::newRow("cannot delete") << "folder in the way" << Removal::Failed;
    }
    void removal()
    {
        QFETCH(QString, before);
        QFETCH(Removal, outcome);
        if (before != QStringLiteral("no folder"))
            QVERIFY(QDir().mkpath(config() + QStringLiteral("/autostart")));
        if (before == QStringLiteral("entry")) {
            // The second replaces the first, and nothing else is left there.
            QVERIFY(registerIn(QStringLiteral("/old")).ok() && registerIn(QStringLiteral("/new place")).ok());
            QFile file(entry());
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains("\nPath=/new place\n"));
            QCOMPARE(QDir(config() + QStringLiteral("/autostart")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                     QStringList{QStringLiteral("ポトラ.desktop")});
        }
        if (before == QStringLiteral("folder in the way"))
            QVERIFY(QDir().mkpath(entry() + QStringLiteral("/inside")));
        const Platform::Removed removed = platform->startupRemove();
        QCOMPARE(removed.outcome, outcome);
        QCOMPARE(removed.reason.isEmpty(), outcome != Removal::Failed);
        QCOMPARE(QFileInfo::exists(entry()), outcome == Removal::Failed);
    }

    void registrationThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("blocked"); // a plain file where a folder must be
        QTest::addColumn<int>("sizeLimit");   // a disk that fills up after so many bytes
        QTest::newRow("autostart is a file") << "/autostart" << 0;
        QTest::newRow("config is a file") << "" << 0;
        QTest::newRow("full disk") << "-" << 64;
    }
    void registrationThatCannotBeWritten()
    {
        QFETCH(QString, blocked);
        QFETCH(int, sizeLimit);
        QVERIFY(registerIn(QStringLiteral("/earlier")).ok());
        if (blocked != QStringLiteral("-")) {
            QVERIFY(QDir(config()).removeRecursively());
            QFile file(config() + blocked);
            QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
        }
        std::unique_ptr<FileSizeLimit> full(sizeLimit ? new FileSizeLimit(sizeLimit) : nullptr);
        const Written registered = registerIn(QStringLiteral("/p"));
        full.reset();
        QVERIFY2(!registered.ok() && registered.error.contains(config()), qPrintable(registered.error));
        // An earlier entry stays as it was.
        QFile file(entry());
        QCOMPARE(file.open(QIODevice::ReadOnly) && file.readAll().contains("\nPath=/earlier\n"), sizeLimit > 0);
    }

    void oneHelpViewerUntilClosed()
    {
        QTemporaryDir dir;
        QFile page(dir.path() + QStringLiteral("/help.html"));
        const auto write = [&page](const char *body) {
            QVERIFY(page.open(QIODevice::WriteOnly | QIODevice::Truncate));
            page.write(QByteArray("<html><head><title>ポトラ ヘルプ</title></head><body>") + body + "</body></html>");
            page.close();
        };
        write("first");
        const QUrl url = QUrl::fromLocalFile(page.fileName());
        platform->showHelp(url);
        HelpViewer *first = platform->helpViewer();
        QVERIFY(first && first->isVisible());
        first->showMinimized();
        write("second");
        // A second request brings the same viewer up, reading the page anew.
        platform->showHelp(url);
        QCOMPARE(platform->helpViewer(), first);
        QVERIFY(!first->isMinimized() && first->browser()->toPlainText() == QStringLiteral("second"));
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QVERIFY(!platform->helpViewer());
        platform->showHelp(url);
        QVERIFY(platform->helpViewer() && platform->helpViewer() != first);
        QTimer::singleShot(0, platform, [this] { platform->quitProgram(); });
        // Should the quit not end the loop, this ends it with a failing status.
        QTimer::singleShot(10000, [] { QCoreApplication::exit(3); });
        QCOMPARE(QApplication::exec(), 0);
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

    void aCheckpointOnlySavesTheEndEndsTheRun()
    {
        QSignalSpy saving(platform, &Platform::sessionSaving);
        QSignalSpy ending(platform, &Platform::sessionEnding);
        // A desktop saving its session without logging off.
        auto *manager = qApp->findChild<QSessionManager *>();
        QVERIFY(manager);
        emit qApp->commitDataRequest(*manager);
        QCOMPARE(saving.count() * 10 + ending.count(), 10);
        // The session manager's last word reaches the application as a quit,
        // which the program carries out itself.
        QEvent quit(QEvent::Quit);
        QSpontaneKeyEvent::setSpontaneous(&quit);
        QVERIFY(qApp->notify(qApp, &quit));
        QCOMPARE(ending.count(), 1);
    }
};

QTEST_MAIN(TestLinux)
#include "tst_linux.moc"
