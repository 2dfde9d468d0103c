#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>

// The byte form of one value file: a single integer or text item.
//
// Integers are bare digits + CR LF. Texts are a double quote, the text in
// code page 932, a double quote and CR LF, with nothing escaped. Two
// extensions keep every text intact while leaving that form untouched for
// every text it can carry:
//  - a text with a character code page 932 cannot encode is written as
//    UTF-8 behind a byte-order mark, which the reader recognises; a file
//    without the mark that is UTF-8 holding a character of three or four
//    bytes (as other editors save Japanese) is read as UTF-8 too, and a
//    text whose code page 932 form would pass for that is written behind
//    the mark;
//  - the closing quote of a text item is the last quote of the file, so a
//    text that contains double quotes reads back whole.
namespace ValueFile {

QByteArray encodeInteger(int value);
QByteArray encodeText(const QString &text);
// A text as a box shows it, \n its line breaks, written as encodeText()
// writes it with CR LF ones.
QByteArray encodeBoxText(const QString &boxText);

// Reads one item from a file's bytes; always yields text, which fails where
// the bytes were not valid in their encoding, or cut off.
Result<QString> decode(const QByteArray &bytes);

} // namespace ValueFile
