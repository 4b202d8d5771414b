// The floor of a start: a bare Qt window of the main window's size, shown until the process is ended.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(480, 640);
    window.show();
    return QApplication::exec();
}
