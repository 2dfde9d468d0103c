#include "StoredGeometry.h"

#include "Texts.h"
#include "ValueFiles.h"
#include "Values.h"

#include <charconv>
#include <cmath>

namespace StoredGeometry {
namespace {

// Beyond any screen; keeps a damaged file from asking for an absurd window.
constexpr double kLimit = 400000;

double initial(const QString &relative)
{
    for (const ValueFiles::Entry &entry : ValueFiles::inventory()) {
        if (entry.path == relative)
            return entry.initial.toDouble();
    }
    return 0;
}

double readOne(Values &values, const QString &relative)
{
    const Result<double> twips = parse(values.read(relative));
    if (!twips.ok())
        return initial(relative);
    return std::clamp(twips.value, -kLimit, kLimit);
}

} // namespace

Result<double> parse(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return {0, Texts::notANumber(text)};
    return {value, {}};
}

QString format(float twips)
{
    // Shortest fixed-point text that reads back as the same float.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, twips, std::chars_format::fixed);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QRectF read(Values &values)
{
    const double left = readOne(values, ValueFiles::kLeft);
    const double height = readOne(values, ValueFiles::kHeight);
    const double width = readOne(values, ValueFiles::kWidth);
    const double top = readOne(values, ValueFiles::kTop);
    return QRectF(left, top, std::max(0.0, width), std::max(0.0, height));
}

} // namespace StoredGeometry
