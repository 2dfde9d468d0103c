#pragma once

#include <QString>

// A text as a box shows it (\n line breaks) and as a value file stores it
// (CR LF line breaks, as the older files hold them).
namespace StoredText {

QString toStored(const QString &boxText);
QString toBox(const QString &stored);

} // namespace StoredText
