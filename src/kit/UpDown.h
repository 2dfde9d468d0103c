#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A small up-down spinner bound to a text box: every step writes its value,
// as plain decimal digits, into the box. It steps from the number the box
// holds when the box holds one, else from where it last stood, and wraps
// around at both ends of its range. The up and down keys in the box step
// it as well.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    void setBuddy(QLineEdit *buddy);
    void setRange(int minimum, int maximum);

    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void step(int delta);

    QLineEdit *m_buddy = nullptr;
    QToolButton *m_up;
    QToolButton *m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
};
