#include "ValueFile.h"

#include "CodePage.h"

#include <QStringDecoder>

namespace ValueFile {
namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const QByteArray kLineEnd("\r\n");

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Japanese in code page 932 is practically never valid UTF-8: its two-byte
// characters would have to fall into UTF-8's lead and trail byte pattern
// one after another.
bool isUtf8WithoutMark(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return false;
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

QByteArray encodeInteger(int value)
{
    return QByteArray::number(value) + kLineEnd;
}

QByteArray encodeText(const QString &text)
{
    // Encoded straight into one buffer: a memo may be megabytes, and every
    // keystroke writes it.
    QByteArray bytes(text.size() * 2 + 4, Qt::Uninitialized);
    char *out = bytes.data();
    *out++ = '"';
    out = CodePage::encode(text, out);
    if (!out)
        return kBom + '"' + text.toUtf8() + '"' + kLineEnd;
    *out++ = '"';
    *out++ = '\r';
    *out++ = '\n';
    bytes.truncate(out - bytes.constData());
    return bytes;
}

Decoded decode(const QByteArray &bytes)
{
    Decoded result;
    const bool marked = bytes.startsWith(kBom);
    QByteArrayView rest(bytes);
    if (marked)
        rest = rest.sliced(kBom.size());
    const bool utf8 = marked || isUtf8WithoutMark(rest);

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
        result.text = decoder.decode(item);
        result.clean = !decoder.hasError();
    } else {
        result.text = CodePage::decode(item, result.clean);
    }
    return result;
}

} // namespace ValueFile
