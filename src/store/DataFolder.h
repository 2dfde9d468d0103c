#pragma once

#include "FileSystem.h"
#include "Result.h"

#include <QString>

#include <optional>

// The program's own folder and the value files in it. Every path given to
// it is relative to the data folder, never to the current directory.
class DataFolder
{
public:
    explicit DataFolder(QString root);

    const QString &root() const { return m_root; }
    QString absolute(const QString &relative) const;

    // A value file is tiny; a file far larger is a paste gone wrong or
    // damage. Beyond this nothing is read, and nothing is written that
    // could not be read back.
    static constexpr qint64 kLimit = 64 * 1024 * 1024;

    // What a read gives, also where it failed (then with the reason).
    struct Read {
        QString text;
        bool partly = false; // the text is what could be read of a damaged file
        // A file that is there but did not read as it is: it is to be set
        // aside whole before anything writes over it.
        bool setAside = false;
    };

    // A missing or unreadable file reads as the empty text, with the reason.
    // Only plain files are read: never a pipe or a device in a file's place.
    Result<Read> readValue(const QString &relative) const;
    Result<> writeIntegerValue(const QString &relative, int value) const;
    Result<> writeTextValue(const QString &relative, const QString &text) const;

    // Makes `to` hold what `from` holds now, replacing it whole, without
    // reading it where `from` itself can become `to` (a hard link): the
    // one-step backup of a memo, as the memo's file is. A missing file
    // holds the empty text.
    Result<> backupValue(const QString &from, const QString &to) const;
    // A memo's new text and its backup's, as the box shows them, replaced
    // together (see FileSystem::replaceMemo): the backup is `before`, or
    // without it the memo's file as it is now, without which the text is
    // not written. `linkable`: the memo's file holds `before`.
    FileSystem::MemoWritten writeMemo(const QString &memo, const QString &text, const QString &backup,
                                      const std::optional<QString> &before, bool linkable) const;

    // Sets a file that did not read as it is aside, whole and unread, beside
    // itself: "<name>.damaged", then "-2", "-3" for other damage later; a
    // copy that holds the same already is enough. Gives the copy's relative
    // path.
    Result<QString> setAside(const QString &relative) const;

    // Creates the data folder, its two subfolders and every value file that
    // is missing, with its first value; never touches a file that exists.
    // Removes temporary files that a crash left beside value files. The
    // problems met are the error, one line each. Only the one running copy
    // may call it.
    Result<> ensureLayout() const;

private:
    // A value file's bytes as they are; a missing file's are the empty text's.
    Result<QByteArray> bytesOf(const QString &relative) const;
    void removeLeftovers() const;
    Result<> replace(const QString &relative, const QByteArray &bytes) const;

    QString m_root;
};
