#pragma once

#include "Result.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932, the Shift-JIS of Windows, through the system's own
// converter: the C library's on Linux, Windows' on Windows.
namespace CodePage {

// The text; a byte no character begins with, or a character cut off at the
// end, reads as U+FFFD, and the text is damaged.
Result<QString> decode(QByteArrayView bytes);

// Writes `text` at `out`, which has room for two bytes a UTF-16 unit, and
// gives the end. Fails when a character has no code of its own there (a
// look-alike is no code of its own: 〜 is not ～).
Result<char *> encode(QStringView text, char *out);

} // namespace CodePage
