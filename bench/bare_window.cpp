// The floor of the start-up benchmark: an empty frameless window of the
// player's size and nothing else, on the same toolkit. What it takes to show
// is what any program on Qt Widgets pays before its own work begins.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(439, 482);
    window.show();
    return app.exec();
}
