// Form2 "Tavlix-Alış Fatura Bilgi Girişi": the purchase-invoice references of a return invoice.
// "Tamam" hides the window and keeps the list; the close box discards it.
#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavlix {

class InvoiceHost;

class ReturnReferencesWindow : public QWidget {
    Q_OBJECT
public:
    explicit ReturnReferencesWindow(InvoiceHost& host, QWidget* parent = nullptr);

    // The references in the order they were added ("serial---dd/mm/yyyy").
    QStringList references() const;
    // A saved invoice brought its references back: they replace the list.
    void setReferences(const QStringList& references);
    // A company was selected: the list and the status line are emptied.
    void clearForCompanySelection();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void fillDays();
    void enableSerial();
    void serialChanged();
    void add();
    void entryClicked();
    void removeSelected();
    void done();
    QString countText() const;

    InvoiceHost& m_host;
    QComboBox* m_year = nullptr;     // Combo1
    QComboBox* m_month = nullptr;    // Combo2
    QComboBox* m_day = nullptr;      // Combo3
    QLabel* m_serialLabel = nullptr; // Label1, clickable
    QLineEdit* m_serial = nullptr;   // Text1
    QLineEdit* m_date = nullptr;     // Text2, hidden
    QListWidget* m_list = nullptr;   // aList1
    QLabel* m_status = nullptr;      // Label4
    QPushButton* m_add = nullptr;    // Command1
    QPushButton* m_remove = nullptr; // Command2
    QPushButton* m_ok = nullptr;     // Command3
    bool m_filtering = false;
};

} // namespace tavlix
