#include "store/CodePage.h"
#include "store/Texts.h"

#include <climits>
#include <windows.h>

namespace CodePage {
namespace {

constexpr UINT kShiftJis = 932;

const wchar_t *wide(const QChar *text) { return reinterpret_cast<const wchar_t *>(text); }

// Windows maps five bytes that begin no Shift-JIS character to a control
// code and to private use, so that any bytes survive a round trip: 0x80 as
// U+0080, 0xA0 and 0xFD to 0xFF as U+F8F0 to U+F8F3. In a memo they are
// damage, not text, as they are to the C library's converter on Linux, and
// a data folder must read the same on either system. (Wine 8 reads only
// 0x80 back, though it writes all five.)
bool isByteKeeper(char16_t c)
{
    return c == 0x0080 || (c >= 0xF8F0 && c <= 0xF8F3);
}

bool hasByteKeeper(QStringView text)
{
    for (const QChar c : text) {
        if (isByteKeeper(c.unicode()))
            return true;
    }
    return false;
}

// One character's bytes: a lead byte takes the byte after it along.
int characterLength(QByteArrayView bytes, qsizetype at)
{
    const bool lead = IsDBCSLeadByteEx(kShiftJis, BYTE(bytes[at]));
    return lead && at + 1 < bytes.size() ? 2 : 1;
}

} // namespace

Result<QString> decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    if (bytes.size() > INT_MAX / 2)
        return {QString(), Texts::badEncoding()};
    // Every byte gives at most one UTF-16 unit, one that cannot be read too.
    QString text(bytes.size(), Qt::Uninitialized);
    wchar_t *const start = reinterpret_cast<wchar_t *>(text.data());
    // Clean text, the usual case, in one call; MB_ERR_INVALID_CHARS makes
    // the call fail on any byte no character begins with, where Windows
    // would otherwise put its own ・ in, quietly.
    int length = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), start,
                                     int(bytes.size()));
    if (length > 0 && !hasByteKeeper(QStringView(text).left(length))) {
        text.truncate(length);
        return {text, {}};
    }
    // Damaged: one character at a time, each byte that does not read marked
    // and read on from the next, as the C library's converter does on Linux.
    wchar_t *out = start;
    bool clean = true;
    for (qsizetype at = 0; at < bytes.size();) {
        const int size = characterLength(bytes, at);
        const int got = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data() + at, size, out, 2);
        if (got > 0 && out + got <= start + text.size() && !(got == 1 && isByteKeeper(out[0]))) {
            out += got;
            at += size;
            continue;
        }
        clean = false;
        *out++ = QChar::ReplacementCharacter;
        ++at;
    }
    text.truncate(int(out - start));
    return {text, clean ? QString() : Texts::badEncoding()};
}

Result<char *> encode(QStringView text, char *out)
{
    if (text.isEmpty())
        return {out, {}};
    if (text.size() > INT_MAX / 2 || hasByteKeeper(text))
        return {nullptr, Texts::notInTheCodePage()};
    // WC_NO_BEST_FIT_CHARS: a character with no code of its own takes the
    // default character, and says so, instead of a look-alike (〜 as ～,
    // ¥ as a backslash), which would read back as that.
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide(text.data()), int(text.size()), out,
                                            int(text.size()) * 2, nullptr, &usedDefault);
    if (written <= 0 || usedDefault)
        return {nullptr, Texts::notInTheCodePage()};
    return {out + written, {}};
}

} // namespace CodePage
