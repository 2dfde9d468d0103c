#pragma once

#include <QColor>
#include <QWidget>

// Base of the program's windows: a window is created hidden and its load
// handler run once by the window owner; unloading it is a close made by the
// program and destroys it, so the next load creates it anew.
class Form : public QWidget
{
    Q_OBJECT
public:
    // Origins of a close request.
    enum CloseOrigin { UserClose = 0, ProgramClose = 1, SessionClose = 2 };

    explicit Form(QWidget *parent = nullptr);

    // The look every window of the program shares: its caption, the
    // program's icon, the default font and, where given, a background, on
    // which the labels stay readable whatever the desktop's colours.
    void setDesign(const QString &caption, const QColor &background = QColor());

    virtual void formLoad() {}
    // Showing a window brings it to the front; a window may stand in for
    // itself without appearing on screen.
    virtual void formShow();
    virtual bool formVisible() const { return isVisible(); }
    // The desktop saves the session: save what could not be saved before.
    virtual void commitData() {}

    // Closes the window as the program; passes every close guard.
    // Returns false if the window refused to go.
    bool unloadForm();
    // The session ends: from now on every close is the session's.
    void markSessionEnding() { m_sessionEnding = true; }
    // Closed for good, though Qt deletes the window only later: a handler
    // it is still in (one that waited on a box) must not go on.
    bool isUnloaded() const { return m_unloaded; }

signals:
    void unloaded();

protected:
    bool sessionEnding() const { return m_sessionEnding; }
    // The close guard: set `cancel` to keep the window open.
    virtual void queryUnload(bool &cancel, CloseOrigin origin);
    virtual void formUnload() {}

    void closeEvent(QCloseEvent *event) override;
    // Each control as Qt first readies it to be shown: its caption kept
    // whole, and a label's text readable on the window's own background.
    void childEvent(QChildEvent *event) override;

private:
    QColor m_background;
    bool m_sessionEnding = false;
    bool m_unloaded = false;
};

// A window that refuses the close the user gives it through the window
// itself (close box, window menu, close key) and lets every other go.
class GuardedForm : public Form
{
    Q_OBJECT
public:
    using Form::Form;

protected:
    void queryUnload(bool &cancel, CloseOrigin origin) override;
};
