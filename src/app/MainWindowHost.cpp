// The main window as the other windows and the operations see the invoice: the InvoiceHost
// accessors and the invoice as one value (InvoiceRecord).
#include "app/MainWindow.h"

#include "app/CompanyData.h"
#include "invoice/InvoiceType.h"
#include "invoice/ReturnReferencesWindow.h"
#include "platform/ProgramFolder.h"
#include "widgets/ReportModel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

namespace tavlix {

QString MainWindow::dataWorkbookPath() const {
    return tavlix::dataWorkbookPath();
}

QString MainWindow::companyName() const {
    return m_combo4->currentText();
}

int MainWindow::lastCompanyColumn() const {
    bool ok = false;
    const int col = m_text1->text().toInt(&ok);
    return ok ? col : 21;
}

int MainWindow::invoiceTypeIndex() const {
    const int index = m_combo1->currentIndex();
    return index >= 0 && m_combo1->itemText(index) == m_combo1->currentText() ? index : -1;
}

QString MainWindow::invoiceTypeText() const {
    return m_combo1->currentText();
}

void MainWindow::setInvoiceTypeEnabled(bool enabled) {
    m_combo1->setEnabled(enabled);
}

void MainWindow::setReturnCount(const QString& count) {
    m_label20->setText(count);
}

void MainWindow::setLastReturnReference(const QString& serial, const QString& date) {
    m_text100->setText(serial);
    m_text200->setText(date);
}

void MainWindow::setCustomer(const CustomerFields& customer) {
    m_combo3->setEditText(customer.name);
    m_text19->setText(customer.name);
    m_text2->setText(customer.address);
    m_text3->setText(customer.taxOffice);
    m_text4->setText(customer.taxNumber);
    m_text5->setText(customer.email);
    m_text12->setText(customer.country);
    m_uunvan->setText(customer.name);
}

void MainWindow::hideCustomerSearch() {
    m_list3->setVisible(false);
}

InvoiceRecord MainWindow::invoiceRecord() const {
    InvoiceRecord r;
    r.company = m_combo4->currentText();
    r.typeIndex = invoiceTypeIndex();
    r.typeText = m_combo1->currentText();
    r.currency = m_combo2->currentText();
    r.exchangeRate = m_text7->text();
    r.invoiceDate = m_text8->text();
    r.issueTime = m_text9->text();
    r.dispatchDate = m_text10->text();
    r.dispatchSerial = m_text11->text();
    r.customerName = m_combo3->currentText();
    r.customerAddress = m_text2->text();
    r.customerCountry = m_text12->text();
    r.taxOffice = m_text3->text();
    r.taxNumber = m_text4->text();
    r.customerEmail = m_text5->text();
    r.customerTitle = m_uunvan->text();
    r.customerFirstName = m_aad->text();
    r.customerSurname = m_ssoyad->text();
    r.notes = m_text6->toPlainText();
    r.lineHeaders = m_lines->headers();
    for (int row = 0; row < m_lines->rowTotal(); ++row)
        r.lines.append(m_lines->rowCells(row));
    for (int row = 0; row < m_totals->rowTotal(); ++row)
        r.totals.append(m_totals->rowCells(row));
    if (m_returns)
        r.returnReferences = m_returns->references();
    r.settings = m_settings;
    r.kdvMatStr = m_kdvMatStr;
    r.yazTopStr = m_yazTopStr;
    r.checkTotal = m_checkTotal;
    r.portalNumber = m_uploadedNumber;
    r.portalEttn = m_uploadedEttn;
    r.sourceWorkbook = m_sourceWorkbook;
    return r;
}

void MainWindow::takeSavedType(int typeIndex) {
    // Only an invoice without lines changes type: a refused import must leave the lines alone.
    if (!isKnownInvoiceType(typeIndex) || typeIndex == invoiceTypeIndex() ||
        m_lines->rowTotal() > 0)
        return;
    setTypeText(tavlix::invoiceTypeText(typeIndex));
    invoiceTypeChosen();
}

void MainWindow::takeSavedHeader(const std::optional<InvoiceRecord>& header, const QString& file) {
    m_sourceWorkbook = file;
    if (!header) {
        showMessage(QMessageBox::Information,
                    u"Bu dosyada fatura bilgileri yok; yalnızca satırlar yüklendi. Alıcıyı "
                    u"müşteri listesinden seçiniz."_s);
        return;
    }
    const InvoiceRecord& h = *header;
    const std::pair<QLineEdit*, QString> dates[] = {{m_text8, h.invoiceDate},
                                                    {m_text9, h.issueTime},
                                                    {m_text10, h.dispatchDate},
                                                    {m_text11, h.dispatchSerial}};
    for (const auto& [field, value] : dates)
        if (!value.isEmpty())
            field->setText(value);
    if (!h.currency.isEmpty() && m_combo2->findText(h.currency) >= 0) {
        m_combo2->setCurrentIndex(m_combo2->findText(h.currency));
        currencyChosen();
        m_text7->setText(h.exchangeRate);
    }
    if (!h.returnReferences.isEmpty() && !m_returns)
        m_returns = std::make_unique<ReturnReferencesWindow>(*this);
    if (m_returns)
        m_returns->setReferences(h.returnReferences);
    if (!h.notes.trimmed().isEmpty())
        setNotes(h.notes);

    // The card of today, found by the saved tax number, else the buyer as it was saved.
    std::optional<CustomerFields> card;
    if (!h.taxNumber.trimmed().isEmpty()) {
        const auto found = lookUpCustomerByTaxNumber(dataWorkbookPath(), h.taxNumber);
        if (!found)
            showMessage(QMessageBox::Warning, found.message());
        else
            card = *found;
    }
    if (card) {
        setCustomer(*card);
    } else {
        setCustomer({h.customerName, h.customerAddress, h.customerCountry, h.taxOffice, h.taxNumber,
                     h.customerEmail});
        m_uunvan->setText(h.customerTitle);
    }
    m_aad->setText(h.customerFirstName);
    m_ssoyad->setText(h.customerSurname);
    if (!m_combo3->currentText().isEmpty()) {
        m_combo3->setEnabled(false);
        m_combo4->setEnabled(false);
    }
}

QDate MainWindow::today() const {
    return programToday();
}

} // namespace tavlix
