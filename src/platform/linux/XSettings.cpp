#include "XSettings.h"

namespace XSettings {

QString string(const QByteArray &property, const QByteArray &name)
{
    // The layout: byte order, 3 unused, serial, count; each setting: type
    // (0 integer, 1 string, 2 colour), unused, name length, name padded to
    // 4, serial, then its value: 4 bytes, a length and padded bytes, or 8.
    const bool bigEndian = !property.isEmpty() && property[0] == 1;
    const auto number = [&](qint64 at, int size) -> qint64 {
        if (at < 0 || at + size > property.size())
            return -1;
        quint32 value = 0;
        for (int i = 0; i < size; ++i) {
            const quint32 byte = quint8(property[int(at + (bigEndian ? i : size - 1 - i))]);
            value = value << 8 | byte;
        }
        return value;
    };
    const auto padded = [](qint64 length) { return (length + 3) / 4 * 4; };
    const qint64 count = number(8, 4);
    qint64 at = 12;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 type = number(at, 1), nameLength = number(at + 2, 2);
        if (type < 0 || nameLength < 0)
            return QString();
        const QByteArray settingName = property.mid(int(at + 4), int(nameLength));
        at += 4 + padded(nameLength) + 4;
        if (type == 1) {
            const qint64 length = number(at, 4);
            if (length < 0 || at + 4 + length > property.size())
                return QString();
            if (settingName == name)
                return QString::fromUtf8(property.mid(int(at + 4), int(length)));
            at += 4 + padded(length);
        } else if (type == 0 || type == 2) {
            at += type == 0 ? 4 : 8;
        } else {
            return QString();
        }
    }
    return QString();
}

} // namespace XSettings
