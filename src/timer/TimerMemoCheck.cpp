#include "TimerMemoCheck.h"

#include "main/MemoSlot.h"
#include "platform/Platform.h"
#include "platform/Values.h"
#include "store/ValueFiles.h"

#include <QLabel>
#include <QPointer>

namespace {
constexpr qint64 kMinutesPerDay = 24 * 60;
}

TimerMemoCheck::TimerMemoCheck(Platform &platform, Values &values, QLabel *clock, std::array<QLabel *, 3> dueTimes,
                               QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_values(values)
    , m_clock(clock)
    , m_dueTimes(dueTimes)
    , m_lastChecked(minuteOf(platform.now()))
{
}

QString TimerMemoCheck::clockText(const QDateTime &time)
{
    return time.toString(QStringLiteral("HH:mm"));
}

qint64 TimerMemoCheck::minuteOf(const QDateTime &time)
{
    const QTime t = time.time();
    return time.date().toJulianDay() * kMinutesPerDay + t.hour() * 60 + t.minute();
}

QString TimerMemoCheck::clockTextOf(qint64 minute)
{
    const qint64 ofDay = ((minute % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay;
    return QStringLiteral("%1:%2")
        .arg(ofDay / 60, 2, 10, QLatin1Char('0'))
        .arg(ofDay % 60, 2, 10, QLatin1Char('0'));
}

int TimerMemoCheck::msecsToNextTick() const
{
    const QTime t = m_platform.now().time();
    const int intoMinute = t.second() * 1000 + t.msec();
    return 60000 - intoMinute + kTickAfterMinuteMs;
}

bool TimerMemoCheck::run()
{
    if (m_running || m_stopped)
        return false;
    m_running = true;
    m_clock->setText(clockText(m_platform.now()));

    // The clock is read again after every minute, so a tick that waited on
    // a box goes on through the minutes that passed meanwhile.
    for (;;) {
        const qint64 current = minuteOf(m_platform.now());
        if (current < m_lastChecked - kCatchUpMinutes) {
            // Set back by more than a day: no longer a slip of the clock but
            // a new date; start from here as a new Main would.
            m_lastChecked = current;
            break;
        }
        if (current - m_lastChecked > kCatchUpMinutes)
            m_lastChecked = current - kCatchUpMinutes;
        if (m_lastChecked >= current)
            break;
        // Counted as checked before any box opens, so nothing can check it again.
        const qint64 minute = ++m_lastChecked;
        if (!checkMinute(minute))
            return false;
    }
    m_running = false;
    return true;
}

bool TimerMemoCheck::checkMinute(qint64 minute)
{
    const QString clock = clockTextOf(minute);
    for (int n = 1; n <= 3; ++n) {
        // A memo switched off is left out at once, though its holder keeps
        // the due time it had while it was on.
        if (m_values.read(ValueFiles::timerEnabled(n)) != QLatin1String("1"))
            continue;
        QLabel *holder = m_dueTimes[n - 1];
        holder->setText(m_values.read(ValueFiles::timerHour(n)) + QLatin1Char(':')
                        + m_values.read(ValueFiles::timerMinute(n)));
        if (holder->text() != clock)
            continue;

        const QString text = MemoSlot::toBox(m_values.read(ValueFiles::timerText(n)));
        QPointer<TimerMemoCheck> self(this);
        m_platform.announce(text);
        if (!self || m_stopped)
            return false;
    }
    return true;
}
