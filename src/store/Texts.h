#pragma once

#include <QString>

// The program's own words, one table for every window: what a user reads or
// hears from the program lives here, so that each text is written once and
// the texts can be read, and changed, side by side. Every layer may use it.
//
// Controls: what a screen reader says for a control (its accessible name and
// description) where the caption alone cannot tell the user what, or which,
// it is. A caption that already says it, such as "オプション", is its own
// control's name and has no entry.
namespace Texts {

// Main: the memo pages 1..10, the extra memo and the two cancels.
QString pageBoxName(int page);
QString pageButtonName(int page);
QString extraMemoName();
QString memoBoxDescription();
QString pageCancelName(int page);
QString extraCancelName();

// The timer memo overview and the editors of timer memos 1..3.
QString timerMemoButtonName(int memo, const QString &memoText);
QString timerEnabledName(int memo);
QString timerTextName(int memo);
QString timerHourName(int memo);
QString timerMinuteName(int memo);
QString timeBoxDescription();
QString timerHourStepName(int memo, bool up);
QString timerMinuteStepName(int memo, bool up);

// The start-up memo editor.
QString startupTextName();

// The position and size editor.
QString restoreDescription();

// The help viewer.
QString helpPageName();

// Messages: what the program's boxes say. `path` is a file's full name as
// the system writes it, `reason` why something failed.
QString readFailed(const QString &path, const QString &reason); // nothing of it is shown
QString readFailedShownKept(const QString &path, const QString &reason); // the window keeps what it shows
QString readPartly(const QString &path, const QString &reason); // what could be read is shown
QString keptAt(const QString &copy);
QString notKept(const QString &reason);
QString writeFailed(const QString &path, const QString &reason);
QString rescuedTo(const QStringList &files);
QString notRescued(const QStringList &memos);
QString registered();
QString registerFailed(const QString &reason);
QString unregistered();
QString unregisterFailed(const QString &reason);
QString wasNotRegistered();
QString noDataFolder();
QString runningButNotAnswering(const QString &program);
QString folderNotReady(const QString &problems); // one a line
QString tooShort();
QString tooNarrow();

// Reasons, as the messages above give them.
// A reason that concerns one file or folder, which it names.
QString pathReason(const QString &path, const QString &reason);
QString missingFile();
QString folderInTheWay();
QString notAPlainFile();
QString notAPlainFileNotWritten();
QString badEncoding();
QString notInTheCodePage();
QString notANumber(const QString &text);
QString tooLargeToRead(qint64 bytes, qint64 limit);
QString tooLargeToSave(qint64 limit);
QString notOverwrittenUnkept();
QString noNameForACopy();
QString cannotMakeFolder(const QString &reason);
QString fileWhereAFolderGoes(const QString &path);
QString noFolder();
QString noHome();
QString systemError(const QString &code); // where the system has no words of its own
QString noStartupFolder();

// The platform's own words: the help viewer's title until its page gives
// one, and what the sound server lists the bell as.
QString helpViewerTitle(const QString &program);
QString bellDescription();

} // namespace Texts
