// The floor for start-up figures: the least a Qt Widgets program does to
// put up a window like Main, paying what every Japanese window pays. A
// frameless window, a text box holding Japanese text, a button with a
// Japanese caption in a bold italic 12 pt font, and a tray icon.
#include <QApplication>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    // Main's size at a first start.
    window.resize(488, 400);
    QPlainTextEdit text(QStringLiteral("牛乳とパンを買う。\n三時に歯医者。"), &window);
    text.setGeometry(0, 140, 488, 260);
    QPushButton button(QStringLiteral("キャンセル"), &window);
    QFont font = button.font();
    font.setPointSize(12);
    font.setBold(true);
    font.setItalic(true);
    button.setFont(font);
    button.setGeometry(0, 32, 89, 25);
    window.show();

    QPixmap icon(16, 16);
    icon.fill(Qt::cyan);
    QSystemTrayIcon tray(icon);
    tray.show();
    return app.exec();
}
