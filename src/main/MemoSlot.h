#pragma once

#include "BoxText.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class Values;
class QPlainTextEdit;

// One memo box with its value file and backup file. Every change of the
// box's content is handed over to be saved at once, with the text one change
// before it for the backup, so that cancel() can swap the two: one step
// back, and forward.
// What is handed over is the change alone, as the box reports it, never the
// whole text: a key in a memo of 60 MB costs what it costs in one of a
// line. The slot keeps its own copy of the box's text to see what a report
// removed, since the box reports steps of an input method's composition, a
// format and a whole text assigned in ways that do not say so exactly.
// The box is built the first time it is needed: a page never shown costs
// nothing.
class MemoSlot : public QObject
{
    Q_OBJECT
public:
    using BoxMaker = std::function<QPlainTextEdit *()>;

    MemoSlot(int slot, BoxMaker makeBox, Values &values, QObject *parent = nullptr);

    QPlainTextEdit *box();
    // The box, or null while it is not built.
    QPlainTextEdit *builtBox() const { return m_box; }

    // Fills the box from its value file. Loading is not editing: nothing is
    // written, and a box that already shows the text is left as it is; a
    // file as the program last read or wrote it is not even read. A box
    // whose last change could not be saved keeps its text, and so does a
    // box of this run whose file cannot be read.
    void loadFromFile();
    // Puts the backup text into the box as an edit, so it is saved in turn.
    void cancel();

    // The change handler: runs on every change of the box's content.
    void changed();
    // Tries once more, and waits for it, to save a change that could not be
    // saved; true when the box's text is on disk now.
    bool saveAgain();
    // Whether the box's text is on disk now.
    bool onDisk() const;
    // The value file's name without ".txt", naming the memo to the user.
    QString name() const;

private:
    struct Edit {
        qsizetype position = 0;
        QString removed, added;
    };
    // What the backup file holds, as far as the slot knows.
    enum class Backup { InItsFileOnly, Shown, OneChangeBack };

    void reported(int position, int removed, int added);
    // The box's text from `from` to `to`, as toPlainText() gives it.
    QString plain(qsizetype from, qsizetype to) const;
    // Makes the box show `text` with the least edit; false where it did
    // already. Where `asChange`, the edit is a change, saved in turn; else
    // the box is loaded.
    [[nodiscard]] bool show(const QString &text, bool asChange);
    void replace(qsizetype position, qsizetype length, const QString &text);

    int m_slot;
    BoxMaker m_makeBox;
    QPlainTextEdit *m_box = nullptr;
    Values &m_values;
    BoxText m_shown;      // the box's text, kept as it reports its changes
    QList<Edit> m_edits;  // reported since the last change was handed over
    QList<Edit> m_last;   // the last change handed over
    Backup m_backup = Backup::InItsFileOnly;
    // The box holds a text of this run: filled from its file, or changed.
    // Until then the box is empty whatever the file holds.
    bool m_known = false;
    bool m_loading = false;
};
