#pragma once

#include "DataFolder.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Writes value files behind the keys, on a thread of its own, so that no key
// waits for the disk. Each file gets its newest text: while one is being
// written, a newer text of the same file takes the place of the one that
// waits, so that on slow storage the disk falls one replace behind, never
// seconds. A memo goes with its backup, as the two texts the window holds:
// the text and the one a change before it.
class Writer
{
public:
    // What became of one file, by its path in the data folder. A file left
    // alone because the other of its pair failed for the same cause is told
    // of by its pair.
    struct Written {
        QString path;
        Result<> result;
        bool toldByItsPair = false;
    };
    // Called on the writer's thread after each write, with what it wrote.
    using Finished = std::function<void(const QList<Written> &)>;

    Writer(const DataFolder &data, Finished finished);
    // Waits for what is still to be written, a few seconds at most: a stuck
    // disk must not hold a log-off up.
    ~Writer();

    // The memo's text `now`, and `before`, the text one change before it,
    // for its backup. Equal texts only make the backup the memo's text.
    // Without `before` the memo's file as it is becomes the backup, before
    // the text is written over it; the text is not written where that fails.
    void memo(const QString &memo, const QString &backup, const std::optional<QString> &before, const QString &now);
    void integer(const QString &path, int value);
    void text(const QString &path, const QString &text);

    // The newest text handed over for `path` that is not known to be on disk:
    // waiting, being written, or failed.
    bool latest(const QString &path, QString *text) const;
    // Whether `path` is to become a memo's file as that is now: its text is
    // the file's, which only the writer reads.
    bool backingUp(const QString &path) const;
    // What a read found in a file that nothing is writing: the writer can
    // then tell whether a memo's file holds the text one change before.
    void read(const QString &path, const QString &text);
    // Forgets a failed text once the file was written otherwise.
    void forget(const QString &path);
    // Waits until nothing waits or is being written; `ms` at most, or for
    // good when negative. False when the time ran out.
    bool flush(int ms);
    // While held nothing is written and what is handed over waits, as it
    // does behind a slow disk: for tests of what waits, on every system.
    void hold(bool held);

    static constexpr int kEndMs = 3000;

private:
    struct State;
    std::shared_ptr<State> m_state;
    bool m_stuck = false;
};
