#include "app/MainWindow.h"
#include "platform/QtTranslation.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavlix::installQtTurkish(app);
    tavlix::MainWindow window;
    if (!window.startUp())
        return 1;
    window.show();
    return app.exec();
}
