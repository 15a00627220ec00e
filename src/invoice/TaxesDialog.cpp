#include "invoice/TaxesDialog.h"

#include "invoice/InvoiceHost.h"
#include "invoice/InvoiceType.h"
#include "invoice/TaxColumns.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"
#include "widgets/ReportModel.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollBar>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

// An entry with its whole name as tooltip, above what a double click on it does.
void addEntry(QListWidget* list, const QString& entry) {
    auto* item = new QListWidgetItem(entry, list);
    item->setToolTip(plainToolTip(entry + u'\n' + list->toolTip()));
}

} // namespace

TaxesDialog::TaxesDialog(InvoiceHost& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host) {
    setWindowFlag(Qt::Window);
    setObjectName(u"Form5"_s);
    setWindowTitle(u"Tavlix-Vergi Ekle/Çıkar"_s);

    m_title = named<QLabel>(u"Label1"_s, u"VERGİ EKLE / ÇIKAR"_s, this);
    m_title->setAlignment(Qt::AlignCenter);
    auto* availableLabel = named<QLabel>(u"Label2"_s, u"EKLENEBİLİR VERGİLER"_s, this);
    auto* addedLabel = named<QLabel>(u"Label3"_s, u"EKLENEN VERGİLER"_s, this);

    m_available = named<QListWidget>(u"List1"_s, this);
    m_added = named<QListWidget>(u"List2"_s, this);
    m_headers = named<QListWidget>(u"List3"_s, this);
    m_headers->hide();

    m_available->setToolTip(u"Faturaya eklemek için vergiye çift tıklayın."_s);
    m_added->setToolTip(u"Faturadan çıkarmak için vergiye çift tıklayın."_s);
    auto* hint = named<QLabel>(u"LabelHint"_s,
                               u"Çift tıklama, soldaki vergiyi ekler, sağdakini çıkarır."_s, this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_title, 0, 0, 1, 2);
    layout->addWidget(availableLabel, 1, 0);
    layout->addWidget(addedLabel, 1, 1);
    layout->addWidget(m_available, 2, 0);
    layout->addWidget(m_added, 2, 1);
    layout->addWidget(hint, 3, 0, 1, 2);
    resize(560, 320);

    connect(m_available, &QListWidget::itemDoubleClicked, this, &TaxesDialog::addTax);
    connect(m_added, &QListWidget::itemDoubleClicked, this, &TaxesDialog::removeTax);
}

void TaxesDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        load();
}

void TaxesDialog::closeEvent(QCloseEvent* event) {
    m_available->clear();
    m_added->clear();
    m_headers->clear();
    m_host.setInvoiceTypeEnabled(true);
    event->accept();
}

void TaxesDialog::load() {
    m_available->clear();
    m_added->clear();
    m_headers->clear();
    Result<QStringList> entries = taxes::loadTaxEntries(m_host.dataWorkbookPath());
    if (!entries) {
        showMessageBox(QMessageBox::Warning, u"Tavlix"_s, entries.message(), QMessageBox::Ok, this);
        return;
    }
    // The invoice's taxes are in List2 however they came (this dialog, the line editor, a loaded
    // invoice), so each can be removed here and none is offered twice.
    const QStringList onInvoice =
        taxes::invoiceTaxes(m_host.lines(), firstExtraTaxColumn(m_host.invoiceTypeIndex()));
    for (const QString& entry : onInvoice)
        addEntry(m_added, entry);
    for (const QString& entry : std::as_const(*entries)) {
        if (!onInvoice.contains(entry))
            addEntry(m_available, entry);
    }
    // Both lists show the longest name whole, whichever list it is in.
    int widest = 0;
    for (const QString& entry : *entries + onInvoice)
        widest = std::max(widest, m_available->fontMetrics().horizontalAdvance(entry));
    for (QListWidget* list : {m_available, m_added}) {
        list->setMinimumWidth(widest + 2 * list->frameWidth() + 4 * list->spacing() +
                              list->verticalScrollBar()->sizeHint().width() + 12);
    }
}

void TaxesDialog::addTax(QListWidgetItem* item) {
    if (!item)
        return;
    const QString entry = item->text();
    m_headers->clear();
    m_host.setInvoiceTypeEnabled(false);
    if (!taxes::addTaxColumns(m_host.lines(), entry)) {
        showMessageBox(QMessageBox::Warning, u"Tavlix"_s, u"Bu vergi daha önce eklenmiş !"_s,
                       QMessageBox::Ok, this);
        return;
    }
    addEntry(m_added, entry);
    copyHeaders();
    delete m_available->takeItem(m_available->row(item));
}

void TaxesDialog::removeTax(QListWidgetItem* item) {
    if (!item)
        return;
    const QString entry = item->text();
    addEntry(m_available, entry);
    // The removed pair's amounts leave the lines, so the totals, the notes and checkTotal must
    // not keep them until some later change of the lines.
    if (taxes::removeTaxColumns(m_host.lines(), entry))
        m_host.recomputeTotals();
    copyHeaders();
    delete m_added->takeItem(m_added->row(item));
}

void TaxesDialog::copyHeaders() {
    m_headers->clear();
    m_headers->addItems(m_host.lines().headers());
}

} // namespace tavlix
