#include "customers/CustomerCardWindow.h"

#include "customers/TaxNumberLookup.h"
#include "invoice/InvoiceHost.h"
#include "invoice/PortalCredentialsWindow.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix {

CustomerCardWindow::CustomerCardWindow(InvoiceHost& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host) {
    setWindowFlag(Qt::Window);
    setObjectName(u"Form4"_s);
    setWindowTitle(u"Tavlix-Yeni Müşteri Kartı"_s);

    auto* typeFrame = named<QGroupBox>(u"Frame2"_s, u"Alıcı Türü seçimi"_s, this);
    m_organisation = named<QRadioButton>(u"Option1"_s, u"KURUM"_s, typeFrame);
    m_person = named<QRadioButton>(u"Option2"_s, u"ŞAHIS"_s, typeFrame);
    auto* typeLayout = new QHBoxLayout(typeFrame);
    typeLayout->addWidget(m_organisation);
    typeLayout->addWidget(m_person);

    m_fields = named<QGroupBox>(u"Frame1"_s, this);
    auto* grid = new QGridLayout(m_fields);
    for (int i = 1; i <= 11; ++i) {
        m_text[i] = new QLineEdit(m_fields);
        m_text[i]->setObjectName(u"Text%1"_s.arg(i));
    }
    m_titleLabel = named<QLabel>(u"Label1"_s, u"ÜNVANI"_s, m_fields);
    m_firstNameLabel = named<QLabel>(u"Label2"_s, u"ADI"_s, m_fields);
    m_surnameLabel = named<QLabel>(u"Label3"_s, u"SOYADI"_s, m_fields);
    m_country = named<QComboBox>(u"Combo1"_s, m_fields);
    m_country->setEditable(true);
    m_country->addItems(m_host.countries());
    m_country->setCurrentText(u"Türkiye"_s);

    int row = 0;
    auto addRow = [&](QLabel* label, QWidget* field) {
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        ++row;
    };
    // Captions of the other fields; their labels carry no behaviour.
    auto caption = [&](const QString& text, int number) {
        auto* label = new QLabel(text, m_fields);
        label->setObjectName(u"Label%1"_s.arg(number));
        return label;
    };
    addRow(m_titleLabel, m_text[1]);
    addRow(m_firstNameLabel, m_text[2]);
    addRow(m_surnameLabel, m_text[3]);
    addRow(caption(u"ADRESİ"_s, 4), m_text[4]);
    addRow(caption(u"ÜLKE"_s, 5), m_country);
    addRow(caption(u"VERGİ DAİRESİ"_s, 6), m_text[5]);
    addRow(caption(u"VKNo"_s, 7), m_text[6]);
    addRow(caption(u"E-POSTA"_s, 8), m_text[7]);
    addRow(caption(u"TELEFON NO"_s, 9), m_text[8]);
    addRow(caption(u"FAKS NO"_s, 10), m_text[9]);
    addRow(caption(u"YETKİLİ  KİŞİ"_s, 11), m_text[10]);
    addRow(caption(u"MUHASEBE HESAP KODU"_s, 12), m_text[11]);

    m_status = named<QLabel>(u"Label14"_s, this);
    m_saveNew = named<QPushButton>(u"Command1"_s, u"KAYDET ve Yeni"_s, this);
    m_close = named<QPushButton>(u"Command2"_s, u"KAPAT"_s, this);
    m_lookup = named<QPushButton>(u"Command3"_s, u"SORGULA"_s, this);
    m_selectSave = named<QPushButton>(u"Command4"_s, u"Seç ve KAYDET"_s, this);
    grid->addWidget(m_lookup, 6, 2);
    grid->setColumnStretch(1, 1);
    resize(480, sizeHint().height());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_saveNew);
    buttons->addWidget(m_selectSave);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(typeFrame);
    layout->addWidget(m_fields);
    layout->addWidget(m_status);
    layout->addLayout(buttons);

    // Window load: nothing chosen, every field empty, the saves wait for a tax office.
    m_fields->hide();
    clearFields();
    m_status->clear();
    m_saveNew->setEnabled(false);
    m_selectSave->setEnabled(false);
    m_lookup->setEnabled(false);

    connect(m_organisation, &QRadioButton::clicked, this, &CustomerCardWindow::organisationChosen);
    connect(m_person, &QRadioButton::clicked, this, &CustomerCardWindow::personChosen);
    connect(m_text[5], &QLineEdit::textChanged, this, &CustomerCardWindow::taxOfficeChanged);
    connect(m_text[6], &QLineEdit::textChanged, this, &CustomerCardWindow::taxNumberChanged);
    connect(m_saveNew, &QPushButton::clicked, this, [this] { save(); });
    connect(m_selectSave, &QPushButton::clicked, this, &CustomerCardWindow::selectAndSave);
    connect(m_close, &QPushButton::clicked, this, &CustomerCardWindow::closeCard);
    connect(m_lookup, &QPushButton::clicked, this, &CustomerCardWindow::lookUp);
}

