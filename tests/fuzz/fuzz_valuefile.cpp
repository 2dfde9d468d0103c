// libFuzzer target for the value file reader: any bytes must read without
// a crash, a hang or a sanitizer report, and any text written must read
// back as itself: the input as UTF-8, and the input as a text of the
// characters code page 932 holds (two bytes pick one).
#include "store/ValueFile.h"

#include <QList>

#include <cstdint>
#include <cstdlib>

namespace {

const QList<QChar> &codePageCharacters()
{
    static const QList<QChar> characters = [] {
        QList<QChar> list;
        for (char16_t c = 1; c < 0xFFFF; ++c) {
            if (!QChar::isSurrogate(c) && !ValueFile::encodeText(QString(QChar(c))).startsWith('\xEF'))
                list << QChar(c);
        }
        return list;
    }();
    return characters;
}

void readsBack(const QString &text)
{
    if (ValueFile::decode(ValueFile::encodeText(text)).value != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    std::ignore = ValueFile::decode(bytes);
    readsBack(QString::fromUtf8(bytes));

    const QList<QChar> &characters = codePageCharacters();
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text += characters.at((data[i] << 8 | data[i + 1]) % characters.size());
    readsBack(text);
    return 0;
}
