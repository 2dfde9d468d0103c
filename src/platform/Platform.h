#pragma once

#include "store/Result.h"

#include <QDateTime>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QUrl>

class QWidget;

// Everything that differs between desktops or that a test must stand in
// for: the clock, message boxes and the beep, the tray icon, starting at
// log-on, the help viewer, the user's folders, the session and the end of
// the run. Window code reaches the system only here.
class Platform : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Platform() override;

    // Local time.
    virtual QDateTime now() const = 0;
    // Milliseconds on a clock that runs on while the machine sleeps and that
    // setting the time or the zone never moves: tells a sleep from a step
    // of the local clock.
    virtual qint64 bootClockMs() const = 0;

    // A memo popping up: a box above all other windows with one OK button
    // and no icon, then one beep once it is closed, unless the run ended
    // meanwhile (the quit closes every box). Returns once the beep has
    // started.
    virtual void announce(const QString &text) = 0;
    // A box above all other windows with one OK button, no beep.
    virtual void systemModalMessage(const QString &text) = 0;
    // A box modal to the program with one OK button.
    virtual void message(QWidget *parent, const QString &text) = 0;

    // One tray icon. Adding it while present changes nothing; where no
    // tray exists yet the icon appears once one does.
    virtual void trayAdd(const QIcon &icon, const QString &tip) = 0;
    virtual void trayDelete() = 0;
    virtual bool trayPresent() const = 0;

    // Starting this program at log-on, in `startIn` (empty: where the
    // session starts programs), with `icon`, an image file or a theme
    // icon's name. Registering replaces an earlier registration.
    virtual Result<> startupRegister(const QString &startIn, const QString &icon) = 0;
    // What removing the registration found; no place where registrations
    // live means none. A removal that failed says why in the error.
    enum class Removal { Removed, NotRegistered };
    virtual Result<Removal> startupRemove() = 0;

    // Shows a page in the program's one help viewer, opening it when there
    // is none; the viewer stays until the user closes it or the program ends.
    virtual void showHelp(const QUrl &page) = 0;

    // The running program's executable.
    virtual QString executablePath() const = 0;
    // The user's own data folder, where memos that could not be saved go.
    virtual QString userDataFolder() const = 0;
    // The user's data home ($XDG_DATA_HOME, normally ~/.local/share), where
    // an installed program keeps its data folder; empty when none can be
    // formed.
    virtual QString userDataHome() const = 0;

    // Ends the run with status 0 once the current event is handled, even if
    // something such as the help viewer would keep it going; a box waiting
    // for its OK is closed.
    virtual void quitProgram() = 0;

    // Un-minimises a window, raises it and gives it the focus.
    static void bringToFront(QWidget *window);

signals:
    // The left mouse button was pressed on the tray icon.
    void trayLeftPressed();
    // The desktop saves the session, which may go on: save what can be saved.
    void sessionSaving();
    // The session ends (or the run is told to end): every window must let go.
    void sessionEnding();
};
