#include "Writer.h"

#include "StoredText.h"

#include <QHash>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace {

struct Job {
    QString path;   // the memo, or a file of its own
    QString backup; // a memo's backup; empty for a file of its own
    QString text;   // a file of its own: its text, or an integer's digits
    bool integer = false;
    // A memo: its box's changes since its last write, each one step of the
    // backup; none, where only the backup is to become the memo's file.
    QList<Writer::Change> changes;
    bool fileIsBefore = false;
    quint64 serial = 0;
};

// A file's text newer than the file: waiting, being written, or failed.
struct Newest {
    QString text;
    bool whole = true; // a memo's is only changes, worked out by the writer
    quint64 serial = 0;
};

// The text a memo's box showed as its last changes were written, which the
// next changes apply to.
struct WrittenBox {
    QString text;
    bool inItsFile = false;
};

QString applied(QString text, const Writer::Change &change)
{
    for (const Writer::Edit &edit : change)
        text.replace(edit.position, edit.removed, edit.added);
    return text;
}

} // namespace

// Shared with the thread, which may outlive the Writer when the disk is
// stuck at the end of the run.
struct Writer::State {
    explicit State(const DataFolder &folder)
        : data(folder.root())
    {
    }

    const DataFolder data;
    mutable std::mutex mutex;
    std::condition_variable changed;
    QList<QString> order; // files waiting, in the order they came
    QHash<QString, Job> waiting;
    bool busy = false;
    bool stopping = false;
    bool held = false;
    quint64 serial = 0;
    QHash<QString, Newest> newest;
    QHash<QString, WrittenBox> boxes;
    Finished finished;

    // Under the lock.
    void queue(Job job, std::initializer_list<std::pair<QString, Newest>> texts)
    {
        job.serial = ++serial;
        for (const auto &[path, text] : texts) {
            if (!path.isEmpty()) // a memo with no backup to write
                newest.insert(path, {text.text, text.whole, serial});
        }
        if (!waiting.contains(job.path))
            order.append(job.path);
        waiting.insert(job.path, std::move(job));
        changed.notify_all();
    }

    QList<Written> write(const Job &job, const WrittenBox &box, QString *boxNow) const
    {
        if (job.backup.isEmpty() && job.changes.isEmpty()) {
            return {{job.path, job.integer ? data.writeIntegerValue(job.path, job.text.toInt())
                                           : data.writeTextValue(job.path, job.text)}};
        }
        if (job.changes.isEmpty())
            return {{job.backup, data.backupValue(job.path, job.backup)}};
        if (job.backup.isEmpty()) { // a memo whose backup may not be written over
            *boxNow = box.text;
            for (const Writer::Change &change : job.changes)
                *boxNow = applied(std::move(*boxNow), change);
            return {{job.path, data.writeTextValue(job.path, StoredText::toStored(*boxNow))}};
        }
        // The text one change before the newest is the backup; it is the
        // memo's file where only one change came since the file was written.
        QString before = box.text;
        for (qsizetype n = 0; n + 1 < job.changes.size(); ++n)
            before = applied(std::move(before), job.changes[n]);
        *boxNow = applied(before, job.changes.last());
        const bool one = job.changes.size() == 1;
        std::optional<QString> backup;
        if (!one || !job.fileIsBefore)
            backup = before;
        const FileSystem::MemoWritten done = data.writeMemo(job.path, *boxNow, job.backup, backup, one && box.inItsFile);
        // One cause is told once: a backup not written for the memo's failure says nothing of its own.
        const bool same = !done.memo.ok() && done.memo.error == done.backup.error;
        Written memo{job.path, done.memo};
        if (done.memo.ok())
            memo.stamp = FileSystem::stamp(data.absolute(job.path)).value;
        return {memo, {job.backup, done.backup, same}};
    }

    void run()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || (!order.isEmpty() && !held); });
            if (order.isEmpty())
                return;
            const Job job = waiting.take(order.takeFirst());
            const WrittenBox box = boxes.value(job.path);
            busy = true;
            lock.unlock();
            QString boxNow;
            const QList<Written> written = write(job, box, &boxNow);
            lock.lock();
            busy = false;
            for (const Written &one : written) {
                // Newer texts handed over meanwhile stay the newest.
                const auto it = newest.find(one.path);
                if (one.result.ok() && it != newest.end() && it->serial <= job.serial)
                    newest.erase(it);
            }
            if (!job.changes.isEmpty())
                boxes.insert(job.path, {boxNow, written.first().result.ok()});
            if (finished)
                finished(written);
            changed.notify_all();
        }
    }
};

Writer::Writer(const DataFolder &data, Finished finished)
    : m_state(std::make_shared<State>(data))
{
    m_state->finished = std::move(finished);
    std::thread([state = m_state] { state->run(); }).detach();
}

Writer::~Writer()
{
    // A disk that did not get through in time before is not waited for again.
    if (!m_stuck)
        flush(kEndMs);
    std::lock_guard<std::mutex> lock(m_state->mutex);
    // A write still stuck on the disk finishes, or not, without anyone to tell.
    m_state->finished = nullptr;
    m_state->stopping = true;
    m_state->changed.notify_all();
}

void Writer::filled(const QString &memo, const QString &boxText, bool inItsFile)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->boxes.insert(memo, {boxText, inItsFile});
}

void Writer::change(const QString &memo, const QString &backup, const Change &change, bool fileIsBefore)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    const Newest changes{QString(), false};
    const auto it = m_state->waiting.find(memo);
    if (it != m_state->waiting.end()) {
        it->changes.append(change);
        it->serial = ++m_state->serial;
        for (const QString &path : {memo, it->backup}) {
            if (!path.isEmpty())
                m_state->newest.insert(path, {QString(), false, it->serial});
        }
        return;
    }
    // A box never filled starts empty, whatever it showed in a Main before.
    if (fileIsBefore)
        m_state->boxes.insert(memo, {});
    m_state->queue({memo, backup, QString(), false, {change}, fileIsBefore}, {{memo, changes}, {backup, changes}});
}

void Writer::backUp(const QString &memo, const QString &backup)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    // Changes that wait make the backup themselves.
    if (m_state->waiting.contains(memo))
        return;
    m_state->queue({memo, backup, QString(), false, {}, true}, {{backup, {QString(), false}}});
}

void Writer::integer(const QString &path, int value)
{
    const QString digits = QString::number(value);
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->queue({path, QString(), digits, true, {}, false}, {{path, {digits}}});
}

void Writer::text(const QString &path, const QString &text)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->queue({path, QString(), text, false, {}, false}, {{path, {text}}});
}

std::optional<Writer::Newer> Writer::newer(const QString &path) const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    const auto it = m_state->newest.constFind(path);
    if (it == m_state->newest.constEnd())
        return std::nullopt;
    return Newer{it->text, it->whole};
}

void Writer::forget(const QString &path)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    if (!m_state->waiting.contains(path))
        m_state->newest.remove(path);
    if (const auto box = m_state->boxes.find(path); box != m_state->boxes.end())
        box->inItsFile = false;
}

void Writer::hold(bool held)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->held = held;
    m_state->changed.notify_all();
}

bool Writer::flush(int ms)
{
    std::unique_lock<std::mutex> lock(m_state->mutex);
    const auto idle = [this] { return m_state->order.isEmpty() && !m_state->busy; };
    if (ms < 0)
        m_state->changed.wait(lock, idle);
    else
        m_stuck = !m_state->changed.wait_for(lock, std::chrono::milliseconds(ms), idle);
    return !m_stuck;
}
