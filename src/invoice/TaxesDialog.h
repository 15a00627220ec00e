// Form5 "Tavlix-Vergi Ekle/Çıkar": adds extra-tax column pairs to the invoice lines and removes
// any the invoice carries.
#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace tavlix {

class InvoiceHost;

class TaxesDialog : public QWidget {
    Q_OBJECT
public:
    explicit TaxesDialog(InvoiceHost& host, QWidget* parent = nullptr);

protected:
    // Each showing fills List2 with the invoice's taxes and List1 with the workbook's others.
    void showEvent(QShowEvent* event) override;
    // Closing empties the lists and gives the invoice type back to the user.
    void closeEvent(QCloseEvent* event) override;

private:
    void load();
    void addTax(QListWidgetItem* item);
    void removeTax(QListWidgetItem* item);
    void copyHeaders();

    InvoiceHost& m_host;
    QLabel* m_title = nullptr;
    QListWidget* m_available = nullptr; // List1
    QListWidget* m_added = nullptr;     // List2
    QListWidget* m_headers = nullptr;   // List3, hidden
};

} // namespace tavlix
