#pragma once

#include "Writer.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class DataFolder;

// The value files as the windows use them: every read and write goes to the
// data folder, and a file that cannot be read, or written, is reported to
// the user once, until that works again, never once per keystroke. A file
// that is there but does not read as it is, is kept whole before anything
// writes over it; where it cannot be kept, nothing does.
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
    // Written now: for a window that closes once its values are saved.
    bool writeText(const QString &relative, const QString &text);
    bool writeInteger(const QString &relative, int value);

    // Saved behind the keys: a memo's text `now` with `before`, the text one
    // change before it, for its backup (the same text: only the backup;
    // none: the memo's file as it is).
    void saveMemo(const QString &memo, const QString &backup, const std::optional<QString> &before, const QString &now);
    void saveInteger(const QString &relative, int value);
    // Whether the newest text of `relative` is not on disk: still waiting,
    // or not written.
    bool unsaved(const QString &relative) const;
    // Waits for what is waiting to be written, `ms` at most; false when the
    // disk did not get through it in that time.
    bool flush(int ms);
    // See Writer::hold.
    void holdWrites(bool held) { m_writer.hold(held); }
    // How long the end of a window or of the run waits for that.
    static constexpr int kWaitMs = Writer::kEndMs;

private:
    bool settle(const QString &relative, const QString &error, bool writing, bool fromTheLoop = false);
    // Why `relative` may not be written over, or an empty text.
    QString guarded(const QString &relative) const;
    void finished(const QList<Writer::Written> &written);

    const DataFolder &m_data;
    Report m_report;
    QSet<QString> m_reportedReads, m_reportedWrites;
    // Files that did not read as they are and could not be kept whole: not
    // to be written over in this run. What would have gone to them is held
    // here, for the window and the rescue at the end.
    QSet<QString> m_unkept;
    QHash<QString, QString> m_held;
    // Reports wait for the event loop; they go with this object.
    QObject m_pending;
    // Last: it goes first, and tells nothing once it has gone.
    Writer m_writer;
};
