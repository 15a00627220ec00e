// Form4 "Tavlix-Yeni Müşteri Kartı": a new customer card saved into mDATA, optionally handed
// straight to the invoice. Hidden, never destroyed, when closed.
#pragma once

#include "customers/CustomerCard.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavlix {

class InvoiceHost;

class CustomerCardWindow : public QWidget {
    Q_OBJECT
public:
    explicit CustomerCardWindow(InvoiceHost& host, QWidget* parent = nullptr);

    // The card as its fields hold it.
    customers::CustomerCard card() const;

private:
    void organisationChosen();
    void personChosen();
    void taxOfficeChanged();
    void taxNumberChanged();
    // "KAYDET ve Yeni"; true when the card may be put away (saved or refused by the checks).
    bool save();
    void selectAndSave();
    void closeCard();
    void clearFields();
    void lookUp(); // "SORGULA"

    InvoiceHost& m_host;
    QRadioButton* m_organisation = nullptr; // Option1
    QRadioButton* m_person = nullptr;       // Option2
    QGroupBox* m_fields = nullptr;          // Frame1
    QLabel* m_titleLabel = nullptr;         // Label1
    QLabel* m_firstNameLabel = nullptr;     // Label2
    QLabel* m_surnameLabel = nullptr;       // Label3
    QLineEdit* m_text[12] = {};             // Text1 … Text11 at 1 … 11
    QComboBox* m_country = nullptr;         // Combo1
    QLabel* m_status = nullptr;             // Label14
    QPushButton* m_saveNew = nullptr;       // Command1
    QPushButton* m_close = nullptr;         // Command2
    QPushButton* m_lookup = nullptr;        // Command3
    QPushButton* m_selectSave = nullptr;    // Command4
    bool m_filtering = false;
};

} // namespace tavlix
