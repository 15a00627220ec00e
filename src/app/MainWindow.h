#pragma once
#include <QMainWindow>
namespace tavlix {
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    bool startUp();
};
} // namespace tavlix
