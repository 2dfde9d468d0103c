#pragma once

#include <QString>

// A text as a box shows it (\n line breaks) and as a value file stores it
// (CR LF line breaks, as the older files hold them).
namespace StoredText {

QString toStored(const QString &boxText);
// Where it holds the text alone, the text is changed in place: a memo of
// 60 MB is not copied for its line breaks.
QString toBox(QString stored);

} // namespace StoredText
