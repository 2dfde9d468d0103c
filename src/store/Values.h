#pragma once

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
class Values
{
public:
    // Shows a message to the user.
    using Report = std::function<void(const QString &message)>;

    Values(const DataFolder &data, Report report);

    // A missing or unreadable file reads as the empty text.
    QString read(const QString &relative);
    bool writeText(const QString &relative, const QString &text);
    bool writeInteger(const QString &relative, int value);
    // `to` takes what `from` holds now.
    bool backup(const QString &from, const QString &to);

private:
    bool settle(const QString &relative, const QString &error, bool writing);
    // Why `relative` may not be written over, or an empty text.
    QString guarded(const QString &relative) const;

    const DataFolder &m_data;
    Report m_report;
    QSet<QString> m_reportedReads, m_reportedWrites;
    // Files that did not read as they are and could not be kept whole: not
    // to be written over until they read again.
    QSet<QString> m_unkept;
    // Reports wait for the event loop; they go with this object.
    QObject m_pending;
};
