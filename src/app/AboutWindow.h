// The About window Form6 ("Tavlix - Hakkında"): the program's name, version and build date, and
// the folder its data lives in.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace tavlix {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
    void setDataFolder(const QString& folder);
    // Shows the window with the version text in Text1.
    void showVersion();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLineEdit* m_version = nullptr;
    QLabel* m_dataFolder = nullptr;
};

// The day this program was built, as "09.12.2026".
QString buildDateText();

} // namespace tavlix
