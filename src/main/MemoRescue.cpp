#include "MemoRescue.h"

#include "MemoSlot.h"
#include "platform/Platform.h"
#include "store/Rescue.h"
#include "store/Texts.h"
#include "store/Values.h"

#include <QDir>
#include <QPlainTextEdit>

MemoRescue::MemoRescue(QList<MemoSlot *> memoSlots, Values &values, Platform &platform)
    : m_slots(std::move(memoSlots))
    , m_values(values)
    , m_platform(platform)
{
}

void MemoRescue::saveAgain()
{
    // A disk that does not get through what waits in time is not asked again.
    if (!m_values.flush(Values::kWaitMs))
        return;
    for (MemoSlot *slot : m_slots)
        slot->saveAgain();
}

void MemoRescue::rescue(bool sessionEnding)
{
    // What waits to be written is, a few seconds at most; a text still not
    // on disk then goes to a file of the user's own.
    const bool written = m_values.flush(Values::kWaitMs);
    QStringList kept, lost;
    for (MemoSlot *slot : m_slots) {
        if (written ? slot->saveAgain() : slot->onDisk())
            continue;
        const Result<QString> saved = Rescue::save(m_platform.userDataFolder(), slot->name(), m_platform.now(),
                                                   slot->box()->toPlainText());
        if (saved.ok())
            kept << QDir::toNativeSeparators(saved.value);
        else
            lost << Texts::pathReason(slot->name(), saved.error);
    }
    QStringList said;
    if (!kept.isEmpty())
        said << Texts::rescuedTo(kept);
    if (!lost.isEmpty())
        said << Texts::notRescued(lost);
    if (said.isEmpty())
        return;
    const QString text = said.join(QLatin1Char('\n'));
    if (!sessionEnding)
        return m_platform.message(nullptr, text);
    if (const Result<> left = Rescue::leaveNotice(m_platform.userDataFolder(), text); !left.ok())
        qWarning("the notice for the next start could not be left (%s): %s", qPrintable(left.error), qPrintable(text));
}
