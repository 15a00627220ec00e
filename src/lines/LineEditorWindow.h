// Form7, the line editor and stock card window: composes one invoice line, optionally from a
// stock card, and appends it to the invoice of the main window it was given.
#pragma once

#include "invoice/VatRates.h"
#include "lines/LineComputation.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavlix {

class InvoiceHost;

class LineEditorWindow : public QWidget {
    Q_OBJECT
public:
    explicit LineEditorWindow(InvoiceHost& host, QWidget* parent = nullptr);

    // The window load: code-table lists and the cards of the company filter. `keepFilter` keeps
    // the filter the filter box gave; otherwise the filter is the main window's company.
    void load(bool keepFilter = false);
    // "VAZGEÇ": empties the line fields (the discount rate shows 0).
    void clearFields();
    // "SEÇ", "FATURAYA EKLE", "KAYDET YENİ".
    void selectCard();
    void addToInvoice();
    void saveCard();

    QString companyFilter() const { return m_companyFilter; }
    lines::LineFields fields() const;
    // Combo2's text when it is one of the box's rates, else empty.
    QString vatRate() const;
    void setFields(const lines::LineFields& fields);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectRules();
    void companyFilterLeft();
    void withholdingLeft();
    void showMessage(const QString& text);

    InvoiceHost& m_host;
    QString m_companyFilter;
    bool m_loadOnShow = true;

    QComboBox* m_filterBox = nullptr;            // Combo7
    QComboBox* m_findCode = nullptr;             // Combo6
    QComboBox* m_findName = nullptr;             // Combo8
    QPushButton* m_select = nullptr;             // Command1
    QLineEdit* m_filterCode = nullptr;           // Text1
    QComboBox* m_stockCode = nullptr;            // Combo9
    QLineEdit* m_name = nullptr;                 // Text2
    QLineEdit* m_quantity = nullptr;             // Text3
    QComboBox* m_unit = nullptr;                 // Combo1
    QLineEdit* m_unitPrice = nullptr;            // Text4
    QLineEdit* m_discount = nullptr;             // Text5
    QComboBox* m_vatRate = nullptr;              // Combo2
    QStringList m_vatRates = standingVatRates(); // what Combo2 accepts: its items
    QComboBox* m_withholding = nullptr;          // Combo3
    QLineEdit* m_withholdingRate = nullptr;      // Text6
    QComboBox* m_tax1 = nullptr;                 // Combo4
    QLineEdit* m_tax1Rate = nullptr;             // Text7
    QComboBox* m_tax2 = nullptr;                 // Combo5
    QLineEdit* m_tax2Rate = nullptr;             // Text8
    QComboBox* m_specialReason = nullptr;        // Combo10
    QLineEdit* m_specialBase = nullptr;          // Text10
    QLineEdit* m_gtip = nullptr;                 // Text9
    QLabel* m_message = nullptr;                 // Label21
    QCheckBox* m_storeCard = nullptr;            // Check1
    QPushButton* m_add = nullptr;                // Command4
    QPushButton* m_save = nullptr;               // Command3
    QPushButton* m_cancel = nullptr;             // Command5
};

} // namespace tavlix
