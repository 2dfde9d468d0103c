#include "MemoSlot.h"

#include "store/StoredText.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QPlainTextEdit>

MemoSlot::MemoSlot(int slot, BoxMaker makeBox, Values &values, QObject *parent)
    : QObject(parent)
    , m_slot(slot)
    , m_makeBox(std::move(makeBox))
    , m_values(values)
{
}

QPlainTextEdit *MemoSlot::box()
{
    if (!m_box)
        m_box = m_makeBox();
    return m_box;
}

void MemoSlot::loadFromFile()
{
    // A change not on disk yet, or not at all, is newer than the file.
    if (m_values.unsaved(ValueFiles::memo(m_slot)))
        return;
    // Set first: the assignment's change handler then finds nothing to save.
    m_stored = StoredText::toBox(m_values.read(ValueFiles::memo(m_slot)));
    if (m_stored != box()->toPlainText())
        m_box->setPlainText(m_stored);
    // Filling the empty box is its first change: the backup becomes the
    // text, so a cancel right after the start has nothing to take back,
    // rather than a change of an earlier run.
    if (!m_known && !m_stored.isEmpty()) {
        const QString text = StoredText::toStored(m_stored);
        m_values.saveMemo(ValueFiles::memo(m_slot), ValueFiles::memoBackup(m_slot), text, text);
    }
    m_known = true;
}

void MemoSlot::cancel()
{
    assign(StoredText::toBox(m_values.read(ValueFiles::memoBackup(m_slot))));
}

void MemoSlot::assign(const QString &boxText)
{
    if (boxText == box()->toPlainText())
        return;
    m_box->setPlainText(boxText); // runs changed() inside
    // Typing goes on where the restored text ends, not at its start.
    m_box->moveCursor(QTextCursor::End);
}

void MemoSlot::changed()
{
    // The box also reports changes that leave its text as it was: every
    // step of an input method's composition, and a composition given up.
    const QString text = m_box->toPlainText();
    if (text == m_stored)
        return;
    // Handed over at once: the key does not wait for the disk. The text one
    // change before the first change of a box never filled is its file's,
    // read by the writer.
    std::optional<QString> before;
    if (m_known)
        before = StoredText::toStored(m_stored);
    m_values.saveMemo(ValueFiles::memo(m_slot), ValueFiles::memoBackup(m_slot), before, StoredText::toStored(text));
    m_stored = text;
    m_known = true;
}

bool MemoSlot::saveAgain()
{
    const QString memo = ValueFiles::memo(m_slot);
    // Only a built box can hold a change; whether it is saved now, unsaved() tells.
    if (m_values.unsaved(memo))
        std::ignore = m_values.writeText(memo, StoredText::toStored(m_box->toPlainText()));
    return !m_values.unsaved(memo);
}

bool MemoSlot::onDisk() const
{
    return !m_values.unsaved(ValueFiles::memo(m_slot));
}

QString MemoSlot::name() const
{
    return ValueFiles::memo(m_slot).section(QLatin1Char('/'), -1).chopped(4);
}
