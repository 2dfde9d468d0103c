#include "AOpen.h"

#include "app/Windows.h"
#include "main/MemoSlot.h"
#include "platform/Platform.h"
#include "platform/Values.h"
#include "store/ValueFiles.h"

AOpen::AOpen(Windows &windows)
    : m_windows(windows)
{
    setWindowTitle(QStringLiteral("起動時タイマー"));
}

void AOpen::AOpen_Form_Load()
{
    const QString memo = m_windows.values().read(ValueFiles::kStartupMemo);
    // Only the empty text is empty: a memo of spaces or line breaks is shown.
    if (!memo.isEmpty())
        m_windows.platform().announce(MemoSlot::toBox(memo));
}
