#include "ValueFile.h"

#include <QStringDecoder>

#include <iconv.h>

namespace ValueFile {
namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const QByteArray kLineEnd("\r\n");

// Code page 932 through the C library's converter, a module of 100 KB that
// maps in a fraction of a millisecond. ICU's, behind QStringConverter,
// mapped 1 MB of conversion data and took 5 ms of every start; it also
// swapped the control codes 0x1A, 0x1C and 0x7F as IBM's variant does,
// which Windows does not. One handle each way per thread, opened once.
class CodePage
{
public:
    static iconv_t toUtf16() { return handles().decoder; }
    static iconv_t fromUtf16() { return handles().encoder; }

private:
    CodePage()
        : decoder(iconv_open(kUtf16, "CP932"))
        , encoder(iconv_open("CP932", kUtf16))
    {
    }
    ~CodePage()
    {
        for (const iconv_t handle : {decoder, encoder}) {
            if (handle != iconv_t(-1))
                iconv_close(handle);
        }
    }
    static CodePage &handles()
    {
        thread_local CodePage handles;
        return handles;
    }

    static constexpr const char *kUtf16 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";
    const iconv_t decoder;
    const iconv_t encoder;
};

QString decodeCodePage(QByteArrayView bytes, bool &clean)
{
    // Every byte gives at most one UTF-16 unit, one that cannot be read too.
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *const start = reinterpret_cast<char16_t *>(text.data());
    // ASCII reads as itself and needs no converter.
    qsizetype ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) {
        start[ascii] = char16_t(bytes[ascii]);
        ++ascii;
    }
    char *in = const_cast<char *>(bytes.data()) + ascii;
    size_t inLeft = size_t(bytes.size() - ascii);
    char *out = reinterpret_cast<char *>(start + ascii);
    size_t outLeft = inLeft * 2;
    const iconv_t handle = inLeft ? CodePage::toUtf16() : iconv_t(-1);
    if (handle != iconv_t(-1))
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0 && (handle == iconv_t(-1) || iconv(handle, &in, &inLeft, &out, &outLeft) == size_t(-1))) {
        // A byte no character begins with, or a character cut off at the
        // end: mark it and read on from the next byte.
        clean = false;
        *reinterpret_cast<char16_t *>(out) = QChar::ReplacementCharacter;
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    text.truncate(reinterpret_cast<char16_t *>(out) - start);
    return text;
}

// The C library writes these as characters code page 932 only has
// look-alikes of (〜 as ～, ¥ as a backslash, − as －), which would read back
// as those. tst_valuefile checks every character reads back as itself.
bool hasLookAlike(QStringView text)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case 0x00A2: case 0x00A3: case 0x00A5: case 0x00AC: case 0x2014:
        case 0x2016: case 0x203E: case 0x2212: case 0x301C:
            return true;
        default:
            break;
        }
    }
    return false;
}

// Appends `text` in code page 932 at `out`, which has room for two bytes a
// UTF-16 unit; returns the end, or null when a character has no code there.
char *encodeCodePage(QStringView text, char *out)
{
    qsizetype ascii = 0;
    while (ascii < text.size() && text[ascii].unicode() < 0x80)
        *out++ = char(text[ascii++].unicode());
    text = text.sliced(ascii);
    if (text.isEmpty())
        return out;
    const iconv_t handle = CodePage::fromUtf16();
    if (handle == iconv_t(-1) || hasLookAlike(text))
        return nullptr;
    char *in = const_cast<char *>(reinterpret_cast<const char *>(text.utf16()));
    size_t inLeft = size_t(text.size()) * 2;
    size_t outLeft = size_t(text.size()) * 2;
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    if (iconv(handle, &in, &inLeft, &out, &outLeft) == size_t(-1))
        return nullptr;
    return out;
}

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
    out = encodeCodePage(text, out);
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
        result.text = decodeCodePage(item, result.clean);
    }
    return result;
}

} // namespace ValueFile
