// TavlixUpdate: the program's updater. Its presence beside Tavlix is checked at start-up.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
