#include "store/CodePage.h"
#include "store/Texts.h"

#include <iconv.h>

namespace CodePage {
namespace {

// The C library's converter, a module of 100 KB that maps in a fraction of
// a millisecond. ICU's, behind QStringConverter, mapped 1 MB of conversion
// data and took 5 ms of every start; it also swapped the control codes
// 0x1A, 0x1C and 0x7F as IBM's variant does, which Windows does not. One
// handle each way per thread, opened once.
class Handles
{
public:
    static iconv_t toUtf16() { return handles().decoder; }
    static iconv_t fromUtf16() { return handles().encoder; }

private:
    Handles()
        : decoder(iconv_open(kUtf16, "CP932"))
        , encoder(iconv_open("CP932", kUtf16))
    {
    }
    ~Handles()
    {
        for (const iconv_t handle : {decoder, encoder}) {
            if (handle != iconv_t(-1))
                iconv_close(handle);
        }
    }
    static Handles &handles()
    {
        thread_local Handles handles;
        return handles;
    }

    static constexpr const char *kUtf16 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";
    const iconv_t decoder;
    const iconv_t encoder;
};

// The C library writes these as characters code page 932 only has
// look-alikes of (〜 as ～, ¥ as a backslash, − as －), which would read back
// as those.
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

} // namespace

Result<QString> decode(QByteArrayView bytes)
{
    bool clean = true;
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
    const iconv_t handle = inLeft ? Handles::toUtf16() : iconv_t(-1);
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
    return {text, clean ? QString() : Texts::badEncoding()};
}

Result<char *> encode(QStringView text, char *out)
{
    qsizetype ascii = 0;
    while (ascii < text.size() && text[ascii].unicode() < 0x80)
        *out++ = char(text[ascii++].unicode());
    text = text.sliced(ascii);
    if (text.isEmpty())
        return {out, {}};
    const iconv_t handle = Handles::fromUtf16();
    if (handle == iconv_t(-1) || hasLookAlike(text))
        return {nullptr, Texts::notInTheCodePage()};
    char *in = const_cast<char *>(reinterpret_cast<const char *>(text.utf16()));
    size_t inLeft = size_t(text.size()) * 2;
    size_t outLeft = size_t(text.size()) * 2;
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    if (iconv(handle, &in, &inLeft, &out, &outLeft) == size_t(-1))
        return {nullptr, Texts::notInTheCodePage()};
    return {out, {}};
}

} // namespace CodePage
