#include "ValueFile.h"

#include "CodePage.h"
#include "Texts.h"

#include <QStringDecoder>

namespace ValueFile {
namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const QByteArray kLineEnd("\r\n");

// How far bytes are UTF-8: not at all, all of them, or all but a character
// cut off at the very end. `wide` tells whether a character of three or
// four bytes came, as every Japanese character in UTF-8 is.
struct Utf8 {
    bool valid = false;
    bool wide = false;
    qsizetype cut = 0; // bytes of a character cut off at the end
};

Utf8 utf8Of(QByteArrayView bytes)
{
    Utf8 form;
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = b[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        // The lead byte, and the range its first trail byte must lie in
        // (no overlong forms, no surrogates, nothing beyond U+10FFFF).
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3, low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4, low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
        else
            return {};
        for (int k = 1; k < length; ++k) {
            if (i + k == n) {
                form.valid = true;
                form.cut = k;
                return form;
            }
            const unsigned char t = b[i + k];
            if (t < (k == 1 ? low : 0x80) || t > (k == 1 ? high : 0xBF))
                return {};
        }
        form.wide = form.wide || length > 2;
        i += length;
    }
    form.valid = true;
    return form;
}

// Bytes without a mark are UTF-8, as other editors save it, when they are
// UTF-8 through to the end (a character cut off there aside) and hold a
// character of three or four bytes; else they are code page 932. Japanese
// in code page 932 hardly ever passes: its most common lead bytes begin no
// UTF-8 character. Half-width katakana alone never do, though pairs of them
// are often valid UTF-8 of two-byte characters.
bool readsAsUtf8(const Utf8 &form)
{
    return form.valid && form.wide;
}

} // namespace

QByteArray encodeInteger(int value)
{
    return QByteArray::number(value) + kLineEnd;
}

namespace {

// Encoded straight into one buffer: a memo may be megabytes, and every
// change writes it. A box's line break becomes CR LF, the two bytes its
// character is given room for.
QByteArray encode(const QString &text, bool fromBox)
{
    QByteArray bytes(text.size() * 2 + 4, Qt::Uninitialized);
    char *out = bytes.data();
    *out++ = '"';
    bool encoded = true;
    for (qsizetype from = 0; encoded && from <= text.size();) {
        const qsizetype next = fromBox ? text.indexOf(u'\n', from) : -1;
        const qsizetype to = next < 0 ? text.size() : next;
        const Result<char *> line = CodePage::encode(QStringView(text).sliced(from, to - from), out);
        encoded = line.ok();
        out = line.value;
        if (encoded && next >= 0) {
            *out++ = '\r';
            *out++ = '\n';
        }
        from = to + 1;
    }
    if (encoded) {
        *out++ = '"';
        *out++ = '\r';
        *out++ = '\n';
        bytes.truncate(out - bytes.constData());
    }
    // A rare text (a kanji of the second level before half-width katakana)
    // whose code page 932 form the reader would take for UTF-8 goes behind
    // the mark too, so that every text written reads back as itself.
    if (encoded && !readsAsUtf8(utf8Of(bytes)))
        return bytes;
    const QString stored = fromBox ? QString(text).replace(u'\n', QLatin1String("\r\n")) : text;
    return kBom + '"' + stored.toUtf8() + '"' + kLineEnd;
}

} // namespace

QByteArray encodeText(const QString &text)
{
    return encode(text, false);
}

QByteArray encodeBoxText(const QString &boxText)
{
    return encode(boxText, true);
}

Result<QString> decode(const QByteArray &bytes)
{
    Result<QString> result;
    const bool marked = bytes.startsWith(kBom);
    QByteArrayView rest(bytes);
    if (marked)
        rest = rest.sliced(kBom.size());
    const Utf8 form = utf8Of(rest);
    const bool utf8 = marked || readsAsUtf8(form);
    // A copy cut short: what was whole is read, and the file is flagged.
    if (utf8 && form.cut) {
        rest.chop(form.cut);
        result.error = Texts::badEncoding();
    }

    qsizetype pos = 0;
    while (pos < rest.size() && rest[pos] == ' ')
        ++pos;

    QByteArrayView item;
    if (pos < rest.size() && rest[pos] == '"') {
        const qsizetype open = pos + 1;
        const qsizetype close = rest.lastIndexOf('"');
        if (close >= open) {
            item = rest.sliced(open, close - open);
        } else {
            // No closing quote: take the rest, less a final line break.
            item = rest.sliced(open);
            if (item.endsWith(kLineEnd))
                item.chop(2);
        }
    } else {
        qsizetype end = pos;
        while (end < rest.size() && rest[end] != ',' && rest[end] != '\r' && rest[end] != '\n')
            ++end;
        item = rest.sliced(pos, end - pos);
    }

    if (utf8) {
        // A text may itself begin with U+FEFF: keep it, it is not a mark here.
        QStringDecoder decoder(QStringConverter::Utf8,
                               QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
        result.value = decoder.decode(item);
        if (decoder.hasError())
            result.error = Texts::badEncoding();
    } else {
        const Result<QString> decoded = CodePage::decode(item);
        result.value = decoded.value;
        if (!decoded.ok())
            result.error = decoded.error;
    }
    return result;
}

} // namespace ValueFile
