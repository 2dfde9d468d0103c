#include "Values.h"

#include "DataFolder.h"
#include "StoredText.h"
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
    return *read(relative, false);
}

std::optional<QString> Values::readOrKeep(const QString &relative)
{
    return read(relative, true);
}

std::optional<QString> Values::read(const QString &relative, bool keepShown)
{
    // The newest text, though the file does not hold it yet; a memo's is
    // the writer's to work out, into the file.
    if (const std::optional<Writer::Newer> newer = m_writer.newer(relative)) {
        if (newer->whole)
            return newer->text;
        m_writer.flush(kWaitMs);
    }
    // Taken before the read: a change made meanwhile shows at the next read.
    const Result<FileSystem::Stamp> stamp = FileSystem::stamp(m_data.absolute(relative));
    const Result<DataFolder::Read> result = m_data.readValue(relative);
    if (result.ok()) {
        m_notSetAside.remove(relative);
        if (stamp.ok())
            m_seen.insert(relative, stamp.value);
        tellOfRead(relative, {});
        return result.value.text;
    }
    m_seen.remove(relative);
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
    if (result.value.partly) {
        tellOfRead(relative, {Texts::readPartly(path, error)});
        return result.value.text;
    }
    if (keepShown) {
        tellOfRead(relative, {Texts::readFailedShownKept(path, error)});
        return std::nullopt;
    }
    tellOfRead(relative, {Texts::readFailed(path, error)});
    return result.value.text;
}

bool Values::asLastSeen(const QString &relative) const
{
    const auto seen = m_seen.constFind(relative);
    if (seen == m_seen.constEnd() || unsaved(relative))
        return false;
    const Result<FileSystem::Stamp> now = FileSystem::stamp(m_data.absolute(relative));
    return now.ok() && now.value == *seen;
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
    m_seen.remove(relative);
    return tellOfWrite(relative, written);
}

Result<> Values::writeInteger(const QString &relative, int value)
{
    Result<> written = mayWriteOver(relative);
    if (written.ok())
        written = m_data.writeIntegerValue(relative, value);
    return tellOfWrite(relative, written);
}

void Values::filled(const QString &memo, const QString &boxText)
{
    m_writer.filled(memo, boxText, m_seen.contains(memo));
}

void Values::saveChange(const QString &memo, const QString &backup, const Writer::Change &change, bool fileIsBefore)
{
    for (const QString &path : {memo, backup}) {
        if (const Result<> refused = mayWriteOver(path); !refused.ok()) {
            m_held.insert(path);
            std::ignore = tellOfWrite(path, refused);
        }
    }
    // A memo that cannot be written stays in its box; one whose backup
    // cannot be is written alone.
    if (m_held.contains(memo))
        return;
    m_seen.remove(memo);
    m_writer.change(memo, m_held.contains(backup) ? QString() : backup, change, fileIsBefore);
}

void Values::backUp(const QString &memo, const QString &backup, const QString &boxText)
{
    if (!mayWriteOver(backup).ok())
        return;
    // A file that did not read as it is is not copied: its backup is the
    // text the box shows.
    if (m_seen.contains(memo))
        m_writer.backUp(memo, backup);
    else
        m_writer.text(backup, StoredText::toStored(boxText));
}

void Values::saveInteger(const QString &relative, int value)
{
    m_writer.integer(relative, value);
}

bool Values::unsaved(const QString &relative) const
{
    return m_held.contains(relative) || m_writer.newer(relative).has_value();
}

bool Values::flush(int ms)
{
    return m_writer.flush(ms);
}

void Values::finished(const QList<Writer::Written> &written)
{
    for (const Writer::Written &one : written) {
        if (one.result.ok() && one.stamp.file)
            m_seen.insert(one.path, one.stamp);
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
