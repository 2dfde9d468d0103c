#pragma once

#include "FileSystem.h"
#include "Result.h"

#include <QByteArray>
#include <QString>

// The steps a safe replace is made of, one implementation per system;
// FileSystem puts them together the same way on every system.
namespace FileSteps {

// A replace up to its rename: the temporary file beside the target holds
// every byte, synced unless `sync` is false (then sync() follows).
struct Staged {
    QString target; // a symbolic link followed
    QString temp;
};
// Where staging fails nothing is left behind; the target is named all the same.
Result<Staged> stage(const QString &path, const QByteArray &bytes, bool sync = true);
// A failed sync removes the temporary file.
Result<> sync(const Staged &staged);
// The rename into place; a failed one removes the temporary file.
Result<> commit(const Staged &staged);
void drop(const Staged &staged);

// `to` becomes the very file `from` is, by a hard link renamed into place,
// the folder not synced yet (or it was that file already).
Result<FileSystem::Link> link(const QString &from, const QString &to);

// Makes the renames in the folders of `one` and `other` durable.
Result<> syncFolders(const QString &one, const QString &other);

} // namespace FileSteps
