// The Windows platform and store: the data folder, the Startup shortcut (read
// back with lnkinfo, independently of Windows' own code), one running copy per
// folder, files that are no files, Japanese paths, the session's end, the clock.
#include "platform/SystemStart.h"
#include "platform/windows/StartupShortcut.h"
#include "platform/windows/WindowsPlatform.h"
#include "platform/windows/WindowsSingleInstance.h"
#include "store/DataFolder.h"
#include "store/FileSystem.h"
#include "store/ValueFile.h"
#include "store/ValueFiles.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>
#include <windows.h>

namespace {

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

// The Linux path of a Windows one, under Wine.
QString unixPath(const QString &path)
{
    using UnixName = char *(CDECL *)(const wchar_t *);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char *name = unixName ? unixName(native(path).toStdWString().c_str()) : nullptr;
    const QString result = name ? QString::fromUtf8(name) : QString();
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// What lnkinfo, a Linux program that Wine starts like any other, reads in a
// shortcut: its fields by name. Wine cannot wait for a Linux program, which
// writes its report under another name and renames it when it is done.
QMap<QString, QString> readShortcut(const QString &path)
{
    QMap<QString, QString> fields;
    QTemporaryDir dir;
    const QString report = dir.filePath(QStringLiteral("lnkinfo.txt"));
    // Its plain strings are in the ANSI code page, 932 on a Japanese Windows.
    const QString script = QStringLiteral("lnkinfo -c windows-932 \"$0\" > \"$1.part\" 2>&1; mv \"$1.part\" \"$1\"");
    // Split into arguments as Windows splits a command line.
    const auto quoted = [](QString argument) { return u'"' + argument.replace(u'"', QStringLiteral("\\\"")) + u'"'; };
    std::wstring command = QStringLiteral("sh -c %1 %2 %3")
                               .arg(quoted(script), quoted(unixPath(path)), quoted(unixPath(report)))
                               .toStdWString();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return fields;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    QFile text(report);
    if (!QTest::qWaitFor([&] { return text.exists(); }, 10000) || !text.open(QIODevice::ReadOnly))
        return fields;
    for (const QString &line : QString::fromUtf8(text.readAll()).split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0)
            fields[line.left(colon).trimmed()] = line.mid(colon + 1).trimmed();
    }
    return fields;
}

bool underWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT
private slots:
    // The folder of the executable, whatever the current directory, with the
    // files it ships beside it.
    void dataFolderIsTheProgramsFolder()
    {
        QTemporaryDir elsewhere;
        const QString before = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        SystemStart system(QStringLiteral("ポトラ"));
        const ProgramPlaces places = system.places();
        QDir::setCurrent(before);
        const QString folder = QCoreApplication::applicationDirPath();
        QCOMPARE(system.platform().executablePath(), QCoreApplication::applicationFilePath());
        QCOMPARE(QStringList({places.data, places.help, places.startIn, places.icon}),
                 QStringList({folder, folder + "/help.html", folder, folder + "/set/icon.ico"}));
    }

    // "ポトラ.lnk" in the Startup folder starts ポトラ.exe beside the program,
    // whatever this copy is called, in the data folder, with its icon.
    void startupShortcut()
    {
        if (!underWine())
            QSKIP("lnkinfo, which reads the shortcut back, is a Linux program run through Wine");
        WindowsPlatform platform(QStringLiteral("ポトラ"));
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/山田のメモ/ポトラ");
        QVERIFY(QDir().mkpath(folder));
        const QString shortcut = StartupShortcut::path();
        QVERIFY2(shortcut.endsWith(QStringLiteral("/Startup/ポトラ.lnk"), Qt::CaseInsensitive), qPrintable(shortcut));
        QVERIFY(platform.startupRegister(dir.path(), "x.ico").ok());
        QVERIFY(platform.startupRegister(folder, folder + "/set/icon.ico").ok());
        const QMap<QString, QString> fields = readShortcut(shortcut);
        QVERIFY2(!fields.isEmpty(), "lnkinfo read nothing");
        QCOMPARE(fields.value("Local path"), native(folder + QStringLiteral("/ポトラ.exe")));
        QCOMPARE(fields.value("Working directory"), native(folder));
        QCOMPARE(fields.value("Icon location"), native(folder + QStringLiteral("/set/icon.ico")));
        QCOMPARE(removalOf(platform.startupRemove()), Removal::Removed);
        QVERIFY(!QFileInfo::exists(shortcut));
        QCOMPARE(removalOf(platform.startupRemove()), Removal::NotRegistered);
        // Something in the shortcut's place that cannot be deleted: said so, not "never registered".
        QVERIFY(QDir().mkpath(shortcut));
        QVERIFY(!platform.startupRegister(folder, folder + "/set/icon.ico").ok());
        const Result<Platform::Removal> removed = platform.startupRemove();
        QVERIFY(QDir().rmdir(shortcut));
        QCOMPARE(removalOf(removed), Removal::Failed);
        QVERIFY2(removed.error.contains(QStringLiteral("ポトラ.lnk")), qPrintable(removed.error));
    }

