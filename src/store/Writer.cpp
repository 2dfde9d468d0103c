#include "Writer.h"

#include <QHash>
#include <QSet>

#include <algorithm>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

struct Job {
    QString path;   // the memo, or a file of its own
    QString backup; // the memo's backup; empty for a file of its own
    QString before; // the backup's text
    QString now;    // the text, or an integer's digits
    bool integer = false;
    bool backupFromFile = false; // the memo's file as it is becomes the backup
    quint64 serial = 0;
};

struct Latest {
    QString text;
    quint64 serial = 0;
};

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
    QHash<QString, Latest> latest;
    QHash<QString, QString> onDisk; // what a memo's file is known to hold
    QSet<QString> fromFile; // backups to become their memo's file as it is
    Finished finished;

    void hand(Job job, std::initializer_list<std::pair<QString, QString>> texts)
    {
        std::lock_guard<std::mutex> lock(mutex);
        job.serial = ++serial;
        for (const auto &[path, text] : texts)
            latest.insert(path, {text, serial});
        if (!waiting.contains(job.path))
            order.append(job.path);
        else if (const Job &replaced = waiting[job.path]; replaced.backupFromFile)
            fromFile.remove(replaced.backup);
        if (job.backupFromFile)
            fromFile.insert(job.backup);
        waiting.insert(job.path, std::move(job));
        changed.notify_all();
    }

    QList<Written> write(const Job &job, bool memoOnDisk) const
    {
        if (job.backupFromFile) {
            // Without its backup the file's text would be lost: the memo waits.
            const Result<> backedUp = data.backupValue(job.path, job.backup, std::nullopt);
            if (!backedUp.ok())
                return {{job.path, backedUp}, {job.backup, backedUp, true}};
            return {{job.path, data.writeTextValue(job.path, job.now)}, {job.backup, {}}};
        }
        if (job.backup.isEmpty()) {
            return {{job.path, job.integer ? data.writeIntegerValue(job.path, job.now.toInt())
                                           : data.writeTextValue(job.path, job.now)}};
        }
        if (job.before == job.now) {
            // Only the backup: the file as it is where it holds the text.
            const Result<> backedUp = memoOnDisk ? data.backupValue(job.path, job.backup, job.before)
                                                 : data.writeTextValue(job.backup, job.before);
            return {{job.backup, backedUp}};
        }
        // Where the file holds the text one change before, it becomes the
        // backup as it is; further behind (keys came while a write was
        // synced), both texts are written.
        const FileSystem::MemoWritten done = data.writeMemo(job.path, job.now, job.backup, job.before, memoOnDisk);
        // One cause is told once: a backup not written for the memo's failure says nothing of its own.
        const bool same = !done.memo.ok() && done.memo.error == done.backup.error;
        return {{job.path, done.memo}, {job.backup, done.backup, same}};
    }

    void run()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || (!order.isEmpty() && !held); });
            if (order.isEmpty())
                return;
            const Job job = waiting.take(order.takeFirst());
            const bool memoOnDisk = !job.backup.isEmpty() && onDisk.contains(job.path) && onDisk.value(job.path) == job.before;
            busy = true;
            lock.unlock();
            const QList<Written> written = write(job, memoOnDisk);
            lock.lock();
            busy = false;
            if (job.backupFromFile)
                fromFile.remove(job.backup);
            for (const Written &one : written) {
                // Newer texts handed over meanwhile stay the newest.
                const auto it = latest.find(one.path);
                if (one.result.ok() && it != latest.end() && it->serial <= job.serial)
                    latest.erase(it);
            }
            if (!job.backup.isEmpty()) {
                const bool memoWritten = std::any_of(written.begin(), written.end(), [&](const Written &one) {
                    return one.path == job.path && one.result.ok();
                });
                if (memoWritten || (job.before == job.now && memoOnDisk))
                    onDisk.insert(job.path, job.now);
                else
                    onDisk.remove(job.path);
            }
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

void Writer::memo(const QString &memo, const QString &backup, const std::optional<QString> &before, const QString &now)
{
    if (before)
        m_state->hand({memo, backup, *before, now}, {{memo, now}, {backup, *before}});
    else
        m_state->hand({memo, backup, QString(), now, false, true}, {{memo, now}});
}

void Writer::integer(const QString &path, int value)
{
    const QString digits = QString::number(value);
    m_state->hand({path, QString(), QString(), digits, true}, {{path, digits}});
}

void Writer::text(const QString &path, const QString &text)
{
    m_state->hand({path, QString(), QString(), text}, {{path, text}});
}

bool Writer::latest(const QString &path, QString *text) const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    const auto it = m_state->latest.constFind(path);
    if (it == m_state->latest.constEnd())
        return false;
    *text = it->text;
    return true;
}

bool Writer::backingUp(const QString &path) const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->fromFile.contains(path);
}

void Writer::read(const QString &path, const QString &text)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    if (!m_state->latest.contains(path))
        m_state->onDisk.insert(path, text);
}

void Writer::forget(const QString &path)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    if (!m_state->waiting.contains(path))
        m_state->latest.remove(path);
    m_state->onDisk.remove(path);
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
