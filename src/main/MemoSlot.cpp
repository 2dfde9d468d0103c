#include "MemoSlot.h"

#include "store/StoredText.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

MemoSlot::MemoSlot(int slot, BoxMaker makeBox, Values &values, QObject *parent)
    : QObject(parent)
    , m_slot(slot)
    , m_makeBox(std::move(makeBox))
    , m_values(values)
{
}

QPlainTextEdit *MemoSlot::box()
{
    if (!m_box) {
        m_box = m_makeBox();
        // Reported before the box's textChanged, which runs changed().
        connect(m_box->document(), &QTextDocument::contentsChange, this, &MemoSlot::reported);
    }
    return m_box;
}

QString MemoSlot::plain(qsizetype from, qsizetype to) const
{
    QTextCursor cursor(m_box->document());
    cursor.setPosition(int(from));
    cursor.setPosition(int(to), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    // As toPlainText() gives the text.
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\xFDD0' || c == u'\xFDD1')
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return text;
}

void MemoSlot::reported(int position, int removed, int added)
{
    if (m_loading)
        return;
    const qsizetype length = m_box->document()->characterCount() - 1;
    // setPlainText() and clear() count the final paragraph break too.
    const qsizetype gone = std::min<qsizetype>(removed, m_shown.size() - position);
    const qsizetype come = std::min<qsizetype>(added, length - position);
    Edit edit;
    if (position < 0 || gone < 0 || come < 0 || m_shown.size() - gone + come != length) {
        // A report that does not add up: the whole text is the change.
        edit = {0, m_shown.toString(), m_box->toPlainText()};
    } else {
        edit = {position, m_shown.mid(position, gone), plain(position, position + come)};
    }
    // A step of a composition reports its whole paragraph, a format its
    // characters, the same before and after: only what differs is a change.
    QStringView before(edit.removed), after(edit.added);
    qsizetype head = 0, tail = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    while (tail < before.size() - head && tail < after.size() - head
           && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    if (head + tail == before.size() && head + tail == after.size())
        return;
    edit = {edit.position + head, before.mid(head, before.size() - head - tail).toString(),
            after.mid(head, after.size() - head - tail).toString()};
    m_shown.replace(edit.position, edit.removed.size(), edit.added);
    m_edits << edit;
}

void MemoSlot::changed()
{
    // The box also reports changes that leave its text as it was: every
    // step of an input method's composition, and a composition given up.
    if (m_edits.isEmpty())
        return;
    Writer::Change change;
    for (const Edit &edit : std::as_const(m_edits))
        change.append({edit.position, edit.removed.size(), edit.added});
    // Handed over at once: the key does not wait for the disk. The text
    // before the first change of a box never filled is its file's.
    m_values.saveChange(ValueFiles::memo(m_slot), ValueFiles::memoBackup(m_slot), change, !m_known);
    m_backup = m_known ? Backup::OneChangeBack : Backup::InItsFileOnly;
    m_last = std::exchange(m_edits, {});
    m_known = true;
}

void MemoSlot::replace(qsizetype position, qsizetype length, const QString &text)
{
    QTextCursor cursor(m_box->document());
    cursor.setPosition(int(position));
    cursor.setPosition(int(position + length), QTextCursor::KeepAnchor);
    cursor.insertText(text);
    if (!m_loading) // typing goes on where the restored text ends
        m_box->setTextCursor(cursor);
}

bool MemoSlot::show(const QString &text, bool asChange)
{
    const qsizetype head = m_shown.commonPrefix(text);
    const qsizetype tail = m_shown.commonSuffix(text, head);
    if (head == m_shown.size() && head == text.size())
        return false;
    m_loading = !asChange;
    if (m_loading && m_shown.size() == 0)
        m_box->setPlainText(text); // filled: no edit the user could undo
    else
        replace(head, m_shown.size() - head - tail, text.mid(head, text.size() - head - tail));
    if (m_loading)
        m_shown = BoxText(text, m_box->textCursor().position());
    m_loading = false;
    return true;
}

void MemoSlot::loadFromFile()
{
    const QString memo = ValueFiles::memo(m_slot);
    // A change not on disk yet, or not at all, is newer than the file.
    if (m_values.unsaved(memo))
        return;
    // The minute's refresh finds the file as the program left it.
    if (m_known && m_values.asLastSeen(memo))
        return;
    const std::optional<QString> stored = m_known ? m_values.readOrKeep(memo) : m_values.read(memo);
    if (!stored) {
        // The box keeps its text, which its file no longer holds as far as
        // the program knows: the next change backs up the text, not the file.
        m_values.filled(memo, m_shown.toString());
        return;
    }
    const QString text = StoredText::toBox(*stored);
    box();
    const bool differs = show(text, false);
    m_values.filled(memo, text);
    // Filling the empty box is its first change: the backup becomes the
    // text, so a cancel right after the start has nothing to take back,
    // rather than a change of an earlier run. Filled anew from a file that
    // another program changed, the backup keeps its own text.
    if (!m_known && !text.isEmpty()) {
        m_values.backUp(memo, ValueFiles::memoBackup(m_slot), text);
        m_backup = Backup::Shown;
    } else if (differs) {
        m_backup = Backup::InItsFileOnly;
    }
    m_known = true;
}

void MemoSlot::cancel()
{
    box();
    switch (m_backup) {
    case Backup::Shown:
        return;
    case Backup::OneChangeBack: {
        // The last change undone, as one edit: saved in turn, it is the
        // change the next cancel undoes.
        QTextCursor cursor(m_box->document());
        cursor.beginEditBlock();
        for (auto edit = m_last.crbegin(); edit != m_last.crend(); ++edit) {
            cursor.setPosition(int(edit->position));
            cursor.setPosition(int(edit->position + edit->added.size()), QTextCursor::KeepAnchor);
            cursor.insertText(edit->removed);
        }
        cursor.endEditBlock();
        m_box->setTextCursor(cursor);
        return;
    }
    case Backup::InItsFileOnly:
        // A backup that cannot be read takes nothing back.
        if (const std::optional<QString> backup = m_values.readOrKeep(ValueFiles::memoBackup(m_slot)))
            std::ignore = show(StoredText::toBox(*backup), true);
        return;
    }
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
