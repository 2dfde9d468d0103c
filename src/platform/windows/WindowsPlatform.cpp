#include "WindowsPlatform.h"

#include "StartupShortcut.h"
#include "WindowsSessionWatch.h"

#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

#include <windows.h>

namespace {

// The clock that runs on through sleep and hibernation and that setting
// the time never moves: the interrupt time, which Windows biases by the
// time spent asleep (QueryUnbiasedInterruptTime is the one that leaves it
// out). GetTickCount64 is documented only as milliseconds since the start.
// QueryInterruptTime came with Windows 10, as Qt 6 itself needs; Wine 8
// has it not, and there the tick count stands in.
using InterruptTime = VOID(WINAPI *)(PULONGLONG);

InterruptTime interruptTime()
{
    static const auto function = reinterpret_cast<InterruptTime>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryInterruptTime")));
    return function;
}

} // namespace

WindowsPlatform::WindowsPlatform(QString programName, QObject *parent)
    : DesktopPlatform(std::move(programName), parent)
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        followSession(new WindowsSessionWatch(*app));
}

qint64 WindowsPlatform::bootClockMs() const
{
    if (const InterruptTime query = interruptTime()) {
        ULONGLONG hundredsOfNanoseconds = 0;
        query(&hundredsOfNanoseconds);
        return qint64(hundredsOfNanoseconds / 10000);
    }
    return qint64(GetTickCount64());
}

void WindowsPlatform::ring()
{
    // The sound the user chose for "Default Beep".
    MessageBeep(MB_OK);
}

Result<> WindowsPlatform::startupRegister(const QString &startIn, const QString &icon)
{
    // The folder the program starts in is its own (ProgramPlaces::portable),
    // and "ポトラ.exe" the name it is shipped with there.
    return StartupShortcut::write({startIn + QStringLiteral("/ポトラ.exe"), startIn, icon});
}

Result<Platform::Removal> WindowsPlatform::startupRemove()
{
    return StartupShortcut::remove();
}

QString WindowsPlatform::executablePath() const
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return QCoreApplication::applicationFilePath();
        if (length < path.size())
            return QDir::fromNativeSeparators(QString::fromWCharArray(path.data(), int(length)));
        // Cut short: the path is longer than the buffer (MAX_PATH at first).
        path.resize(path.size() * 2);
    }
}

QString WindowsPlatform::userDataHome() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
