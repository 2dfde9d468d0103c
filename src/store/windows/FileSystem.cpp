#include "store/FileSteps.h"
#include "store/FileSystem.h"
#include "store/SystemError.h"
#include "store/Texts.h"

#include <QDir>

#include <windows.h>

namespace {

using FileSystem::Kind;

// Win32 takes paths as UTF-16 with backslashes, which a QString holds as it is.
std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Closes its handle however the scope is left.
class Handle
{
public:
    explicit Handle(HANDLE handle)
        : m_handle(handle)
    {
    }
    ~Handle()
    {
        if (valid())
            CloseHandle(m_handle);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    // Closed here and checked: a write can fail as late as the close.
    bool close()
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

private:
    HANDLE m_handle;
};

// Opens what the path names, a symbolic link followed, asking for
// `access`; a folder opens too, so that it can be told from a file.
// Sharing everything: an editor or the indexer may hold the file open.
HANDLE openExisting(const std::wstring &path, DWORD access)
{
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// What an open handle names. A pipe, a console or a device such as NUL or
// COM1 is no disk file, whatever its name.
Kind kindOfHandle(HANDLE handle, BY_HANDLE_FILE_INFORMATION *info = nullptr)
{
    BY_HANDLE_FILE_INFORMATION own{};
    BY_HANDLE_FILE_INFORMATION &details = info ? *info : own;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &details))
        return Kind::Other;
    return details.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? Kind::Folder : Kind::File;
}

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
}

Result<> writeWhole(HANDLE file, const char *next, qint64 left)
{
    while (left > 0) {
        const DWORD chunk = DWORD(std::min<qint64>(left, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(file, next, chunk, &written, nullptr))
            return {SystemError::last()};
        if (written == 0)
            return {SystemError::of(ERROR_DISK_FULL)};
        next += written;
        left -= written;
    }
    return {};
}

// Whether two open files are one and the same: the same file on the same volume.
bool sameFile(const BY_HANDLE_FILE_INFORMATION &one, const BY_HANDLE_FILE_INFORMATION &other)
{
    return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber && one.nFileIndexHigh == other.nFileIndexHigh
        && one.nFileIndexLow == other.nFileIndexLow;
}

// The path a replace writes to: a symbolic link keeps pointing where it
// did, and the file it points to is replaced.
std::wstring replaceTarget(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    Handle target(openExisting(path, 0));
    wchar_t resolved[MAX_PATH * 4];
    const DWORD length = target.valid()
        ? GetFinalPathNameByHandleW(target.get(), resolved, DWORD(std::size(resolved)), FILE_NAME_NORMALIZED)
        : 0;
    if (length == 0 || length >= std::size(resolved))
        return path;
    return std::wstring(resolved, length);
}

// The rename that makes a replace: the file is whole under its name or not
// at all, and WRITE_THROUGH returns once the new name is on the disk, which
// is what syncing the folder does on Linux.
bool moveIntoPlace(const std::wstring &from, const std::wstring &to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace

namespace FileSystem {

Kind kindOf(const QString &path)
{
    Handle handle(openExisting(native(path), 0));
    if (!handle.valid())
        return isMissing(GetLastError()) ? Kind::Missing : Kind::File;
    return kindOfHandle(handle.get());
}

Result<QByteArray> read(const QString &path, qint64 limit)
{
    Result<QByteArray> result;
    // Opening never waits, even for a pipe; what is not a disk file is
    // refused before a byte is read, as reading a pipe or a device could.
    Handle file(openExisting(native(path), GENERIC_READ));
    if (!file.valid()) {
        result.error = SystemError::last();
        return result;
    }
    LARGE_INTEGER size{};
    switch (kindOfHandle(file.get())) {
    case Kind::Folder:
        result.error = Texts::folderInTheWay();
        return result;
    case Kind::File:
        break;
    default:
        result.error = Texts::notAPlainFile();
        return result;
    }
    if (!GetFileSizeEx(file.get(), &size)) {
        result.error = SystemError::last();
        return result;
    }
    if (size.QuadPart > limit) {
        result.error = Texts::tooLargeToRead(size.QuadPart, limit);
        return result;
    }
    // The file may grow while it is read: never beyond the limit.
    QByteArray bytes(qsizetype(size.QuadPart) + 1, Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit) {
                result.error = Texts::tooLargeToRead(got, limit);
                return result;
            }
            bytes.resize(std::min<qint64>(limit + 1, got * 2 + 4096));
        }
        DWORD n = 0;
        const DWORD wanted = DWORD(std::min<qint64>(bytes.size() - got, 1 << 30));
        if (!ReadFile(file.get(), bytes.data() + got, wanted, &n, nullptr)) {
            result.error = SystemError::last();
            return result;
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    result.value = std::move(bytes);
    return result;
}

Result<> linkOrCopy(const QString &from, const QString &copy)
{
    const std::wstring source = native(from);
    const std::wstring target = native(copy);
    if (CreateHardLinkW(target.c_str(), source.c_str(), nullptr))
        return {};
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return {SystemError::last()};
    // No hard links here (FAT32, exFAT) or not for this file: a checked,
    // flushed copy.
    Handle in(openExisting(source, GENERIC_READ));
    if (!in.valid())
        return {SystemError::last()};
    if (kindOfHandle(in.get()) != Kind::File)
        return {Texts::notAPlainFile()};
    Handle out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid())
        return {SystemError::last()};
    Result<> copied;
    char buffer[64 * 1024];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(in.get(), buffer, sizeof buffer, &n, nullptr)) {
            copied.error = SystemError::last();
            break;
        }
        if (n == 0)
            break;
        copied = writeWhole(out.get(), buffer, n);
        if (!copied.ok())
            break;
    }
    if (copied.ok() && !FlushFileBuffers(out.get()))
        copied.error = SystemError::last();
    if (!out.close() && copied.ok())
        copied.error = SystemError::last();
    if (!copied.ok())
        DeleteFileW(target.c_str());
    return copied;
}

