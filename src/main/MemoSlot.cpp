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
    if (m_unsaved)
        return;
    // Set first: the assignment's change handler then finds nothing to save.
    m_stored = StoredText::toBox(m_values.read(ValueFiles::memo(m_slot)));
    if (m_stored != box()->toPlainText())
        m_box->setPlainText(m_stored);
    // Filling the empty box is its first change: the backup becomes the
    // text, so a cancel right after the start has nothing to take back,
    // rather than a change of an earlier run.
    if (!m_filled && !m_stored.isEmpty())
        m_values.backup(ValueFiles::memo(m_slot), ValueFiles::memoBackup(m_slot));
    m_filled = true;
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
    if (text == m_stored) {
        m_unsaved = false;
        return;
    }
    save(text);
}

bool MemoSlot::saveAgain()
{
    // Only a built box can hold a change.
    if (m_unsaved)
        save(m_box->toPlainText());
    return !m_unsaved;
}

void MemoSlot::save(const QString &text)
{
    m_values.backup(ValueFiles::memo(m_slot), ValueFiles::memoBackup(m_slot));
    m_unsaved = !m_values.writeText(ValueFiles::memo(m_slot), StoredText::toStored(text));
    if (!m_unsaved)
        m_stored = text;
}

QString MemoSlot::name() const
{
    return ValueFiles::memo(m_slot).section(QLatin1Char('/'), -1).chopped(4);
}
