#include "ValueFiles.h"

namespace ValueFiles {
namespace {

QString slotStem(int slot)
{
    return slot == 1 ? QStringLiteral("set/memo") : QStringLiteral("set/memo%1").arg(slot);
}

QString timerFile(int memo, const char *suffix)
{
    return QStringLiteral("Timer/memo%1%2.txt").arg(memo).arg(QLatin1String(suffix));
}

QList<Entry> buildInventory()
{
    QList<Entry> list;
    list.append({kChange, Kind::Integer, QStringLiteral("1")});
    for (int slot = 1; slot <= kExtraSlot; ++slot) {
        list.append({memo(slot), Kind::Text, QString()});
        list.append({memoBackup(slot), Kind::Text, QString()});
    }
    // A place on any screen of 640 x 480 or more, and a size the editor accepts.
    list.append({kLeft, Kind::Text, QStringLiteral("600")});
    list.append({kTop, Kind::Text, QStringLiteral("600")});
    list.append({kWidth, Kind::Text, QStringLiteral("7320")});
    list.append({kHeight, Kind::Text, QStringLiteral("6000")});
    for (int n = 1; n <= 3; ++n) {
        list.append({timerText(n), Kind::Text, QString()});
        list.append({timerHour(n), Kind::Text, QStringLiteral("00")});
        list.append({timerMinute(n), Kind::Text, QStringLiteral("00")});
        list.append({timerEnabled(n), Kind::Integer, QStringLiteral("0")});
    }
    list.append({kStartupMemo, Kind::Text, QString()});
    list.append({kStartupFlag, Kind::Integer, QStringLiteral("0")});
    return list;
}

} // namespace

QString memo(int slot) { return slotStem(slot) + QStringLiteral(".txt"); }
QString memoBackup(int slot) { return slotStem(slot) + QStringLiteral("X.txt"); }

QString timerText(int memo) { return timerFile(memo, ""); }
QString timerHour(int memo) { return timerFile(memo, "-2"); }
QString timerMinute(int memo) { return timerFile(memo, "-3"); }
QString timerEnabled(int memo) { return QStringLiteral("Timer/true%1.txt").arg(memo); }

const QList<Entry> &inventory()
{
    static const QList<Entry> list = buildInventory();
    return list;
}

} // namespace ValueFiles