bool sameFile(const QString &a, const QString &b)
{
    Handle first(openExisting(native(a), 0)), second(openExisting(native(b), 0));
    BY_HANDLE_FILE_INFORMATION one{}, other{};
    return first.valid() && second.valid() && GetFileInformationByHandle(first.get(), &one)
        && GetFileInformationByHandle(second.get(), &other) && ::sameFile(one, other);
}

Result<Stamp> stamp(const QString &path)
{
    Handle file(openExisting(native(path), 0));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info))
        return {{}, SystemError::last()};
    const auto join = [](DWORD high, DWORD low) { return quint64(high) << 32 | low; };
    return {{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
             join(info.nFileSizeHigh, info.nFileSizeLow),
             qint64(join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime))},
            {}};
}

Result<> makeFolder(const QString &path)
{
    const QString name = QDir::toNativeSeparators(QDir::cleanPath(path));
    // The root is there or not; it is never made: "C:\" or "\\server\share\".
    qsizetype first = 0;
    if (name.startsWith(QLatin1String("\\\\"))) {
        first = name.indexOf(u'\\', name.indexOf(u'\\', 2) + 1);
        if (first < 0)
            return {};
    } else if (name.size() >= 2 && name[1] == u':') {
        first = 2;
    }
    for (qsizetype end = first + 1; end <= name.size(); ++end) {
        if (end < name.size() && name[end] != u'\\')
            continue;
        const std::wstring level = name.left(end).toStdWString();
        const DWORD attributes = GetFileAttributesW(level.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return {Texts::fileWhereAFolderGoes(name.left(end))};
            continue;
        }
        // The folder takes its parent's permissions: under the user's
        // profile, the user's alone.
        if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return {Texts::pathReason(name.left(end), SystemError::last())};
    }
    return {};
}

} // namespace FileSystem

namespace FileSteps {

Result<Staged> stage(const QString &path, const QByteArray &bytes, bool sync)
{
    Result<Staged> staged;
    Staged &files = staged.value;
    const std::wstring target = replaceTarget(native(path));
    files.target = QDir::fromNativeSeparators(QString::fromStdWString(target));
    files.temp = files.target + FileSystem::kTemporarySuffix;
    {
        Handle existing(openExisting(target, 0));
        if (existing.valid() && kindOfHandle(existing.get()) != Kind::File) {
            staged.error = kindOfHandle(existing.get()) == Kind::Folder ? Texts::folderInTheWay() : Texts::notAPlainFile();
            return staged;
        }
    }
    const std::wstring temp = native(files.temp);
    DeleteFileW(temp.c_str());
    // A new file takes its folder's permissions, as every file made there
    // does; the user's profile is the user's alone. The file replaced goes
    // with its own.
    Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        staged.error = SystemError::last();
        return staged;
    }
    staged.error = writeWhole(file.get(), bytes.constData(), bytes.size()).error;
    if (staged.ok() && sync && !FlushFileBuffers(file.get()))
        staged.error = SystemError::last();
    if (!file.close() && staged.ok())
        staged.error = SystemError::last();
    if (!staged.ok())
        drop(files);
    return staged;
}

Result<> sync(const Staged &staged)
{
    Handle file(CreateFileW(native(staged.temp).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (file.valid() && FlushFileBuffers(file.get()))
        return {};
    const QString error = SystemError::last();
    drop(staged);
    return {error};
}

Result<> commit(const Staged &staged)
{
    if (moveIntoPlace(native(staged.temp), native(staged.target)))
        return {};
    const QString error = SystemError::last();
    drop(staged);
    return {error};
}

void drop(const Staged &staged)
{
    if (!staged.temp.isEmpty())
        DeleteFileW(native(staged.temp).c_str());
}

Result<FileSystem::Link> link(const QString &from, const QString &to)
{
    using FileSystem::Link;
    const std::wstring source = native(from), target = native(to);
    const std::wstring temp = target + FileSystem::kTemporarySuffix.toStdWString();
    {
        // A file with another name already would be changed through that
        // name too; a symbolic link is left to the copy.
        if (GetFileAttributesW(source.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)
            return {Link::CopyInstead, {}};
        Handle file(openExisting(source, 0)), existing(openExisting(target, 0));
        BY_HANDLE_FILE_INFORMATION info{}, other{};
        if (!file.valid() || kindOfHandle(file.get(), &info) != Kind::File)
            return {Link::CopyInstead, {}};
        // Filled in from its file, a memo's backup is that file already.
        if (existing.valid() && GetFileInformationByHandle(existing.get(), &other) && ::sameFile(info, other))
            return {Link::Made, {}};
        if (info.nNumberOfLinks != 1)
            return {Link::CopyInstead, {}};
    }
    DeleteFileW(temp.c_str());
    // FAT32 and exFAT, as on most USB sticks, have no hard links.
    if (!CreateHardLinkW(temp.c_str(), source.c_str(), nullptr))
        return {Link::CopyInstead, {}};
    if (!moveIntoPlace(temp, target)) {
        const QString error = SystemError::last();
        DeleteFileW(temp.c_str());
        return {Link::Made, error};
    }
    return {Link::Made, {}};
}

// Each rename went through to the disk before it returned.
Result<> syncFolders(const QString &, const QString &)
{
    return {};
}

} // namespace FileSteps
