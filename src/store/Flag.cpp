#include "Flag.h"

Qt::CheckState flagState(const QString &text)
{
    // By the text, as the minute's check goes: a hand-edited "01" is off.
    if (text == QLatin1String("1"))
        return Qt::Checked;
    if (text == QLatin1String("2"))
        return Qt::PartiallyChecked;
    return Qt::Unchecked;
}
