// The yardstick for start-up: a bare Qt window of the main window's size, shown at once.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(411, 512);
    window.show();
    return app.exec();
}
