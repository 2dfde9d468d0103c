#include "Values.h"

#include "DataFolder.h"
#include "Texts.h"

#include <QDir>
#include <QTimer>

Values::Values(const DataFolder &data, Report report)
    : m_data(data)
    , m_report(std::move(report))
{
}

QString Values::read(const QString &relative)
{
    const DataFolder::Read result = m_data.readValue(relative);
    if (result.error.isEmpty()) {
        m_unkept.remove(relative);
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
    return settle(relative, error, true);
}

bool Values::writeInteger(const QString &relative, int value)
{
    QString error = guarded(relative);
    if (error.isEmpty())
        error = m_data.writeIntegerValue(relative, value).error;
    return settle(relative, error, true);
}

bool Values::backup(const QString &from, const QString &to)
{
    QString error = guarded(to);
    if (error.isEmpty())
        error = m_data.backupValue(from, to).error;
    return settle(to, error, true);
}

bool Values::settle(const QString &relative, const QString &error, bool writing)
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
    QTimer::singleShot(0, &m_pending, [this, text] { m_report(text); });
    return false;
}
