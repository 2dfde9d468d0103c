// The tests' helpers that differ by system: Windows.
#include "support/TestFolder.h"

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

FileSizeLimit::FileSizeLimit(qint64) {}
FileSizeLimit::~FileSizeLimit() = default;

namespace Unsupported {
const char *fileSizeLimit()
{
    return "Windows limits no process's file size (Linux's RLIMIT_FSIZE); "
           "the full disk is tested on Linux";
}
const char *pipes() { return "a named pipe cannot stand in a file's place on Windows"; }
const char *permissions() { return "Windows gives a file its folder's access list, not permission bits"; }
const char *timeZones() { return "Windows takes its time zone from its settings, not from TZ"; }
const char *symbolicLinks()
{
    return "a symbolic link needs administrator rights or developer mode on Windows, "
           "and QFile::link makes a shortcut (.lnk) instead";
}
} // namespace Unsupported

namespace TestSystem {
bool makePipe(const QString &) { return false; }
unsigned mode(const QString &) { return 0; }
unsigned umask(unsigned) { return 0; }
} // namespace TestSystem
