#pragma once

#include "app/Program.h"
#include "main/Main.h"
#include "platform/fake/FakePlatform.h"
#include "store/DataFolder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <functional>

// A fresh data folder in a temporary directory, laid out as at a first
// start, with helpers to read and plant raw file bytes.
class TestFolder
{
    QTemporaryDir m_dir; // first: the folder exists before `data` names it

public:
    explicit TestFolder(const QString &disk = QString()); // on that disk, or in the temporary folder

    DataFolder data{m_dir.path()};
    // Runs before the files are looked at or changed by hand: what the
    // program handed over to be written is on disk by then.
    std::function<void()> beforeLooking = [] {};

    QByteArray bytes(const QString &relative) const;
    void plant(const QString &relative, const QByteArray &bytes) const;
    // Replaces a file by a folder of the same name: every write to it fails.
    void breakFile(const QString &relative) const;
    void mendFile(const QString &relative) const;

    // Main's stored place: left, top, width and height, as text values.
    void plantGeometry(const QByteArrayList &texts) const;
    QByteArray geometryBytes() const;

    // The bytes a text value of the program has.
    static QByteArray textBytes(const QByteArray &sjis) { return '"' + sjis + "\"\r\n"; }
    static QByteArray textBytes(const QString &text) { return textBytes(sjis(text)); }
    // By the system's own converter, not the program's.
    static QByteArray sjis(const QString &text);
};

// While it lives the disk is full: a new file takes `bytes`, and a write
// past that point is cut short. Linux limits the process's file size, on any
// disk; Windows fills the disk POTORA_SMALL_DISK names but for `bytes`. Only
// where unsupported(Need::FullDisk) says nothing.
class FullDisk
{
public:
    explicit FullDisk(qint64 bytes);
    ~FullDisk();

private:
    qint64 m_old[2] = {-1, -1}; // Linux: the limit it replaced, and its ceiling
};

// What a test may need of the system it runs on.
enum class Need {
    FullDisk,
    SymbolicLinks,
    Pipes,       // a named pipe in a file's place
    Permissions, // permission bits and the umask
    TimeZones,   // a zone chosen by TZ for the run
};
// Why the system cannot do it, as the reason a test gives for skipping;
// null where it can.
const char *unsupported(Need need);

// The system's own file calls the tests need, where unsupported() says nothing.
namespace TestSystem {
// A named pipe at `path`, in place of what is there.
bool makePipe(const QString &path);
// A file's permission bits, as ls shows them (0600).
unsigned mode(const QString &path);
// Sets the umask, and gives the one it replaces.
unsigned umask(unsigned mask);
} // namespace TestSystem

// How removing the start at log-on went, for tables of cases: the platform's two answers, or a failure.
enum class Removal { Removed = int(Platform::Removal::Removed), NotRegistered = int(Platform::Removal::NotRegistered), Failed = -1 };
inline Removal removalOf(const Result<Platform::Removal> &removed) { return removed.ok() ? Removal(removed.value) : Removal::Failed; }

// The program over a TestFolder, with the fake platform.
class TestProgram
{
public:
    TestProgram() { folder.beforeLooking = [this] { values.flush(-1); }; }
    ~TestProgram() { windows.unloadAll(); }
    // Everything handed over is written and every report is out.
    void settle()
    {
        values.flush(-1);
        QCoreApplication::processEvents();
    }
    // The message boxes shown so far, once every report is out.
    QStringList messages()
    {
        settle();
        return platform.entries(QStringLiteral("message:"));
    }
    Main *showMain() { return static_cast<Main *>(windows.show(WindowId::Main)); }

    TestFolder folder;
    FakePlatform platform;
    Program program{folder.data, platform, ProgramPlaces::decide(folder.data.root(), true, true, QString())};
    Values &values = program.values;
    Windows &windows = program.windows;
};
