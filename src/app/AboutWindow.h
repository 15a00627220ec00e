// The About window Form6 ("Tavlix - Hakkında"): the program's version.
#pragma once

#include <QWidget>

class QLineEdit;

namespace tavlix {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
    // Shows the window with the version text in Text1.
    void showVersion();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLineEdit* m_version = nullptr;
};

} // namespace tavlix
