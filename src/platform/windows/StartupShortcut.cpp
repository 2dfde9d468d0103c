#include "StartupShortcut.h"

#include "store/SystemError.h"
#include "store/Texts.h"

#include <QDir>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

namespace StartupShortcut {
namespace {

std::wstring native(const QString &path) { return QDir::toNativeSeparators(path).toStdWString(); }

// COM for the calls of one registration. The program's own thread has it
// already (Qt's Windows platform starts OLE for drag and drop); a thread
// that runs COM in another way is left as it is.
class ComScope
{
public:
    ComScope()
        : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))
    {
    }
    ~ComScope()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }

private:
    HRESULT m_result;
};

// Releases a COM interface however the scope is left.
template <typename T>
class Com
{
public:
    ~Com()
    {
        if (m_pointer)
            m_pointer->Release();
    }
    T *operator->() const { return m_pointer; }
    T **out() { return &m_pointer; }
    void **outVoid() { return reinterpret_cast<void **>(&m_pointer); }

private:
    T *m_pointer = nullptr;
};

bool underWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

} // namespace

QString folder()
{
    // The folder is not made: a user who removed it keeps it removed until
    // a registration needs it.
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_STARTUP, FALSE))
        return QString();
    return QDir::fromNativeSeparators(QString::fromWCharArray(buffer));
}

QString path()
{
    const QString startup = folder();
    return startup.isEmpty() ? QString() : startup + QStringLiteral("/ポトラ.lnk");
}

Result<> write(const Shortcut &shortcut)
{
    const QString file = path();
    if (file.isEmpty())
        return {Texts::noStartupFolder()};
    ComScope com;
    Com<IShellLinkW> link;
    Com<IPersistFile> persist;
    const std::wstring target = native(shortcut.target), folder = native(shortcut.folder), icon = native(shortcut.icon);
    // In the order the shell's own scripting object (WScript.Shell's
    // CreateShortcut) sets them when it saves a shortcut.
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.outVoid());
    if (SUCCEEDED(result))
        result = link->SetPath(target.c_str());
    if (SUCCEEDED(result))
        result = link->SetDescription(L"");
    if (SUCCEEDED(result))
        result = link->SetIconLocation(icon.c_str(), 0);
    if (SUCCEEDED(result))
        result = link->SetArguments(L"");
    // Wine 8 writes the relative path without the flag that announces it,
    // which leaves the file unreadable to any other reader (lnkinfo, a
    // backup tool): there it is left out.
    if (SUCCEEDED(result) && !underWine())
        result = link->SetRelativePath(folder.c_str(), 0);
    if (SUCCEEDED(result))
        result = link->SetWorkingDirectory(folder.c_str());
    if (SUCCEEDED(result))
        result = link->SetHotkey(0);
    if (SUCCEEDED(result))
        result = link->QueryInterface(IID_IPersistFile, persist.outVoid());
    if (SUCCEEDED(result))
        result = persist->Save(native(file).c_str(), TRUE);
    if (FAILED(result))
        return {Texts::pathReason(QDir::toNativeSeparators(file), SystemError::of(DWORD(result)))};
    return {};
}

Result<Platform::Removal> remove()
{
    const QString file = path();
    if (file.isEmpty())
        return {Platform::Removal::NotRegistered, QString()};
    if (DeleteFileW(native(file).c_str()))
        return {Platform::Removal::Removed, QString()};
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return {Platform::Removal::NotRegistered, QString()};
    return {{}, Texts::pathReason(QDir::toNativeSeparators(file), SystemError::of(error))};
}

} // namespace StartupShortcut
