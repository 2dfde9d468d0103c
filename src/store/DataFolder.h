#pragma once

#include "Result.h"

#include <QString>
#include <QStringList>

// The program's own folder and the value files in it. Every path given to
// it is relative to the data folder, never to the current directory.
class DataFolder
{
public:
    explicit DataFolder(QString root);

    const QString &root() const { return m_root; }
    QString absolute(const QString &relative) const;

    struct Read {
        QString text;
        QString error; // empty when the file was read as it is
        QString kept;  // where the bytes of a file that does not read cleanly were kept
    };

    // A missing or unreadable file reads as the empty text, with the reason.
    Read readValue(const QString &relative) const;
    Result<> writeIntegerValue(const QString &relative, int value) const;
    Result<> writeTextValue(const QString &relative, const QString &text) const;

    // Makes `to` hold what `from` holds now, replacing it whole: the one-step
    // backup of a memo before its new text is written.
    Result<> backupValue(const QString &from, const QString &to) const;

    // Creates the two subfolders and every value file that is missing, with
    // its first value; never touches a file that exists. Removes temporary
    // files that a crash left beside value files. Returns the problems met,
    // one line each. Only the one running copy may call it.
    QStringList ensureLayout() const;

private:
    void removeLeftovers() const;
    Result<> replace(const QString &relative, const QByteArray &bytes) const;

    QString m_root;
};
