#include "MemoPages.h"

#include "MemoSlot.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QPlainTextEdit>
#include <QPushButton>

MemoPages::MemoPages(QList<MemoSlot *> memoSlots, QList<QPushButton *> buttons, Values &values, QObject *parent)
    : QObject(parent)
    , m_slots(std::move(memoSlots))
    , m_buttons(std::move(buttons))
    , m_values(values)
{
}

int MemoPages::pageFromText(const QString &text)
{
    for (int page = 1; page <= ValueFiles::kPageCount; ++page) {
        if (text == QString::number(page))
            return page;
    }
    return 0;
}

int MemoPages::storedPage() const
{
    return pageFromText(m_values.read(ValueFiles::kChange));
}

void MemoPages::stackBuilt(int page, QPlainTextEdit *box, QWidget *ceiling)
{
    QWidget *above = ceiling;
    for (int upper = ValueFiles::kPageCount; upper > page; --upper) {
        if (QPlainTextEdit *built = m_slots.at(upper - 1)->builtBox())
            above = built;
    }
    if (above)
        box->stackUnder(above);
    for (int lower = page - 1; lower >= 1; --lower) {
        if (QPlainTextEdit *built = m_slots.at(lower - 1)->builtBox()) {
            QWidget::setTabOrder(built, box);
            break;
        }
    }
}

void MemoPages::showPage(int page)
{
    QPlainTextEdit *shown = m_slots.at(page - 1)->box();
    QWidget *focus = shown->window()->focusWidget();
    // Boxes below the chosen one stay as they are: it covers them. A box
    // not built yet is hidden already.
    shown->show();
    for (int above = page + 1; above <= ValueFiles::kPageCount; ++above) {
        if (QPlainTextEdit *box = m_slots.at(above - 1)->builtBox())
            box->hide();
    }
    for (int p = 1; p <= ValueFiles::kPageCount; ++p)
        m_buttons.at(p - 1)->setVisible(p != page);

    // A covered box is still shown to Qt: Tab, a screen reader and the keys
    // typed would reach it unseen. Only the page shown takes the focus, and
    // it moves there from a box now covered or hidden and from the button
    // now hidden.
    bool focusLeft = !focus || focus == m_buttons.at(page - 1);
    for (int p = 1; p <= ValueFiles::kPageCount; ++p) {
        if (QPlainTextEdit *box = m_slots.at(p - 1)->builtBox()) {
            box->setFocusPolicy(box == shown ? Qt::StrongFocus : Qt::NoFocus);
            focusLeft = focusLeft || (focus == box && box != shown);
        }
    }
    if (focusLeft)
        shown->setFocus();
    emit pageShown(page);
}

void MemoPages::select(int page)
{
    showPage(page);
    m_values.saveInteger(ValueFiles::kChange, page);
    m_slots.at(page - 1)->loadFromFile();
}

int MemoPages::showStored()
{
    const int page = storedPage();
    if (page == 0)
        return 0;
    showPage(page);
    m_slots.at(page - 1)->loadFromFile();
    return page;
}
