#include "app/MainWindow.h"
namespace tavlix {
MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) { setObjectName(QStringLiteral("Form1")); }
bool MainWindow::startUp() { return true; }
} // namespace tavlix
