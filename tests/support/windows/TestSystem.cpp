// The tests' helpers that differ by system: Windows.
#include "support/TestFolder.h"

#include <QFile>

#include <windows.h>

QByteArray TestFolder::sjis(const QString &text)
{
    // Qt on Windows converts only UTF and Latin-1 without ICU; this is
    // Windows' own table, with its best fits, which the tests' texts never need.
    if (text.isEmpty())
        return QByteArray();
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    const int written = WideCharToMultiByte(932, 0, wide, int(text.size()), bytes.data(), int(bytes.size()), nullptr, nullptr);
    bytes.truncate(written > 0 ? written : 0);
    return bytes;
}

static QString smallDisk() { return qEnvironmentVariable("POTORA_SMALL_DISK"); }

FullDisk::FullDisk(qint64 bytes)
{
    // Filled a page at a time, as a tmpfs counts them, then `bytes` given back.
    QFile file(smallDisk() + QStringLiteral("/filler"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        while (file.write(QByteArray(4096, 'f')) == 4096) {}
    file.resize(std::max<qint64>(0, file.size() - bytes));
}
FullDisk::~FullDisk() { QFile::remove(smallDisk() + QStringLiteral("/filler")); }

const char *unsupported(Need need)
{
    switch (need) {
    case Need::FullDisk: {
        // No limit of a process's file size here, as Linux's RLIMIT_FSIZE: a disk of a few MB is filled instead.
        const std::wstring disk = smallDisk().toStdWString();
        ULARGE_INTEGER size{};
        if (!disk.empty() && GetDiskFreeSpaceExW(disk.c_str(), nullptr, &size, nullptr) && size.QuadPart < 64 << 20)
            return nullptr;
        return "no small disk to fill in POTORA_SMALL_DISK: a tmpfs that only root can mount (tests/CMakeLists.txt)";
    }
    case Need::Pipes:
        return "a named pipe cannot stand in a file's place on Windows";
    case Need::Permissions:
        return "Windows gives a file its folder's access list, not permission bits";
    case Need::TimeZones:
        return "Windows takes its time zone from its settings, not from TZ";
    case Need::SymbolicLinks:
        return "a symbolic link needs administrator rights or developer mode on Windows, "
               "and QFile::link makes a shortcut (.lnk) instead";
    }
    return nullptr;
}

namespace TestSystem {
bool makePipe(const QString &) { return false; }
unsigned mode(const QString &) { return 0; }
unsigned umask(unsigned) { return 0; }
} // namespace TestSystem
