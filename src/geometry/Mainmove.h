#pragma once

#include "kit/Form.h"

#include <QMargins>
#include <QRect>
#include <QRectF>

class Navigation;
class Platform;
class QLabel;
class QPushButton;
class Values;

// The position and size editor: a sizable window that stands in for Main.
// The user moves and sizes it where Main should be; "元にもどす" stores its
// outer geometry as Main's and brings Main back there.
class Mainmove : public GuardedForm
{
    Q_OBJECT
public:
    Mainmove(Values &values, Platform &platform, Navigation &navigation);

    void formLoad() override { Mainmove_Form_Load(); }

    void Mainmove_Form_Load();
    void Mainmove_Form_Resize();
    void Mainmove_Command1_Click();

    // The window's outer geometry, frame and title bar included, in twips.
    QRectF outerTwips() const;

    QPushButton *Command1 = nullptr;
    QLabel *Label5 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void placeAtSaved();
    void placeOuter(const QRect &outer);
    void followFrame();
    void centreCommand1();
    void limitMessage(const QString &text);
    QMargins frame() const;

    Values &m_values;
    Platform &m_platform;
    Navigation &m_navigation;
    // Where the frame belongs while the window manager is still framing the
    // window; empty once the frame is known.
    QRect m_pending;
    QMargins m_frameUsed;
    bool m_adjusting = false;
    int m_messagesOpen = 0;
};
