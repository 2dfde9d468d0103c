#include "Values.h"

#include "DataFolder.h"
#include "Texts.h"

#include <QDir>
#include <QTimer>

Values::Values(const DataFolder &data, Report report)
    : m_data(data)
    , m_report(std::move(report))
    , m_writer(data, [this](const QList<Writer::Written> &written) {
        // On the writer's thread: the reports are the window's business.
        QMetaObject::invokeMethod(&m_pending, [this, written] { finished(written); }, Qt::QueuedConnection);
    })
{
}

QString Values::read(const QString &relative)
{
    // The newest text, though the file does not hold it yet.
    if (const auto held = m_held.constFind(relative); held != m_held.constEnd())
        return *held;
    // Its text is the memo's file as that was: the writer takes it first.
    if (m_writer.backingUp(relative))
        m_writer.flush(kWaitMs);
    if (QString waiting; m_writer.latest(relative, &waiting))
        return waiting;
    const DataFolder::Read result = m_data.readValue(relative);
    if (result.error.isEmpty()) {
        m_unkept.remove(relative);
        m_writer.read(relative, result.text);
        settle(relative, QString(), false);
        return result.text;
    }
    QString error = result.error;
    if (result.keep) {
        const Result<QString> kept = m_data.keepWhole(relative);
        if (kept.ok()) {
            m_unkept.remove(relative);
            error += u'\n' + Texts::keptAt(QDir::toNativeSeparators(m_data.absolute(kept.value)));
        } else {
            m_unkept.insert(relative);
            error += u'\n' + Texts::notKept(kept.error);
        }
    }
    const QString path = QDir::toNativeSeparators(m_data.absolute(relative));
    error = result.partly ? Texts::readPartly(path, error) : Texts::readFailed(path, error);
    settle(relative, error, false);
    return result.text;
}

QString Values::guarded(const QString &relative) const
{
    return m_unkept.contains(relative) ? Texts::notOverwrittenUnkept() : QString();
}

bool Values::writeText(const QString &relative, const QString &text)
{
    QString error = guarded(relative);
    if (error.isEmpty())
        error = m_data.writeTextValue(relative, text).error;
    if (error.isEmpty())
        m_writer.forget(relative);
    return settle(relative, error, true);
}

bool Values::writeInteger(const QString &relative, int value)
{
    QString error = guarded(relative);
    if (error.isEmpty())
        error = m_data.writeIntegerValue(relative, value).error;
    return settle(relative, error, true);
}

void Values::saveMemo(const QString &memo, const QString &backup, const std::optional<QString> &before, const QString &now)
{
    for (const auto &[path, text] : {std::pair(memo, now), std::pair(backup, before.value_or(QString()))}) {
        if (const QString error = guarded(path); !error.isEmpty()) {
            m_held.insert(path, text);
            settle(path, error, true);
        }
    }
    // A memo whose file cannot become its backup is not written over.
    if (m_held.contains(memo) || (m_held.contains(backup) && !before))
        m_held.insert(memo, now);
    if (m_held.contains(memo))
        return;
    if (m_held.contains(backup))
        m_writer.text(memo, now);
    else
        m_writer.memo(memo, backup, before, now);
}

void Values::saveInteger(const QString &relative, int value)
{
    m_writer.integer(relative, value);
}

bool Values::unsaved(const QString &relative) const
{
    QString ignored;
    return m_held.contains(relative) || m_writer.latest(relative, &ignored);
}

bool Values::flush(int ms)
{
    return m_writer.flush(ms);
}

void Values::finished(const QList<Writer::Written> &written)
{
    for (const Writer::Written &one : written) {
        if (!one.silent)
            settle(one.path, one.error, true, true);
    }
}

bool Values::settle(const QString &relative, const QString &error, bool writing, bool fromTheLoop)
{
    QSet<QString> &reported = writing ? m_reportedWrites : m_reportedReads;
    if (error.isEmpty()) {
        reported.remove(relative);
        return true;
    }
    if (reported.contains(relative))
        return false;
    reported.insert(relative);

    const QString text = writing ? Texts::writeFailed(QDir::toNativeSeparators(m_data.absolute(relative)), error) : error;
    // Shown from the event loop, not inside the edit or load that failed.
    if (fromTheLoop)
        m_report(text);
    else
        QTimer::singleShot(0, &m_pending, [this, text] { m_report(text); });
    return false;
}
