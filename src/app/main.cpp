// korvex-setup entry point.
#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    korvex::MainWindow window;
    window.show();
    return QApplication::exec();
}
