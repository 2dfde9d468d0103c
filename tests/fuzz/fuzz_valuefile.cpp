// libFuzzer target for the value file reader: any bytes must read without
// a crash, a hang or a sanitizer report, and any text written must read
// back as itself.
#include "store/ValueFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ValueFile::decode(bytes);

    const QString text = QString::fromUtf8(bytes);
    const QString back = ValueFile::decode(ValueFile::encodeText(text)).text;
    if (back != text)
        std::abort();
    return 0;
}
