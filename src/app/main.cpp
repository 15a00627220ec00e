#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavlix::MainWindow window;
    if (!window.startUp())
        return 1;
    window.show();
    return app.exec();
}
