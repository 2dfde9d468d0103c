#include "Fonts.h"

#include <QStringList>

namespace Fonts {

QFont msPGothic(double points, bool bold, bool italic)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
                      QStringLiteral("TakaoPGothic"), QStringLiteral("Sans Serif")});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace Fonts
