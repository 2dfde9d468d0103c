#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932, the Shift-JIS of Windows, through the system's own
// converter: the C library's on Linux, Windows' on Windows.
namespace CodePage {

// A byte no character begins with, or a character cut off at the end,
// reads as U+FFFD and clears `clean`.
QString decode(QByteArrayView bytes, bool &clean);

// Writes `text` at `out`, which has room for two bytes a UTF-16 unit, and
// returns the end; null when a character has no code of its own there (a
// look-alike is no code of its own: 〜 is not ～).
char *encode(QStringView text, char *out);

} // namespace CodePage
