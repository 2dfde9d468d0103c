#pragma once

#include "Result.h"

#include <QDateTime>
#include <QString>

// Memos that could not be saved where they belong, written instead to new
// files in the user's own data folder before the program lets them go.
namespace Rescue {

// Writes `text` as UTF-8 to a new file in `folder` named for the memo and
// the time, "memo3 2026-12-07 07-05-30.txt", never over an earlier one;
// gives the file's path.
Result<QString> save(const QString &folder, const QString &memo, const QDateTime &time, const QString &text);

// A word for the user that could not be shown when it arose (the session
// was ending): kept in `folder` until the next start takes it.
Result<> leaveNotice(const QString &folder, const QString &text);
QString takeNotice(const QString &folder);

} // namespace Rescue
