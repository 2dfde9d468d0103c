#pragma once

#include <QString>
#include <QStringList>

// Names of the value files, relative to the data folder.
namespace ValueFiles {

inline const QString kChange = QStringLiteral("set/Change.txt");
inline const QString kLeft = QStringLiteral("set/Left.txt");
inline const QString kTop = QStringLiteral("set/Top.txt");
inline const QString kWidth = QStringLiteral("set/Width.txt");
inline const QString kHeight = QStringLiteral("set/Height.txt");
inline const QString kStartupMemo = QStringLiteral("Timer/memo4.txt");
inline const QString kStartupFlag = QStringLiteral("Timer/startup.txt");

constexpr int kPageCount = 10;
// Memo 11 is the extra memo, shown above every page.
constexpr int kExtraMemo = 11;
constexpr int kExtraSlot = 11;

// Memo slot 1..10 are the pages, 11 the extra memo. Page 1 carries no digit.
QString memo(int slot);
QString memoBackup(int slot);

// Timer memo 1..3.
QString timerText(int memo);
QString timerHour(int memo);
QString timerMinute(int memo);
QString timerEnabled(int memo);

enum class Kind { Integer, Text };

struct Entry {
    QString path;
    Kind kind;
    QString initial; // the value a new data folder starts with
};

// Every value file the program uses, with its kind and first value.
const QList<Entry> &inventory();

} // namespace ValueFiles
