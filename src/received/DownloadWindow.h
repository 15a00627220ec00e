// Form3 "Tavlix-eArşiv Fatura İndir": pick a company and a month, query the invoices the company
// received that month on the Interactive Tax Office, type the captcha, open the stored lists.
// Not modal. "Kapat" unloads it (deleteLater); the owner holds it through a QPointer.
#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace tavlix {

class InvoiceHost;

class DownloadWindow : public QWidget {
    Q_OBJECT
public:
    DownloadWindow(InvoiceHost& host, QString programDir, QWidget* parent = nullptr);
    ~DownloadWindow() override;

    // Event handlers, public so that tests drive them as the events would.
    void bookTypeChosen(); // a book type picked in Combo1; "Hepsi" lists every company
    void companyClicked(QListWidgetItem* item);
    void periodClicked(QListWidgetItem* item);
    void dirgetir();
    void fileDoubleClicked(QListWidgetItem* item);
    void showList();    // "Göster"
    void runQuery();    // "Sorgula ve İndir"
    void closeUnload(); // "Kapat"

    bool cancelRequested() const { return m_cancel; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Prompt;

    void fillCompanies(const std::optional<QString>& bookType);
    void showSelection();
    void unload();

    InvoiceHost& m_host;
    QString m_programDir;

    QString m_company; // selected company
    QString m_period;  // selected period
    bool m_cancel = false;
    int m_bookType = 0; // the Combo1 position the company list is filtered by
    QString m_filePath; // the list "Göster" opens
    bool m_running = false;

    QComboBox* m_combo1 = nullptr;   // book type
    QListWidget* m_bList1 = nullptr; // companies
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QListWidget* m_cList1 = nullptr; // periods
    QCheckBox* m_check1 = nullptr;
    QPushButton* m_command1 = nullptr; // "Sorgula ve İndir"
    QLabel* m_image1 = nullptr;        // captcha picture
    QLineEdit* m_text3 = nullptr;      // captcha typed by the user
    QLabel* m_text4 = nullptr;         // status line
    QListWidget* m_dList1 = nullptr;   // stored lists
    QPushButton* m_command4 = nullptr; // "Göster"
    QPushButton* m_command3 = nullptr; // "Kapat"
};

} // namespace tavlix
