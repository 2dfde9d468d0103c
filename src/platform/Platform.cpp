#include "Platform.h"

Platform::~Platform() = default;

QString Platform::title()
{
    return QStringLiteral("ポトラ");
}
