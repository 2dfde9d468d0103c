#pragma once

#include "Writer.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class DataFolder;

// The value files as the windows use them: every read and write goes to the
// data folder, and a file that cannot be read, or written, is reported to
// the user once, until that works again, never once per keystroke. A file
// that is there but does not read as it is, is set aside whole before
// anything writes over it; where it cannot be, nothing writes over it.
//
// What is typed is saved behind the keys (see Writer); every read sees the
// newest text, written or still waiting.
class Values
{
public:
    // Shows a message to the user.
    using Report = std::function<void(const QString &message)>;

    Values(const DataFolder &data, Report report);

    // A missing or unreadable file reads as the empty text.
    QString read(const QString &relative);
    // For a window that shows the file's text already: where nothing of the
    // file can be read, nothing, and the window keeps what it shows (a
    // memo emptied on screen by a file another program holds locked, or
    // put out of the way, would be saved empty at the next key).
    std::optional<QString> readOrKeep(const QString &relative);
    // Written now: for a window that closes once its values are saved. A
    // failure has been reported to the user already.
    Result<> writeText(const QString &relative, const QString &text);
    Result<> writeInteger(const QString &relative, int value);

    // Saved behind the keys, a memo as its box changes (see Writer): the
    // text its box was filled with, each change of the box, and the backup
    // made its file as it is when the box is first filled.
    void filled(const QString &memo, const QString &boxText);
    void saveChange(const QString &memo, const QString &backup, const Writer::Change &change, bool fileIsBefore);
    void backUp(const QString &memo, const QString &backup, const QString &boxText);
    void saveInteger(const QString &relative, int value);
    // Whether the newest text of `relative` is not on disk: still waiting,
    // or not written.
    bool unsaved(const QString &relative) const;
    // Whether the file is as the program last read or wrote it, as far as
    // its stamp tells: then it holds what the box shows, unread.
    bool asLastSeen(const QString &relative) const;
    // Waits for what is waiting to be written, `ms` at most; false when the
    // disk did not get through it in that time.
    bool flush(int ms);
    // See Writer::hold.
    void holdWrites(bool held) { m_writer.hold(held); }
    // How long the end of a window or of the run waits for that.
    static constexpr int kWaitMs = Writer::kEndMs;

private:
    std::optional<QString> read(const QString &relative, bool keepShown);
    // The user hears of a failed read or write of a file once, until it
    // works again. A message waits for the event loop, unless it comes from
    // there (the writer's outcomes): not inside the edit or load that failed.
    void tellOfRead(const QString &relative, const Result<> &read);
    Result<> tellOfWrite(const QString &relative, const Result<> &written);
    void tellOfWriteNow(const QString &relative, const Result<> &written);
    bool firstTime(QSet<QString> &told, const QString &relative, const Result<> &outcome);
    // Fails for a file that did not read as it is and could not be set aside.
    Result<> mayWriteOver(const QString &relative) const;
    void finished(const QList<Writer::Written> &written);

    const DataFolder &m_data;
    Report m_report;
    QSet<QString> m_toldOfReads, m_toldOfWrites;
    // Files that did not read as they are and could not be set aside: not
    // to be written over in this run. A memo that would have gone to them is
    // held by its box, and unsaved, for the rescue at the end.
    QSet<QString> m_notSetAside;
    QSet<QString> m_held;
    // Each file's stamp as the program last read or wrote it clean.
    QHash<QString, FileSystem::Stamp> m_seen;
    // The messages waiting for the event loop are timers owned by this
    // object, so that none is shown once Values is gone.
    QObject m_pending;
    // Declared last, so that it is destroyed first: its destructor waits for
    // what is still being written, while the members above still exist, and
    // then stops telling Values of outcomes.
    Writer m_writer;
};
