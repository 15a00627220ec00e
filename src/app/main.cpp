#include "app/MainWindow.h"
#include "platform/QtTranslation.h"
#include "platform/RuntimeFolder.h"

#include <QApplication>

int main(int argc, char** argv) {
    tavlix::ensureRuntimeFolder();
    QApplication app(argc, argv);
    tavlix::installQtTurkish(app);
    tavlix::MainWindow window;
    if (!window.startUp())
        return 1;
    window.show();
    return app.exec();
}
