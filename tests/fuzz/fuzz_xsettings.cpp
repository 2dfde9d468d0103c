// libFuzzer target for the XSettings reader, which reads another program's
// bytes: any property must read without a crash, a hang or a sanitizer
// report, and what it gives is a part of the bytes, decoded. A byte that
// is no UTF-8 becomes one U+FFFD, three bytes again, so the bound is in
// UTF-16 units, and only a text without U+FFFD is looked for in the bytes.
#include "platform/linux/XSettings.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray property(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString theme = XSettings::string(property, "Net/SoundThemeName");
    if (theme.size() > property.size())
        std::abort();
    if (!theme.contains(QChar::ReplacementCharacter) && !property.contains(theme.toUtf8()))
        std::abort();
    return 0;
}
