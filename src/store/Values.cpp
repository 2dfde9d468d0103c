#include "Values.h"

#include "DataFolder.h"

#include <QDir>
#include <QTimer>

Values::Values(const DataFolder &data, Report report)
    : m_data(data)
    , m_report(std::move(report))
{
}

QString Values::read(const QString &relative)
{
    const DataFolder::Read result = m_data.readValue(relative);
    if (result.error.isEmpty()) {
        m_unkept.remove(relative);
        settle(relative, QString(), false);
        return result.text;
    }
    QString error = result.error;
    if (result.keep) {
        const Result<QString> kept = m_data.keepWhole(relative);
        if (kept.ok()) {
            m_unkept.remove(relative);
            error += QStringLiteral("\n元の内容はそのまま次のファイルに残しました: %1")
                         .arg(QDir::toNativeSeparators(m_data.absolute(kept.value)));
        } else {
            m_unkept.insert(relative);
            error += QStringLiteral("\n元の内容を残せないので (%1)、このファイルには保存しません。").arg(kept.error);
        }
    }
    error = (result.partly ? QStringLiteral("次のファイルは一部しか読めませんでした。読めた分だけ表示します。\n%1\n理由: %2")
                           : QStringLiteral("次のファイルを読めませんでした。中身は空として扱います。\n%1\n理由: %2"))
                .arg(QDir::toNativeSeparators(m_data.absolute(relative)), error);
    settle(relative, error, false);
    return result.text;
}

QString Values::guarded(const QString &relative) const
{
    return m_unkept.contains(relative) ? QStringLiteral("読めなかった元の内容を残せないので、上書きしません") : QString();
}

bool Values::writeText(const QString &relative, const QString &text)
{
    QString error = guarded(relative);
    if (error.isEmpty())
        error = m_data.writeTextValue(relative, text).error;
    return settle(relative, error, true);
}

bool Values::writeInteger(const QString &relative, int value)
{
    QString error = guarded(relative);
    if (error.isEmpty())
        error = m_data.writeIntegerValue(relative, value).error;
    return settle(relative, error, true);
}

bool Values::backup(const QString &from, const QString &to)
{
    QString error = guarded(to);
    if (error.isEmpty())
        error = m_data.backupValue(from, to).error;
    return settle(to, error, true);
}

bool Values::settle(const QString &relative, const QString &error, bool writing)
{
    QSet<QString> &reported = writing ? m_reportedWrites : m_reportedReads;
    if (error.isEmpty()) {
        reported.remove(relative);
        return true;
    }
    if (reported.contains(relative))
        return false;
    reported.insert(relative);

    const QString text =
        writing ? QStringLiteral("次のファイルに保存できませんでした。入力した内容は画面に残っています。\n%1\n理由: %2")
                      .arg(QDir::toNativeSeparators(m_data.absolute(relative)), error)
                : error;
    // Shown from the event loop, not inside the edit or load that failed.
    QTimer::singleShot(0, &m_pending, [this, text] { m_report(text); });
    return false;
}
