#include "WindowsSingleInstance.h"

#include "store/SystemError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <windows.h>

namespace {

const wchar_t kWindowClass[] = L"PotoraRunningCopy";
// The request, and an answer no other window gives it by chance: "Potr"
// in ASCII, where a window that does not know the message answers 0.
constexpr UINT kShowRequest = WM_APP + 0x50;
constexpr LRESULT kShown = 0x506f7472;
constexpr UINT kAnswerWaitMs = 3000;

// The folder as the file system spells it: a short name (PROGRA~1), other
// letter case or a link all lead to one name.
QString canonicalFolder(const QString &dataRoot)
{
    const std::wstring path = QDir::toNativeSeparators(QFileInfo(dataRoot).absoluteFilePath()).toStdWString();
    const HANDLE folder = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    QString canonical = QString::fromStdWString(path);
    if (folder != INVALID_HANDLE_VALUE) {
        wchar_t resolved[MAX_PATH * 4];
        const DWORD length = GetFinalPathNameByHandleW(folder, resolved, DWORD(std::size(resolved)), FILE_NAME_NORMALIZED);
        if (length > 0 && length < std::size(resolved))
            canonical = QString::fromWCharArray(resolved, int(length));
        CloseHandle(folder);
    }
    // Windows' file names are the same in any letter case.
    return canonical.toLower();
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kShowRequest)
        return DefWindowProcW(window, message, wParam, lParam);
    auto *instance = reinterpret_cast<WindowsSingleInstance *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Answered at once; Main comes up from the event loop, not inside the
    // other copy's call.
    if (instance)
        QMetaObject::invokeMethod(instance, &SingleInstance::showRequested, Qt::QueuedConnection);
    return kShown;
}

} // namespace

WindowsSingleInstance::WindowsSingleInstance(const QString &dataRoot, int patienceMs, QObject *parent)
    : SingleInstance(patienceMs, parent)
    , m_name(nameFor(dataRoot))
{
}

WindowsSingleInstance::~WindowsSingleInstance()
{
    if (m_window)
        DestroyWindow(HWND(m_window));
    if (m_mutex) {
        ReleaseMutex(m_mutex); // fails harmlessly where this copy never owned it
        CloseHandle(m_mutex);
    }
}

QString WindowsSingleInstance::nameFor(const QString &dataRoot)
{
    const QByteArray hash = QCryptographicHash::hash(canonicalFolder(dataRoot).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("potora-") + QString::fromLatin1(hash.toHex().left(16));
}

bool WindowsSingleInstance::holdFolder()
{
    // "Local\": the user's own session; another user's copy of the same
    // folder is another user's business.
    if (!m_mutex)
        m_mutex = CreateMutexW(nullptr, FALSE, (QStringLiteral("Local\\") + m_name).toStdWString().c_str());
    // No mutex to be had: run, and still answer later starts.
    if (!m_mutex)
        return true;
    // Abandoned: its owner ended without letting go, the folder is free.
    const DWORD state = WaitForSingleObject(m_mutex, 0);
    return state == WAIT_OBJECT_0 || state == WAIT_ABANDONED;
}

bool WindowsSingleInstance::askRunningCopy()
{
    const HWND window = FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, m_name.toStdWString().c_str());
    if (!window)
        return false;
    // The running copy may then bring its window to the front: Windows lets
    // only the program the user just started do that.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, kShowRequest, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerWaitMs, &answer)
        && answer == DWORD_PTR(kShown);
}

void WindowsSingleInstance::listen()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass); // once per process; a second time fails harmlessly
    const HWND window = CreateWindowExW(0, kWindowClass, m_name.toStdWString().c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        qWarning("cannot make the window later starts ask: %s", qPrintable(SystemError::last()));
        return;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(this));
    m_window = window;
}
