#pragma once

#include <QDateTime>
#include <QObject>

#include <array>

class Platform;
class QLabel;
class Values;

// The once-a-minute timer memo check behind Main's Timer1.
//
// Every minute that passes while Main exists is checked exactly once, by the
// local clock's text in that minute. Minutes are counted in real time (UTC),
// so a change of summer time moves none: an hour the local clock shows twice
// is checked twice, and one it skips is never checked. The last checked
// minute lives here, in an object owned by Main, so it goes with Main: a Main
// created anew starts from the minute it was created in, and a memo due in
// that very minute is not shown, as no tick came in it. A late tick (a box
// left open, a busy machine, a wake from sleep) checks the minutes it passed
// over in order, at most one day of them, so that a long sleep shows each
// memo at most once. The boot clock tells a sleep from the system clock being
// set (a correction by time sync): then checking goes on from the new time at
// once, whether that repeats a stretch of the day or steps over one.
class TimerMemoCheck : public QObject
{
    Q_OBJECT
public:
    // Milliseconds after the start of a minute at which the tick is due, so
    // that a timer firing a little early still finds the new minute.
    static constexpr int kTickAfterMinuteMs = 200;
    static constexpr qint64 kCatchUpMinutes = 24 * 60;

    TimerMemoCheck(Platform &platform, Values &values, QLabel *clock, std::array<QLabel *, 3> dueTimes,
                   QObject *parent = nullptr);

    // The clock text, two-digit hour on the 24-hour clock and minute.
    static QString clockText(const QDateTime &time);

    // How long from now until the next tick is due.
    int msecsToNextTick() const;

    // One tick: renews the clock text and checks every minute not yet
    // checked up to the current one, announcing the memos due in it. Returns
    // false when the caller must not go on: another tick is still waiting on
    // its box (that one carries on), or Main went away during the wait.
    bool run();

    // Main is going: a tick waiting on a box ends without going further.
    void stop() { m_stopped = true; }

private:
    // Moves the last checked minute along with a step of the system clock.
    void followClock(qint64 ms, qint64 bootMs);

    // Checks one minute; false when this object is gone afterwards.
    bool checkMinute(qint64 minute);

    Platform &m_platform;
    Values &m_values;
    QLabel *m_clock;
    std::array<QLabel *, 3> m_dueTimes;
    qint64 m_lastMs; // the system clock, in milliseconds since 1970 UTC
    qint64 m_lastBootMs;
    qint64 m_lastChecked;
    bool m_running = false;
    bool m_stopped = false;
};
