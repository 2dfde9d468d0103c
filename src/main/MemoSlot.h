#pragma once

#include <QObject>
#include <QString>

#include <functional>

class Values;
class QPlainTextEdit;

// One memo box with its value file and backup file. Every change of the
// box's content is handed over to be saved at once, with the text one change
// before it for the backup, so that cancel() can swap the two: one step
// back, and forward.
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
    // written, and a box that already shows the text is left as it is. A box
    // whose last change could not be saved keeps its text.
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
    void assign(const QString &boxText);

    int m_slot;
    BoxMaker m_makeBox;
    QPlainTextEdit *m_box = nullptr;
    Values &m_values;
    QString m_stored; // the text as last loaded or handed over, as the box shows it
    // The box holds a text of this run: filled from its file, or changed.
    // Until then the box is empty whatever the file holds.
    bool m_known = false;
};
