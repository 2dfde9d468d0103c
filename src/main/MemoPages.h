#pragma once

#include <QList>
#include <QObject>

class Values;
class MemoSlot;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// The ten memo pages: one box and one button each, page 10's box uppermost.
// The page shown is what the boxes' and buttons' visibility says; the
// stored choice lives in the active page file. Only the page shown can be
// reached by Tab or by the keys typed: a box beneath it is covered, though
// shown.
class MemoPages : public QObject
{
    Q_OBJECT
public:
    MemoPages(QList<MemoSlot *> memoSlots, QList<QPushButton *> buttons, Values &values, QObject *parent = nullptr);

    // "1" .. "10" exactly gives the page; anything else gives 0.
    static int pageFromText(const QString &text);

    // A click on page `page`'s button: show it, store it, load its text.
    void select(int page);
    // Shows the stored page, as start-up and the minute refresh do.
    // Returns the page shown, or 0 when the stored value is no page.
    int showStored();
    // The stored page, or 0.
    int storedPage() const;
    // A page's box, built when first needed, goes where its page belongs
    // among the boxes built already, beneath `ceiling`, in the order of the
    // pages and so in the order Tab goes through.
    void stackBuilt(int page, QPlainTextEdit *box, QWidget *ceiling);

signals:
    // Page `page` is the one shown now, by a click or from the stored page.
    void pageShown(int page);

private:
    void showPage(int page);

    QList<MemoSlot *> m_slots;
    QList<QPushButton *> m_buttons;
    Values &m_values;
};
