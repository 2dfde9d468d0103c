#pragma once

#include <QColor>
#include <QString>

// What every window of the program shares.
namespace Look {

// The program's name: Main's and the position editor's caption, the title
// of every message box, the tray icon's tip.
inline const QString kProgramName = QStringLiteral("ポトラ");
// The light cyan of Main and of the position editor that stands in for it.
inline const QColor kWindowColour{192, 255, 255};

} // namespace Look
