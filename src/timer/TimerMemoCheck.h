#pragma once

#include <QDateTime>
#include <QObject>

#include <array>

class Platform;
class QLabel;
class Values;

// The once-a-minute timer memo check behind Main's Timer1.
//
// Every minute of the local wall clock is checked exactly once while Main
// exists. The last checked minute lives here, in an object owned by Main, so
// it goes with Main: a Main created anew starts from the minute it was created
// in, and a memo due in that very minute is not shown, as no tick came in it.
// A late tick (a box left open, a busy machine, a wake from sleep) checks the
// minutes it passed over in order; a clock set back checks nothing until it
// reaches new minutes again. Both are bounded by one day, so that every due
// time "hh:mm" is looked at most once per tick and a long sleep shows each
// memo at most once.
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
    // Minutes counted on the local wall clock, ignoring any shift of the
    // zone: an hour repeated when the clock goes back is the clock set back,
    // an hour skipped is passed over and checked late.
    static qint64 minuteOf(const QDateTime &time);
    static QString clockTextOf(qint64 minute);

    // Checks one minute; false when this object is gone afterwards.
    bool checkMinute(qint64 minute);

    Platform &m_platform;
    Values &m_values;
    QLabel *m_clock;
    std::array<QLabel *, 3> m_dueTimes;
    qint64 m_lastChecked;
    bool m_running = false;
    bool m_stopped = false;
};