customers::CustomerCard CustomerCardWindow::card() const {
    customers::CustomerCard c;
    c.title = m_text[1]->text();
    c.firstName = m_text[2]->text();
    c.surname = m_text[3]->text();
    c.address = m_text[4]->text();
    c.country = m_country->currentText();
    c.taxOffice = m_text[5]->text();
    c.taxNumber = m_text[6]->text();
    c.email = m_text[7]->text();
    c.phone = m_text[8]->text();
    c.fax = m_text[9]->text();
    c.contact = m_text[10]->text();
    c.accountCode = m_text[11]->text();
    return c;
}

void CustomerCardWindow::organisationChosen() {
    m_firstNameLabel->clear();
    m_surnameLabel->clear();
    m_text[2]->clear();
    m_text[3]->clear();
    m_text[2]->hide();
    m_text[3]->hide();
    m_fields->show();
    m_titleLabel->setText(u"ÜNVANI"_s);
    m_text[1]->show();
}

void CustomerCardWindow::personChosen() {
    m_titleLabel->clear();
    m_text[1]->hide();
    m_text[1]->clear();
    m_fields->show();
    m_firstNameLabel->setText(u"ADI"_s);
    m_surnameLabel->setText(u"SOYADI"_s);
    m_text[2]->show();
    m_text[3]->show();
}

void CustomerCardWindow::taxOfficeChanged() {
    const bool filled = !m_text[5]->text().isEmpty();
    m_saveNew->setEnabled(filled);
    m_selectSave->setEnabled(filled);
}

void CustomerCardWindow::taxNumberChanged() {
    if (m_filtering)
        return;
    const customers::TaxNumberFilter filtered = customers::filterTaxNumber(m_text[6]->text());
    if (filtered.text != m_text[6]->text()) {
        m_filtering = true;
        m_text[6]->setText(filtered.text);
        m_filtering = false;
    }
    m_text[6]->setCursorPosition(static_cast<int>(m_text[6]->text().size()));
    if (filtered.statusChanged)
        m_status->setText(filtered.status);
    m_lookup->setEnabled(filtered.lookupEnabled);
}

bool CustomerCardWindow::save() {
    m_status->clear();
    m_saveNew->setEnabled(false);
    m_lookup->setEnabled(false);
    m_selectSave->setEnabled(false);
    const Result<customers::SaveOutcome> outcome =
        customers::saveCustomer(m_host.dataWorkbookPath(), card());
    if (!outcome) {
        // The card stays filled so nothing typed is lost; the user may try again.
        taxOfficeChanged();
        const qsizetype digits = m_text[6]->text().size();
        m_lookup->setEnabled(digits == 10 || digits == 11);
        m_status->setText(outcome.message());
        return false;
    }
    m_status->setText(outcome->status);
    clearFields();
    return true;
}

void CustomerCardWindow::selectAndSave() {
    const customers::CustomerCard c = card();
    m_host.setCustomer(
        {customers::displayName(c), c.address, c.country, c.taxOffice, c.taxNumber, c.email});
    if (c.taxNumber.isEmpty()) {
        m_status->setText(u"Vergi no alanı boş bırakılamaz..!"_s);
        return;
    }
    if (!save())
        return;
    m_saveNew->setEnabled(false);
    m_selectSave->setEnabled(false);
    m_host.hideCustomerSearch();
    hide();
}

void CustomerCardWindow::closeCard() {
    clearFields();
    hide();
}

void CustomerCardWindow::lookUp() {
    m_saveNew->setEnabled(false);
    m_selectSave->setEnabled(false);
    m_status->clear();
    const QString number = m_text[6]->text();
    const CompanySettings settings = m_host.currentCompanySettings();
    const bool credentials = !settings.portalUser.isEmpty() && !settings.portalPassword.isEmpty();
    if (credentials) {
        clearFields();
        m_text[6]->setText(number);
    }
    customers::LookupResult found;
    {
        MessageBoxPrompt prompt(this);
        found = customers::lookUpTaxNumber(number, portal::portalBaseUrl(), settings, prompt);
    }
    if (found.kind == customers::LookupResult::Kind::Organisation) {
        m_organisation->setChecked(true);
        organisationChosen();
        m_text[1]->setText(found.title);
    } else if (found.kind == customers::LookupResult::Kind::Person) {
        m_person->setChecked(true);
        personChosen();
        m_text[2]->setText(found.firstName);
        m_text[3]->setText(found.surname);
    }
    if (credentials)
        m_text[5]->setText(found.taxOffice); // enables the saves when one was read
    // A name longer than its field reads from its first letter, not from its end.
    for (QLineEdit* field : {m_text[1], m_text[2], m_text[3], m_text[5]})
        field->setCursorPosition(0);
    m_status->setText(found.status);
    if (!credentials)
        offerPortalCredentials(m_host, this);
}

void CustomerCardWindow::clearFields() {
    for (int i = 1; i <= 11; ++i)
        m_text[i]->clear();
}

} // namespace tavlix
