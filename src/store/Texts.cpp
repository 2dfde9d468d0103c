#include "Texts.h"

namespace {

// "キャンセル（メモ 3）": the name begins with the caption the eye reads, which
// voice control goes by, and then says whose control it is.
QString whose(const QString &what, const QString &owner)
{
    return what + QStringLiteral("（") + owner + QStringLiteral("）");
}

QString timerMemo(int memo) { return QStringLiteral("メモ%1").arg(memo); }

QString step(const QString &field, int memo, bool up)
{
    return whose(field + (up ? QStringLiteral("を増やす") : QStringLiteral("を減らす")), timerMemo(memo));
}

} // namespace

namespace Texts {

QString pageBoxName(int page) { return QStringLiteral("メモ %1").arg(page); }
QString pageButtonName(int page) { return QStringLiteral("メモ %1 を表示").arg(page); }
QString extraMemoName() { return QStringLiteral("アクティブメモ"); }
QString memoBoxDescription() { return QStringLiteral("書いたことはその場で保存されます"); }
QString pageCancelName(int page) { return whose(QStringLiteral("キャンセル"), pageBoxName(page)); }
QString extraCancelName() { return whose(QStringLiteral("キャンセル"), extraMemoName()); }

QString timerMemoButtonName(int memo, const QString &memoText)
{
    // The whole memo, on one line; the caption shows only what fits.
    const QString line = memoText.simplified();
    return line.isEmpty() ? timerMemo(memo) : timerMemo(memo) + QStringLiteral(": ") + line;
}
QString timerEnabledName(int memo) { return whose(QStringLiteral("有効"), timerMemo(memo)); }
QString timerTextName(int memo) { return whose(QStringLiteral("メモ内容"), timerMemo(memo)); }
QString timerHourName(int memo) { return whose(QStringLiteral("時"), timerMemo(memo)); }
QString timerMinuteName(int memo) { return whose(QStringLiteral("分"), timerMemo(memo)); }
QString timeBoxDescription() { return QStringLiteral("半角数字で入力してください（時は24時間で、午後2時は14）"); }
QString timerHourStepName(int memo, bool up) { return step(QStringLiteral("時"), memo, up); }
QString timerMinuteStepName(int memo, bool up) { return step(QStringLiteral("分"), memo, up); }

QString startupTextName() { return whose(QStringLiteral("メモ内容"), QStringLiteral("起動時メモ")); }

QString restoreDescription() { return QStringLiteral("今の位置と大きさを保存して、メモの画面に戻ります"); }

QString helpPageName() { return QStringLiteral("ヘルプの本文"); }

} // namespace Texts
