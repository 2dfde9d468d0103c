// The floor for start-up figures: the least a Qt Widgets program does to
// put one window on the screen.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(488, 400);
    window.show();
    return app.exec();
}
