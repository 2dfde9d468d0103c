// Writes what the system's code page 932 converter makes of every BMP
// character and of every one- and two-byte sequence, one line each, so
// that the Windows build's table can be compared with the Linux build's:
//   E <code point> <bytes written, or "-" for none of its own>
//   D <bytes> <code points read> <clean or damaged>
#include "store/CodePage.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace {

QByteArray hex(QByteArrayView bytes)
{
    return bytes.isEmpty() ? QByteArray("-") : bytes.toByteArray().toHex();
}

QByteArray points(const QString &text)
{
    QByteArray out;
    for (const QChar c : text)
        out += (out.isEmpty() ? "" : ",") + QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    return out.isEmpty() ? QByteArray("-") : out;
}

void line(const QByteArray &text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fputc('\n', stdout);
}

void decodeLine(const QByteArray &bytes)
{
    const Result<QString> text = CodePage::decode(bytes);
    line("D " + hex(bytes) + ' ' + points(text.value) + (text.ok() ? " clean" : " damaged"));
}

} // namespace

int main()
{
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const QChar character(c);
        char out[4];
        const Result<char *> end = CodePage::encode(QStringView(&character, 1), out);
        line("E " + QByteArray::number(uint(c), 16).rightJustified(4, '0') + ' '
             + (end.ok() ? hex(QByteArrayView(out, end.value - out)) : QByteArray("-")));
    }
    for (int first = 0x80; first <= 0xFF; ++first) {
        decodeLine(QByteArray(1, char(first)));
        for (int second = 0x40; second <= 0xFF; ++second)
            decodeLine(QByteArray({char(first), char(second)}));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
