// The yardstick for the program's start-up: a bare frameless Qt window of the
// same size, nothing in it, shown at once.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(750, 400);
    window.show();
    return app.exec();
}
