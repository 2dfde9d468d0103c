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

} // namespace Texts
