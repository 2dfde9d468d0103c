#pragma once

#include <QList>

class MemoSlot;
class Platform;
class Values;

// What Main's memos hold when Main goes: each memo whose save failed is
// saved once more, and what still cannot be saved goes to a file of the
// user's own (Rescue), so that quitting, the position editor or a log-off
// never loses a memo, and never waits long for a stuck disk.
class MemoRescue
{
public:
    MemoRescue(QList<MemoSlot *> memoSlots, Values &values, Platform &platform);

    // The desktop saves its session: tried once more, nothing more.
    void saveAgain();
    // Main goes. At the session's end the user is told at the next start,
    // as a box now would hold the log-off up.
    void rescue(bool sessionEnding);

private:
    QList<MemoSlot *> m_slots;
    Values &m_values;
    Platform &m_platform;
};
