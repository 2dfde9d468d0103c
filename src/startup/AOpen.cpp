#include "AOpen.h"

#include "platform/Platform.h"
#include "store/StoredText.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

AOpen::AOpen(Values &values, Platform &platform)
    : m_values(values)
    , m_platform(platform)
{
    setWindowTitle(QStringLiteral("起動時タイマー"));
}

void AOpen::AOpen_Form_Load()
{
    const QString memo = m_values.read(ValueFiles::kStartupMemo);
    // Only the empty text is empty: a memo of spaces or line breaks is shown.
    if (!memo.isEmpty())
        m_platform.announce(StoredText::toBox(memo));
}
