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
// seconds. A memo goes with its backup, the text one change before it.
//
// A memo's text is handed over as the changes the box reports, never whole:
// a key costs the same in a memo of a line as in one of 60 MB. The writer
// keeps the text they apply to, and works the whole text out (its line
// breaks, its code page) on its own thread.
class Writer
{
public:
    // What became of one file, by its path in the data folder. A file left
    // alone because the other of its pair failed for the same cause is told
    // of by its pair.
    struct Written {
        Written(QString path, Result<> result, bool toldByItsPair = false)
            : path(std::move(path))
            , result(std::move(result))
            , toldByItsPair(toldByItsPair)
        {
        }
        QString path;
        Result<> result;
        bool toldByItsPair = false;
        FileSystem::Stamp stamp; // a memo's file as it was written
    };
    // Called on the writer's thread after each write, with what it wrote.
    using Finished = std::function<void(const QList<Written> &)>;

    // One change of a memo's box: `removed` characters at `position`
    // replaced by `added`, in the box's form (\n line breaks); the edits of
    // one change follow one another.
    struct Edit {
        qsizetype position = 0;
        qsizetype removed = 0;
        QString added;
    };
    using Change = QList<Edit>;

    Writer(const DataFolder &data, Finished finished);
    // Waits for what is still to be written, a few seconds at most: a stuck
    // disk must not hold a log-off up.
    ~Writer();

    // The text a memo's box shows now, as the box was filled: the changes
    // handed over next apply to it. `inItsFile`: the memo's file holds it.
    void filled(const QString &memo, const QString &boxText, bool inItsFile);
    // A change of the memo's box; its backup gets the text one change
    // before. `fileIsBefore`: the box was never filled, and the text before
    // this change is the memo's file as it is (the box starts empty).
    void change(const QString &memo, const QString &backup, const Change &change, bool fileIsBefore);
    // The backup becomes the memo's file as it is, as when the box is first
    // filled from it.
    void backUp(const QString &memo, const QString &backup);
    void integer(const QString &path, int value);
    void text(const QString &path, const QString &text);

    // A newer text than the file at `path` holds: handed over and waiting,
    // being written, or failed. A memo's and its backup's are not whole:
    // the writer works them out from the box's changes, into the files.
    struct Newer {
        QString text;
        bool whole = true;
    };
    std::optional<Newer> newer(const QString &path) const;
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
