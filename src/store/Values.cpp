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
    const Result<DataFolder::Read> result = m_data.readValue(relative);
    if (result.ok()) {
        m_notSetAside.remove(relative);
        m_writer.read(relative, result.value.text);
        tellOfRead(relative, {});
        return result.value.text;
    }
    QString error = result.error;
    if (result.value.setAside) {
        const Result<QString> copy = m_data.setAside(relative);
        if (copy.ok()) {
            m_notSetAside.remove(relative);
            error += u'\n' + Texts::keptAt(QDir::toNativeSeparators(m_data.absolute(copy.value)));
        } else {
            m_notSetAside.insert(relative);
            error += u'\n' + Texts::notKept(copy.error);
        }
    }
    const QString path = QDir::toNativeSeparators(m_data.absolute(relative));
    tellOfRead(relative, {result.value.partly ? Texts::readPartly(path, error) : Texts::readFailed(path, error)});
    return result.value.text;
}

Result<> Values::mayWriteOver(const QString &relative) const
{
    return {m_notSetAside.contains(relative) ? Texts::notOverwrittenUnkept() : QString()};
}

Result<> Values::writeText(const QString &relative, const QString &text)
{
    Result<> written = mayWriteOver(relative);
    if (written.ok())
        written = m_data.writeTextValue(relative, text);
    if (written.ok())
        m_writer.forget(relative);
    return tellOfWrite(relative, written);
}

Result<> Values::writeInteger(const QString &relative, int value)
{
    Result<> written = mayWriteOver(relative);
    if (written.ok())
        written = m_data.writeIntegerValue(relative, value);
    return tellOfWrite(relative, written);
}

void Values::saveMemo(const QString &memo, const QString &backup, const std::optional<QString> &before, const QString &now)
{
    for (const auto &[path, text] : {std::pair(memo, now), std::pair(backup, before.value_or(QString()))}) {
        if (const Result<> refused = mayWriteOver(path); !refused.ok()) {
            m_held.insert(path, text);
            std::ignore = tellOfWrite(path, refused);
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
        if (!one.toldByItsPair)
            tellOfWriteNow(one.path, one.result);
    }
}

bool Values::firstTime(QSet<QString> &told, const QString &relative, const Result<> &outcome)
{
    if (outcome.ok()) {
        told.remove(relative);
        return false;
    }
    if (told.contains(relative))
        return false;
    told.insert(relative);
    return true;
}

void Values::tellOfRead(const QString &relative, const Result<> &read)
{
    if (firstTime(m_toldOfReads, relative, read))
        QTimer::singleShot(0, &m_pending, [this, text = read.error] { m_report(text); });
}

Result<> Values::tellOfWrite(const QString &relative, const Result<> &written)
{
    if (firstTime(m_toldOfWrites, relative, written)) {
        const QString text = Texts::writeFailed(QDir::toNativeSeparators(m_data.absolute(relative)), written.error);
        QTimer::singleShot(0, &m_pending, [this, text] { m_report(text); });
    }
    return written;
}

void Values::tellOfWriteNow(const QString &relative, const Result<> &written)
{
    if (firstTime(m_toldOfWrites, relative, written))
        m_report(Texts::writeFailed(QDir::toNativeSeparators(m_data.absolute(relative)), written.error));
}
