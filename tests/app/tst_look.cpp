// Every window under the desktop's colours and fonts: a text on a
// background the program fixes is read at 4.5:1 or better, keeping the
// desktop's colour where that can be read, also when the desktop changes
// its scheme while the windows are open; a caption never touches the edges
// of its button.
#include "kit/Legible.h"
#include "main/Main.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
using Roles = QList<std::pair<QPalette::ColorRole, QColor>>;
QPalette desktop(const Roles &roles)
{
    QPalette palette = QApplication::palette();
    for (const auto &[role, colour] : roles)
        palette.setColor(role, colour);
    return palette;
}

// `text` on `background` reads, and is the desktop's `wanted` where that would.
void readable(const QColor &text, const QColor &background, const QColor &wanted, const QString &what)
{
    QVERIFY2(Legible::contrast(text, background) >= 4.5, qPrintable(what));
    if (Legible::contrast(wanted, background) >= 4.5)
        QVERIFY2(text == wanted, qPrintable(what + " keeps the desktop's colour"));
}
} // namespace

class TestLook : public QObject
{
    Q_OBJECT

    const QPalette light = QApplication::palette();
    // As a desktop sends it: the windows hear of it from the event loop.
    static void switchTo(const QPalette &colours)
    {
        QApplication::setPalette(colours);
        QCoreApplication::processEvents();
    }

    void checkWindow(QWidget *window, const QPalette &colours)
    {
        for (auto *box : window->findChildren<QPlainTextEdit *>()) {
            const QPalette pal = box->palette();
            QCOMPARE(pal.color(QPalette::Highlight), colours.color(QPalette::Highlight));
            QCOMPARE(pal.color(QPalette::HighlightedText), colours.color(QPalette::HighlightedText));
            const QColor base = pal.color(QPalette::Base), text = pal.color(QPalette::Text);
            if (base == colours.color(QPalette::Base)) // the extra memo's are the desktop's
                QCOMPARE(text, colours.color(QPalette::Text));
            else if (base == Qt::black) // page 10's are fixed
                QCOMPARE(text, QColor(Qt::white));
            else
                readable(text, base, colours.color(QPalette::Text), box->accessibleName());
        }
        for (QWidget *label : window->findChildren<QWidget *>()) {
            if (!qobject_cast<QLabel *>(label) && !qobject_cast<QCheckBox *>(label))
                continue;
            const QPalette pal = label->palette();
            if (pal.color(QPalette::WindowText) == Qt::red) // on a background taken from the desktop
                readable(pal.color(QPalette::Window), Qt::red, colours.color(QPalette::WindowText), label->objectName());
            else if (window->autoFillBackground())
                readable(pal.color(QPalette::WindowText), window->palette().color(QPalette::Window),
                         colours.color(QPalette::WindowText), label->objectName());
        }
    }

private slots:
    void cleanup() { QApplication::setPalette(light); }

    void contrastAsWcagCountsIt()
    {
        QCOMPARE(Legible::contrast(Qt::black, Qt::white), 21.0);
        QCOMPARE(qRound(Legible::contrast(Qt::red, Qt::black) * 100), 525);
        QCOMPARE(qRound(Legible::contrast(QColor(252, 252, 252), QColor(192, 255, 255)) * 100), 108);
    }

    // Each palette arrives while the windows are open, as a desktop's
    // change of colour scheme does.
    void readableOnEveryPalette_data()
    {
        using P = QPalette;
        QTest::addColumn<QPalette>("colours");
        QTest::newRow("light") << light;
        QTest::newRow("KDE Breeze Dark") << desktop({{P::Window, {32, 35, 38}}, {P::WindowText, {252, 252, 252}},
            {P::Base, {27, 30, 32}}, {P::Text, {252, 252, 252}}, {P::Button, {49, 54, 59}},
            {P::ButtonText, {239, 240, 241}}, {P::Highlight, {61, 174, 233}}, {P::HighlightedText, {252, 252, 252}}});
        QTest::newRow("Windows High Contrast Black") << desktop({{P::Window, Qt::black}, {P::WindowText, Qt::white},
            {P::Base, Qt::black}, {P::Text, Qt::white}, {P::Button, Qt::black}, {P::ButtonText, Qt::white},
            {P::Highlight, {26, 235, 255}}, {P::HighlightedText, Qt::black}});
        QTest::newRow("Windows High Contrast White") << desktop({{P::Window, Qt::white}, {P::WindowText, Qt::black},
            {P::Base, Qt::white}, {P::Text, Qt::black}, {P::Highlight, {55, 0, 110}}, {P::HighlightedText, Qt::white}});
        QTest::newRow("light, navy text") << desktop({{P::WindowText, {0, 0, 60}}, {P::Text, {0, 0, 60}}});
        QTest::newRow("dark, blue-grey text") << desktop({{P::Window, {40, 40, 60}}, {P::WindowText, {150, 160, 230}},
            {P::Base, {20, 20, 30}}, {P::Text, {140, 140, 140}}, {P::Highlight, {200, 120, 0}}});
    }
    void readableOnEveryPalette()
    {
        QFETCH(QPalette, colours);
        TestProgram p;
        Main *main = p.showMain();
        for (int slot = 1; slot <= 11; ++slot)
            main->text(slot);
        QWidget *overview = p.windows.show(WindowId::Timermemo);
        switchTo(colours);
        checkWindow(main, colours);
        checkWindow(overview, colours);
        QVERIFY(p.windows.unload(WindowId::Main));
        switchTo(light);
        QWidget *editor = p.windows.show(WindowId::Mainmove);
        switchTo(colours);
        checkWindow(editor, colours);
    }

    // Ink, as drawn: the darkest columns of each button clear of its edges.
    void captionsClearTheirEdges()
    {
        TestProgram p;
        for (WindowId id : {WindowId::Main, WindowId::Timermemo, WindowId::OpenTimer, WindowId::Option1,
                            WindowId::Timermemo1, WindowId::Timermemo2, WindowId::Timermemo3}) {
            QWidget *window = p.windows.show(id);
            for (QPushButton *button : window->findChildren<QPushButton *>()) {
                if (!button->isVisible() || button->text().isEmpty())
                    continue;
                button->grab(); // fitted as it is drawn
                const QImage drawn = button->grab().toImage();
                int first = drawn.width(), last = -1;
                for (int x = 0; x < drawn.width(); ++x) {
                    for (int y = 3; y < drawn.height() - 3; ++y) {
                        if (qGray(drawn.pixel(x, y)) < 64) {
                            first = std::min(first, x);
                            last = x;
                        }
                    }
                }
                QVERIFY2(first >= 3 && last <= drawn.width() - 4 && first <= last,
                         qPrintable(QStringLiteral("%1: ink at %2..%3 of %4").arg(button->text()).arg(first).arg(last).arg(drawn.width())));
                if (id == WindowId::Option1) // all of them fit as designed
                    QCOMPARE(button->font(), window->font());
            }
            p.windows.unload(id);
        }
    }
};

QTEST_MAIN(TestLook)
#include "tst_look.moc"
