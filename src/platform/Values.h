#pragma once

#include <QSet>
#include <QString>

class DataFolder;
class Platform;

// The value files as the windows use them: every read and write goes to the
// data folder, and a file that cannot be read or written is reported to the
// user once, until it works again, never once per keystroke.
class Values
{
public:
    Values(DataFolder &data, Platform &platform);

    DataFolder &data() { return m_data; }

    // A missing or unreadable file reads as the empty text.
    QString read(const QString &relative);
    bool writeText(const QString &relative, const QString &text);
    bool writeInteger(const QString &relative, int value);
    // `to` takes what `from` holds now.
    bool backup(const QString &from, const QString &to);

    bool hasProblem(const QString &relative) const;

private:
    bool settle(const QString &relative, const QString &error, bool writing);

    DataFolder &m_data;
    Platform &m_platform;
    QSet<QString> m_reported;
};
