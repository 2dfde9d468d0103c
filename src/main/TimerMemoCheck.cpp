#include "TimerMemoCheck.h"

#include "platform/Platform.h"
#include "store/StoredText.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QDate>
#include <QLabel>
#include <QLoggingCategory>
#include <QPointer>

#include <cstdlib>

namespace {
constexpr qint64 kMsPerMinute = 60 * 1000;
// Less than this between the system clock and the boot clock is drift, or
// the two readings' own gap: going by the system clock alone then checks a
// minute at most a little late and never twice.
constexpr qint64 kLeastClockStepMs = 60 * 1000;

qint64 floorDiv(qint64 a, qint64 b) { return a / b - (a % b < 0 ? 1 : 0); }

// What the check does, minute by minute, so that a long run under a fast
// clock can be followed from outside: QT_LOGGING_RULES="potora.timer.debug=true".
Q_LOGGING_CATEGORY(lcTimer, "potora.timer", QtWarningMsg)

void trace(const QString &line)
{
    qCDebug(lcTimer).noquote() << line;
}

QDateTime localTimeOf(qint64 minute)
{
    return QDateTime::fromMSecsSinceEpoch(minute * kMsPerMinute);
}

QString dayOf(qint64 minute)
{
    return localTimeOf(minute).date().toString(Qt::ISODate);
}
} // namespace

TimerMemoCheck::TimerMemoCheck(Platform &platform, Values &values, QLabel *clock, std::array<QLabel *, 3> dueTimes,
                               QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_values(values)
    , m_clock(clock)
    , m_dueTimes(dueTimes)
    , m_lastMs(platform.now().toMSecsSinceEpoch())
    , m_lastBootMs(platform.bootClockMs())
    , m_lastChecked(floorDiv(m_lastMs, kMsPerMinute))
{
}

QString TimerMemoCheck::clockText(const QDateTime &time)
{
    return time.toString(QStringLiteral("HH:mm"));
}

void TimerMemoCheck::followClock(qint64 ms, qint64 bootMs)
{
    const qint64 step = (ms - m_lastMs) - (bootMs - m_lastBootMs);
    m_lastMs = ms;
    m_lastBootMs = bootMs;
    if (std::abs(step) < kLeastClockStepMs)
        return;
    // The minutes checked are the same stretch of time on the new clock:
    // after a step back the check goes on from the new time at once, after
    // a step forward the minutes stepped over are not looked at.
    const qint64 checkedUpTo = (m_lastChecked + 1) * kMsPerMinute + step;
    m_lastChecked = floorDiv(checkedUpTo, kMsPerMinute) - 1;
    trace(QStringLiteral("clock stepped %1 ms").arg(step));
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
        const qint64 ms = m_platform.now().toMSecsSinceEpoch();
        followClock(ms, m_platform.bootClockMs());
        const qint64 current = floorDiv(ms, kMsPerMinute);
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
    // By the local clock as it read in that minute: summer time and its end
    // change the text, not the minutes.
    const QString clock = clockText(localTimeOf(minute));
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

        const QString text = StoredText::toBox(m_values.read(ValueFiles::timerText(n)));
        QPointer<TimerMemoCheck> self(this);
        trace(QStringLiteral("announced %1 %2 %3").arg(n).arg(dayOf(minute), clock));
        m_platform.announce(text);
        if (!self || m_stopped)
            return false;
    }
    return true;
}