    // A later start hands over to the first and goes; another folder runs
    // beside it; a copy that holds the folder but does not answer is never
    // robbed, and one that ended without letting go leaves it free.
    void oneCopyPerFolder()
    {
        QTemporaryDir folder, other;
        WindowsSingleInstance first(folder.path());
        QCOMPARE(first.claim(), SingleInstance::Outcome::First);
        QSignalSpy asked(&first, &SingleInstance::showRequested);
        QCOMPARE(WindowsSingleInstance(folder.path().toUpper()).claim(), SingleInstance::Outcome::Handed);
        QCOMPARE(WindowsSingleInstance(native(folder.path()) + u'\\').claim(), SingleInstance::Outcome::Handed);
        QVERIFY(asked.wait(5000));
        QCOMPARE(asked.count(), 2);
        WindowsSingleInstance beside(other.path());
        QCOMPARE(beside.claim(), SingleInstance::Outcome::First);

        QTemporaryDir hung, crashed;
        const auto holdMutex = [](const QString &root, bool hang, HANDLE &done) {
            const std::wstring name = (QStringLiteral("Local\\") + WindowsSingleInstance::nameFor(root)).toStdWString();
            HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
            SetEvent(done);
            if (hang)
                Sleep(3000);
            return mutex; // left open and owned: the thread ends without letting go
        };
        HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr), ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread holder([&] { holdMutex(hung.path(), true, held); });
        std::thread quitter([&] { holdMutex(crashed.path(), false, ended); });
        quitter.join();
        WaitForSingleObject(held, 5000);
        QElapsedTimer took;
        took.start();
        QCOMPARE(WindowsSingleInstance(hung.path(), 300).claim(), SingleInstance::Outcome::Unreachable);
        QVERIFY(took.elapsed() >= 300);
        QCOMPARE(WindowsSingleInstance(crashed.path(), 300).claim(), SingleInstance::Outcome::First);
        holder.join();
        CloseHandle(held);
        CloseHandle(ended);
    }

    // A pipe, a device or a folder where a value file should be is refused,
    // at once, and left as it is.
    void whatIsNoFileIsRefused_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<FileSystem::Kind>("kind");
        QTest::newRow("named pipe") << QStringLiteral("//./pipe/potora-test") << FileSystem::Kind::Other;
        QTest::newRow("device NUL") << QStringLiteral("//./NUL") << FileSystem::Kind::Other;
        QTest::newRow("folder") << QDir::tempPath() << FileSystem::Kind::Folder;
    }
    void whatIsNoFileIsRefused()
    {
        QFETCH(QString, path);
        QFETCH(FileSystem::Kind, kind);
        // Nobody ever writes to the pipe: reading it would wait for good.
        HANDLE pipe = CreateNamedPipeW(L"\\\\.\\pipe\\potora-test", PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 4, 512, 512, 0, nullptr);
        QVERIFY(pipe != INVALID_HANDLE_VALUE);
        QElapsedTimer took;
        took.start();
        QCOMPARE(FileSystem::kindOf(path), kind);
        const Result<QByteArray> read = FileSystem::read(path, 1024);
        QVERIFY2(!read.ok() && read.value.isEmpty(), qPrintable(read.error));
        QVERIFY2(!FileSystem::replace(path, "x").ok(), qPrintable(path));
        QVERIFY(took.elapsed() < 2000);
        CloseHandle(pipe);
        QVERIFY(QFileInfo(QDir::tempPath()).isDir());
    }

    // Wide paths throughout: every store test runs under C:\users\山田\ too;
    // these are what Windows paths add: a name in other letter case or with
    // backslashes is the same file, and a kept copy holds the bytes.
    void windowsPaths()
    {
        TestFolder folder;
        const QString memo = folder.data.absolute(ValueFiles::memo(3)), copy = memo + QStringLiteral(".kept");
        QVERIFY(folder.data.writeTextValue(ValueFiles::memo(3), QStringLiteral("会議は火曜")).ok());
        QVERIFY(FileSystem::linkOrCopy(memo, copy).ok() && !FileSystem::linkOrCopy(memo, copy).ok()); // never over a file
        QCOMPARE(FileSystem::read(copy, 1024).value, TestFolder::textBytes(TestFolder::sjis(QStringLiteral("会議は火曜"))));
        QVERIFY(FileSystem::sameFile(memo, QDir::toNativeSeparators(memo).toUpper()));
        QVERIFY(!FileSystem::makeFolder(memo + "/inside").ok());
    }

    // WM_ENDSESSION ends the run within the message; a session that goes
    // on after all (wParam FALSE) ends nothing. A marker posted after each
    // message says when it has been taken from the queue.
    void theSessionsEnd()
    {
        struct Marker : QAbstractNativeEventFilter {
            bool seen = false;
            bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
            {
                seen = seen || static_cast<MSG *>(message)->message == WM_APP + 7;
                return false;
            }
        } marker;
        QCoreApplication::instance()->installNativeEventFilter(&marker);
        WindowsPlatform platform(QStringLiteral("ポトラ"));
        QSignalSpy ending(&platform, &Platform::sessionEnding);
        const auto post = [](UINT message, WPARAM ends) {
            return PostThreadMessageW(GetCurrentThreadId(), message, ends, ENDSESSION_LOGOFF);
        };
        const auto taken = [&] { return !(marker.seen = false) && post(WM_APP + 7, 0) && QTest::qWaitFor([&] { return marker.seen; }); };
        QVERIFY(post(WM_ENDSESSION, FALSE) && taken());
        QCOMPARE(ending.count(), 0);
        QVERIFY(post(WM_ENDSESSION, TRUE) && post(WM_ENDSESSION, TRUE) && taken());
        QCOMPARE(ending.count(), 1);
        QCoreApplication::instance()->removeNativeEventFilter(&marker);
    }

    // Milliseconds, as the timer memo check counts them: half a second is no
    // five thousand, nor five, even where a busy Wine stalls the sleep.
    void bootClockRunsInMilliseconds()
    {
        WindowsPlatform platform(QStringLiteral("ポトラ"));
        const qint64 first = platform.bootClockMs();
        Sleep(500);
        const qint64 slept = platform.bootClockMs() - first;
        QVERIFY2(slept >= 250 && slept <= 4000, qPrintable(QString::number(slept)));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
