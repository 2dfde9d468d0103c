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
    QString error = result.error;
    if (!result.kept.isEmpty())
        error += QStringLiteral("\n元の内容はそのまま次のファイルに残しました: %1")
                     .arg(QDir::toNativeSeparators(m_data.absolute(result.kept)));
    settle(relative, error, false);
    return result.text;
}

bool Values::writeText(const QString &relative, const QString &text)
{
    return settle(relative, m_data.writeTextValue(relative, text).error, true);
}

bool Values::writeInteger(const QString &relative, int value)
{
    return settle(relative, m_data.writeIntegerValue(relative, value).error, true);
}

bool Values::backup(const QString &from, const QString &to)
{
    return settle(to, m_data.backupValue(from, to).error, true);
}

bool Values::settle(const QString &relative, const QString &error, bool writing)
{
    if (error.isEmpty()) {
        m_reported.remove(relative);
        return true;
    }
    if (m_reported.contains(relative))
        return false;
    m_reported.insert(relative);

    const QString path = QDir::toNativeSeparators(m_data.absolute(relative));
    const QString text =
        writing ? QStringLiteral("次のファイルに保存できませんでした。入力した内容は画面に残っています。\n%1\n理由: %2")
                      .arg(path, error)
                : QStringLiteral("次のファイルを読めませんでした。読めた分だけ表示します。\n%1\n理由: %2")
                      .arg(path, error);
    // Shown from the event loop, not inside the edit or load that failed.
    QTimer::singleShot(0, &m_pending, [this, text] { m_report(text); });
    return false;
}
