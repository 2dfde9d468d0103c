#include "TimerMemoCheck.h"

#include "main/MemoSlot.h"
#include "platform/Platform.h"
#include "platform/Values.h"
#include "store/ValueFiles.h"

#include <QDate>
#include <QFile>
#include <QLabel>
#include <QPointer>

namespace {
constexpr qint64 kMinutesPerDay = 24 * 60;

// POTORA_TRACE=<file> makes the check append what it does to that file, so
// that a long run under a fast clock can be followed from outside. Off
// unless the variable is set.
void trace(const QString &line)
{
    static const QString path = qEnvironmentVariable("POTORA_TRACE");
    if (path.isEmpty())
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}

QString dayOf(qint64 minute)
{
    return QDate::fromJulianDay(minute / kMinutesPerDay).toString(Qt::ISODate);
}
} // namespace

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
    trace(QStringLiteral("tick ") + m_platform.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));

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
    trace(QStringLiteral("checked %1 %2").arg(dayOf(minute), clock));
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
        trace(QStringLiteral("announced %1 %2 %3").arg(n).arg(dayOf(minute), clock));
        m_platform.announce(text);
        if (!self || m_stopped)
            return false;
    }
    return true;
}
