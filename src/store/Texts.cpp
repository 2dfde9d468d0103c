#include "Texts.h"

#include <QStringList>

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

QString readFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("次のファイルを読めませんでした。中身は空として扱います。\n%1\n理由: %2").arg(path, reason);
}
QString readFailedShownKept(const QString &path, const QString &reason)
{
    return QStringLiteral("次のファイルを読めませんでした。画面の内容はそのまま残します。\n%1\n理由: %2").arg(path, reason);
}
QString readPartly(const QString &path, const QString &reason)
{
    return QStringLiteral("次のファイルは一部しか読めませんでした。読めた分だけ表示します。\n%1\n理由: %2").arg(path, reason);
}
QString keptAt(const QString &copy) { return QStringLiteral("元の内容はそのまま次のファイルに残しました: %1").arg(copy); }
QString notKept(const QString &reason)
{
    return QStringLiteral("元の内容を残せないので (%1)、このファイルには保存しません。").arg(reason);
}
QString writeFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("次のファイルに保存できませんでした。入力した内容は画面に残っています。\n%1\n理由: %2").arg(path, reason);
}
QString rescuedTo(const QStringList &files)
{
    return QStringLiteral("保存できなかったメモを次のファイルに残しました。\n") + files.join(QLatin1Char('\n'));
}
QString notRescued(const QStringList &memos)
{
    return QStringLiteral("保存できなかったメモを残すこともできませんでした。\n") + memos.join(QLatin1Char('\n'));
}
QString registered() { return QStringLiteral("スタートアップに登録しました"); }
QString registerFailed(const QString &reason) { return QStringLiteral("スタートアップに登録できませんでした\n理由: %1").arg(reason); }
QString unregistered() { return QStringLiteral("スタートアップから削除しました"); }
QString unregisterFailed(const QString &reason)
{
    return QStringLiteral("スタートアップから削除できませんでした\n理由: %1").arg(reason);
}
QString wasNotRegistered() { return QStringLiteral("スタートアップにはもともと登録されていません"); }
QString noDataFolder()
{
    return QStringLiteral("データを置くフォルダが決められません。\n環境変数 HOME か XDG_DATA_HOME を設定してください。");
}
QString runningButNotAnswering(const QString &program)
{
    return program + QStringLiteral("はこのフォルダで既に動いていますが、応答がありません。");
}
QString folderNotReady(const QString &problems) { return QStringLiteral("データフォルダを準備できませんでした。\n") + problems; }
QString tooShort() { return QStringLiteral("縦の長さが短すぎです"); }
QString tooNarrow() { return QStringLiteral("横の長さが短すぎです"); }

QString pathReason(const QString &path, const QString &reason) { return QStringLiteral("%1: %2").arg(path, reason); }
QString missingFile() { return QStringLiteral("ファイルがありません"); }
QString folderInTheWay() { return QStringLiteral("ファイルではなくフォルダです"); }
QString notAPlainFile() { return QStringLiteral("通常のファイルではありません (パイプや装置など)"); }
QString notAPlainFileNotWritten() { return notAPlainFile() + QStringLiteral("。このファイルには保存しません"); }
QString notANumber(const QString &text) { return QStringLiteral("数値ではありません: %1").arg(text); }
QString notInTheCodePage() { return QStringLiteral("Shift-JIS にない文字があります"); }
QString badEncoding() { return QStringLiteral("文字コードが正しくないか、途中で切れています"); }
QString tooLargeToRead(qint64 bytes, qint64 limit)
{
    return QStringLiteral("ファイルが大きすぎます (%1 MB、読めるのは %2 MB まで)")
        .arg(double(bytes) / (1024 * 1024), 0, 'f', 1)
        .arg(limit / (1024 * 1024));
}
QString tooLargeToSave(qint64 limit) { return QStringLiteral("大きすぎて保存できません (%1 MB まで)").arg(limit / (1024 * 1024)); }
QString notOverwrittenUnkept() { return QStringLiteral("読めなかった元の内容を残せないので、上書きしません"); }
QString noNameForACopy() { return QStringLiteral("残すファイルの名前がもうありません"); }
QString cannotMakeFolder(const QString &reason) { return QStringLiteral("フォルダを作れません: %1").arg(reason); }
QString fileWhereAFolderGoes(const QString &path) { return QStringLiteral("%1: フォルダの場所にファイルがあります").arg(path); }
QString noFolder() { return QStringLiteral("場所がありません"); }
QString noHome() { return QStringLiteral("ホームフォルダが分かりません (HOME が設定されていません)"); }
QString systemError(const QString &code) { return QStringLiteral("Windows のエラー %1").arg(code); }
QString noStartupFolder() { return QStringLiteral("スタートアップフォルダが分かりません"); }

QString helpViewerTitle(const QString &program) { return program + QStringLiteral(" ヘルプ"); }
QString bellDescription() { return QStringLiteral("メモのお知らせ"); }

} // namespace Texts
