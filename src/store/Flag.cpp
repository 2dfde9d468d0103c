#include "Flag.h"

Qt::CheckState flagState(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok && value == 1)
        return Qt::Checked;
    if (ok && value == 2)
        return Qt::PartiallyChecked;
    return Qt::Unchecked;
}
