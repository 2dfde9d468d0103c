#include "app/Program.h"
#include "kit/Form.h"
#include "kit/Look.h"
#include "kit/ProgramIcon.h"
#include "platform/Platform.h"
#include "platform/SystemStart.h"
#include "store/DataFolder.h"
#include "store/FileSystem.h"
#include "store/ProgramPlaces.h"
#include "store/Rescue.h"
#include "store/Texts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTimer>

#include <functional>

// Where a start's time goes: QT_LOGGING_RULES="potora.startup.debug=true".
Q_LOGGING_CATEGORY(lcStartup, "potora.startup", QtWarningMsg)

namespace {

QElapsedTimer g_started;

void mark(const char *step)
{
    qCDebug(lcStartup, "%6.1f ms  %s", double(g_started.nsecsElapsed()) / 1e6, step);
}

// Runs a step once a window's first frame is on the screen, or after a
// while when none comes: a window manager may keep a window covered or on
// another workspace.
class AfterFirstFrame : public QObject
{
public:
    AfterFirstFrame(QWidget *window, std::function<void()> step)
        : QObject(qApp)
        , m_step(std::move(step))
    {
        if (window)
            window->installEventFilter(this);
        QTimer::singleShot(1000, this, &AfterFirstFrame::run);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // Posted: the frame goes to the screen once its paint is through.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, &AfterFirstFrame::run);
        return false;
    }

private:
    void run()
    {
        if (!m_step)
            return;
        const std::function<void()> step = std::move(m_step);
        m_step = nullptr;
        deleteLater();
        step();
    }

    std::function<void()> m_step;
};

} // namespace

int main(int argc, char *argv[])
{
    g_started.start();
    SystemStart::beforeApplication();
    QApplication app(argc, argv);
    mark("Qt up");
    // No display name: Qt would append " — ポトラ" to every window's title.
    QApplication::setApplicationName(QStringLiteral("potora"));
    QApplication::setWindowIcon(ProgramIcon::icon());

    SystemStart system(Look::kProgramName);
    Platform &platform = system.platform();
    const ProgramPlaces places = system.places();
    if (places.data.isEmpty()) {
        platform.message(nullptr, Texts::noDataFolder());
        return 1;
    }
    // The lock goes into the folder, which an installed program has not
    // made yet at its first start; laying it out below says what failed.
    std::ignore = FileSystem::makeFolder(places.data);
    const DataFolder data(places.data);
    // Before anything is written: a second copy must leave the folder alone.
    const SystemStart::Outcome outcome = system.claim(data.root());
    mark("folder claimed");
    switch (outcome) {
    case SystemStart::Outcome::Handed:
        return 0;
    case SystemStart::Outcome::Unreachable:
        platform.message(nullptr, Texts::runningButNotAnswering(Look::kProgramName));
        return 1;
    case SystemStart::Outcome::First:
        break;
    }

    if (const Result<> laidOut = data.ensureLayout(); !laidOut.ok())
        platform.message(nullptr, Texts::folderNotReady(laidOut.error));
    // Shown now: it could not be when the session that left it was ending.
    const QString notice = Rescue::takeNotice(platform.userDataFolder());
    if (!notice.isEmpty())
        platform.message(nullptr, notice);

    mark("folder laid out");

    Program program(data, platform, places);
    system.endOnTermination();
    // A second start brings Main up as a tray click does.
    system.onShowRequested([&program] {
        if (Form *main = program.windows.get(WindowId::Main))
            main->formShow();
    });
    system.holdTray(true);
    if (!program.start())
        return 0;
    mark("Main built, loaded and shown");
    new AfterFirstFrame(program.windows.get(WindowId::Main), [&system] {
        mark("first frame");
        system.holdTray(false);
        mark("tray icon docked");
    });
    return app.exec();
}
