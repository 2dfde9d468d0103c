#include "WindowsPlatform.h"

#include "StartupShortcut.h"
#include "WindowsSessionWatch.h"
#include "platform/HelpViewer.h"
#include "platform/PlainBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
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
    : Platform(parent)
    , m_name(std::move(programName))
{
    connect(&m_tray, &TrayIcon::leftPressed, this, &Platform::trayLeftPressed);
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        auto *session = new WindowsSessionWatch(*app);
        session->setParent(this);
        connect(session, &SessionWatch::commitData, this, &Platform::sessionSaving);
        connect(session, &SessionWatch::ending, this, &Platform::sessionEnding);
    }
}

WindowsPlatform::~WindowsPlatform()
{
    delete m_help;
}

QDateTime WindowsPlatform::now() const
{
    return QDateTime::currentDateTime();
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

void WindowsPlatform::showBox(QWidget *parent, const QString &text, bool aboveAll)
{
    PlainBox::show(parent, m_name, text, aboveAll);
}

void WindowsPlatform::announce(const QString &text)
{
    showBox(nullptr, text, true);
    // The sound the user chose for "Default Beep"; it plays on while the
    // program goes on. A box the end of the run closed rings nothing.
    if (!m_quitting)
        MessageBeep(MB_OK);
}

void WindowsPlatform::systemModalMessage(const QString &text)
{
    showBox(nullptr, text, true);
}

void WindowsPlatform::message(QWidget *parent, const QString &text)
{
    showBox(parent, text, false);
}

void WindowsPlatform::trayAdd(const QIcon &icon, const QString &tip)
{
    m_tray.add(icon, tip);
}

void WindowsPlatform::holdTray(bool held)
{
    m_tray.hold(held);
}

void WindowsPlatform::trayDelete()
{
    m_tray.remove();
}

bool WindowsPlatform::trayPresent() const
{
    return m_tray.present();
}

Result<> WindowsPlatform::startupRegister(const QString &program, const QString &startIn, const QString &icon)
{
    const QString target = QFileInfo(program).absolutePath() + QStringLiteral("/ポトラ.exe");
    return StartupShortcut::write({target, startIn, icon});
}

Result<Platform::Removal> WindowsPlatform::startupRemove()
{
    return StartupShortcut::remove();
}

void WindowsPlatform::showHelp(const QUrl &page)
{
    HelpViewer::showIn(m_help, m_name, page);
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
        // Cut short: a path longer than MAX_PATH.
        path.resize(path.size() * 2);
    }
}

QString WindowsPlatform::userDataFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString WindowsPlatform::userDataHome() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

void WindowsPlatform::quitProgram()
{
    m_quitting = true;
    QCoreApplication::exit(0);
}
