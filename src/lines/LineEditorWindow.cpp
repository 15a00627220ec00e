#include "lines/LineEditorWindow.h"

#include "invoice/InvoiceHost.h"
#include "invoice/LeaveField.h"
#include "lines/AddLine.h"
#include "lines/EntryMasks.h"
#include "lines/StockCards.h"
#include "lines/Units.h"
#include "widgets/DropDownListView.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"
#include "widgets/PlacedWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

QComboBox* makeBox(QWidget* parent, const QString& name) {
    auto* box = named<QComboBox>(name, parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // No inline completion: a typed text must stand on its own for the field rules.
    box->setCompleter(nullptr);
    box->setMinimumContentsLength(14);
    return box;
}

QLineEdit* makeEdit(QWidget* parent, const QString& name, bool readOnly = false) {
    auto* edit = named<QLineEdit>(name, parent);
    edit->setReadOnly(readOnly);
    return edit;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = named<QPushButton>(name, caption, parent);
    button->setAutoDefault(false);
    return button;
}

// The widest a box grows for its entries; a longer entry shows whole in the open list and as
// tooltip.
constexpr int kWidestBox = 380;

// Replaces a box's list; the box text stays empty rather than showing the first item. The box
// grows to show its longest entry, up to kWidestBox.
void fillBox(QComboBox* box, const QStringList& items) {
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    int widest = 0;
    for (const QString& item : items)
        widest = std::max(widest, box->fontMetrics().horizontalAdvance(item));
    // The box's least width less the text room it keeps (its least contents length in X).
    const int besides = box->minimumSizeHint().width() -
                        box->minimumContentsLength() * box->fontMetrics().horizontalAdvance(u'X');
    box->setMinimumWidth(std::min(widest + besides + 8, kWidestBox));
}

// Keeps a rule on a field: every change passes through `rule`; a refused text is replaced.
template <typename Rule> void keepRule(QLineEdit* edit, Rule rule, std::function<void()> onChange) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, rule, onChange](const QString& t) {
        if (onChange)
            onChange();
        const QString kept = rule(t);
        if (kept != t)
            edit->setText(kept);
    });
}

template <typename Rule> void keepRule(QComboBox* box, Rule rule) {
    QObject::connect(box, &QComboBox::editTextChanged, box, [box, rule](const QString& t) {
        const QString kept = rule(t);
        if (kept != t)
            box->setEditText(kept);
    });
}

} // namespace

LineEditorWindow::LineEditorWindow(InvoiceHost& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host) {
    setObjectName(u"Form7"_s);
    setWindowFlag(Qt::Window);
    setWindowTitle(u"Tavlix Stok Kartı"_s);
    buildControls();
    connectRules();
    keepEntriesWhole(*this);
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        tipWhenCut(*edit);
    // Esc with a line half composed only hides the window: the next show finds the fields as left.
    closeOnEscape(*this, [this] {
        for (const QLineEdit* edit : {m_name, m_quantity, m_unitPrice, m_specialBase})
            if (!edit->text().isEmpty())
                return true;
        return !m_stockCode->currentText().isEmpty();
    });
}

void LineEditorWindow::buildControls() {
    // Upper frame: the stock-card finder.
    auto* finder = new QGroupBox(this);
    auto* fg = new QGridLayout(finder);
    m_filterBox = makeBox(finder, u"Combo7"_s);
    m_findCode = makeBox(finder, u"Combo6"_s);
    m_findName = makeBox(finder, u"Combo8"_s);
    m_select = makeButton(finder, u"Command1"_s, u"SEÇ"_s);
    fg->addWidget(new QLabel(u"FİRMA FİLTRESİ"_s, finder), 0, 0);
    fg->addWidget(m_filterBox, 0, 1);
    fg->addWidget(new QLabel(u"ÜRÜN / HİZMET KODU"_s, finder), 1, 0);
    fg->addWidget(m_findCode, 1, 1);
    fg->addWidget(new QLabel(u"ÜRÜN /  HİZMET ADI"_s, finder), 2, 0);
    fg->addWidget(m_findName, 2, 1);
    fg->addWidget(m_select, 2, 2);
    fg->setColumnStretch(1, 1);

    // Lower frame: the line and stock-card fields.
    auto* card = new QGroupBox(this);
    auto* g = new QGridLayout(card);
    m_filterCode = makeEdit(card, u"Text1"_s, true);
    m_stockCode = makeBox(card, u"Combo9"_s);
    m_name = makeEdit(card, u"Text2"_s);
    m_quantity = makeEdit(card, u"Text3"_s);
    m_unit = makeBox(card, u"Combo1"_s);
    m_unitPrice = makeEdit(card, u"Text4"_s);
    m_discount = makeEdit(card, u"Text5"_s);
    m_vatRate = makeBox(card, u"Combo2"_s);
    m_withholding = makeBox(card, u"Combo3"_s);
    m_withholdingRate = makeEdit(card, u"Text6"_s, true);
    m_tax1 = makeBox(card, u"Combo4"_s);
    m_tax1Rate = makeEdit(card, u"Text7"_s);
    m_tax2 = makeBox(card, u"Combo5"_s);
    m_tax2Rate = makeEdit(card, u"Text8"_s);
    m_specialReason = makeBox(card, u"Combo10"_s);
    m_specialBase = makeEdit(card, u"Text10"_s);
    m_gtip = makeEdit(card, u"Text9"_s);

    int row = 0;
    const auto field = [&](const QString& caption, QWidget* w, int span = 3) {
        g->addWidget(new QLabel(caption, card), row, 0);
        g->addWidget(w, row, 1, 1, span);
        ++row;
    };
    field(u"Filitre Kodu"_s, m_filterCode);
    field(u"Ürün / Hizmet Kodu"_s, m_stockCode);
    field(u"Ürün / Hizmet Adı"_s, m_name);
    field(u"Miktar"_s, m_quantity);
    field(u"Birim"_s, m_unit);
    field(u"Birim Fiyat"_s, m_unitPrice);
    field(u"İskonto Oranı %"_s, m_discount);
    field(u"KDV Oranı %"_s, m_vatRate);
    field(u"KDV Tevkifat Kodu"_s, m_withholding);
    field(u"KDV Tevk %"_s, m_withholdingRate);

    g->addWidget(new QLabel(u"Diğer Vergi Kodu"_s, card), row, 1);
    g->addWidget(new QLabel(u"Diğer Vergi Oranı %"_s, card), row, 2, 1, 2);
    ++row;
    const auto taxRow = [&](const QString& number, QComboBox* box, QLineEdit* rate) {
        g->addWidget(new QLabel(number, card), row, 0);
        g->addWidget(box, row, 1);
        g->addWidget(rate, row, 2, 1, 2);
        ++row;
    };
    taxRow(u"1."_s, m_tax1, m_tax1Rate);
    taxRow(u"2."_s, m_tax2, m_tax2Rate);
    field(u"Özel Matrah Nedeni"_s, m_specialReason);
    field(u"Özel Matrah Tutarı"_s, m_specialBase);
    field(u"GTIP KODU"_s, m_gtip);
    g->setColumnStretch(1, 1);

    m_message = named<QLabel>(u"Label21"_s, this);
    m_message->setStyleSheet(u"color: red;"_s);
    m_message->setWordWrap(true);
    m_storeCard = named<QCheckBox>(u"Check1"_s, u"Stok Kartlarına Ekle"_s, this);
    m_add = makeButton(this, u"Command4"_s, u"FATURAYA EKLE"_s);
    m_save = makeButton(this, u"Command3"_s, u"KAYDET YENİ"_s);
    m_cancel = makeButton(this, u"Command5"_s, u"VAZGEÇ"_s);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_storeCard);
    buttons->addStretch(1);
    buttons->addWidget(m_add);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);

    auto* main = new QVBoxLayout(this);
    main->addWidget(finder);
    main->addWidget(card);
    main->addWidget(m_message);
    main->addLayout(buttons);
}

void LineEditorWindow::connectRules() {
    const std::function<void()> clearMessage = [this] { m_message->clear(); };
    for (QLineEdit* amount : {m_unitPrice, m_specialBase})
        keepRule(amount, &lines::AmountEntryMask, clearMessage);
    for (QLineEdit* percent : {m_discount, m_tax1Rate, m_tax2Rate})
        keepRule(percent, &lines::PercentEntryMask, clearMessage);
    keepRule(m_unit, &lines::unitFieldText);
    keepRule(m_vatRate,
             [this](const QString& t) { return lines::vatRateEntryText(t, m_vatRates); });

    onLeaveField(m_filterBox, [this] { companyFilterLeft(); });
    onLeaveField(m_withholding, [this] { withholdingLeft(); });
    // A rate typed half-way ("2" on the way to "20") is no rate.
    onLeaveField(m_vatRate, [this] { m_vatRate->setEditText(vatRate()); });

    connect(m_select, &QPushButton::clicked, this, &LineEditorWindow::selectCard);
    connect(m_add, &QPushButton::clicked, this, &LineEditorWindow::addToInvoice);
    connect(m_save, &QPushButton::clicked, this, &LineEditorWindow::saveCard);
    connect(m_cancel, &QPushButton::clicked, this, &LineEditorWindow::clearFields);
}

void LineEditorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_loadOnShow) {
        m_loadOnShow = false;
        m_storeCard->setChecked(false);
        load();
    }
}

void LineEditorWindow::closeEvent(QCloseEvent* event) {
    m_loadOnShow = true;
    QWidget::closeEvent(event);
}

void LineEditorWindow::load(bool keepFilter) {
    for (QComboBox* box : {m_unit, m_vatRate, m_withholding, m_tax1, m_tax2, m_findCode, m_findName,
                           m_stockCode, m_specialReason})
        box->clear();
    clearFields();
    if (!keepFilter)
        m_companyFilter = m_host.companyName();
    m_filterBox->setEditText(m_companyFilter);
    m_filterCode->setText(m_companyFilter);

    auto data = lines::loadEditorData(m_host.dataWorkbookPath(), m_companyFilter,
                                      m_host.lastCompanyColumn());
    if (!data) {
        showMessage(data.message());
        return;
    }
    fillBox(m_withholding, data->withholdingItems);
    fillBox(m_tax1, data->otherTaxItems);
    fillBox(m_tax2, data->otherTaxItems);
    fillBox(m_unit, data->unitItems);
    m_vatRates = vatRateChoices(data->vatRateItems);
    fillBox(m_vatRate, m_vatRates);
    fillBox(m_specialReason, data->specialBaseItems);
    if (data->companiesListed)
        fillBox(m_filterBox, data->companies);
    fillBox(m_findCode, data->cardCodes);
    fillBox(m_findName, data->cardNames);
}

void LineEditorWindow::clearFields() {
    for (QLineEdit* edit : {m_name, m_quantity, m_unitPrice, m_withholdingRate, m_tax1Rate,
                            m_tax2Rate, m_gtip, m_specialBase})
        edit->clear();
    m_discount->setText(u"0"_s);
    for (QComboBox* box :
         {m_withholding, m_tax1, m_tax2, m_findCode, m_findName, m_stockCode, m_specialReason})
        box->setEditText(QString());
    m_message->clear();
}

QString LineEditorWindow::vatRate() const {
    return lines::vatRateFieldText(m_vatRate->currentText(), m_vatRates);
}

lines::LineFields LineEditorWindow::fields() const {
    lines::LineFields f;
    f.stockCode = m_stockCode->currentText();
    f.filterCode = m_filterCode->text();
    f.name = m_name->text();
    f.quantity = m_quantity->text();
    f.unit = m_unit->currentText();
    f.unitPrice = m_unitPrice->text();
    f.discountRate = m_discount->text();
    f.vatRate = vatRate();
    f.withholdingCode = m_withholding->currentText();
    f.withholdingRate = m_withholdingRate->text();
    f.otherTax1Code = m_tax1->currentText();
    f.otherTax1Rate = m_tax1Rate->text();
    f.otherTax2Code = m_tax2->currentText();
    f.otherTax2Rate = m_tax2Rate->text();
    f.gtipCode = m_gtip->text();
    f.specialBaseReason = m_specialReason->currentText();
    f.specialBase = m_specialBase->text();
    return f;
}

void LineEditorWindow::setFields(const lines::LineFields& f) {
    m_stockCode->setEditText(f.stockCode);
    m_filterCode->setText(f.filterCode);
    m_name->setText(f.name);
    m_quantity->setText(f.quantity);
    m_unit->setEditText(f.unit);
    m_unitPrice->setText(f.unitPrice);
    m_discount->setText(f.discountRate);
    m_vatRate->setEditText(f.vatRate);
    m_withholding->setEditText(f.withholdingCode);
    m_withholdingRate->setText(f.withholdingRate);
    m_tax1->setEditText(f.otherTax1Code);
    m_tax1Rate->setText(f.otherTax1Rate);
    m_tax2->setEditText(f.otherTax2Code);
    m_tax2Rate->setText(f.otherTax2Rate);
    m_gtip->setText(f.gtipCode);
    m_specialReason->setEditText(f.specialBaseReason);
    m_specialBase->setText(f.specialBase);
}

void LineEditorWindow::selectCard() {
    const QString name = m_findName->currentText();
    const QString code = m_findCode->currentText();
    m_findName->setEditText(QString());
    m_findCode->setEditText(QString());
    auto found = lines::findStockCard(m_host.dataWorkbookPath(), name, code);
    if (!found) {
        showMessage(found.message());
        return;
    }
    if (!found.value())
        return;
    lines::LineFields f = fields();
    found.value()->copyTo(f);
    setFields(f);
}

void LineEditorWindow::addToInvoice() {
    lines::LineFields f = fields();
    const lines::AddLineOutcome out = lines::addLine(f, m_host.invoiceTypeText(), m_host.lines());
    // The checks may have set the rates to 0 or reset a refused field; the message comes after,
    // since every change of an amount or percent field clears the message line.
    setFields(f);
    m_message->clear();
    switch (out.kind) {
    case lines::AddLineOutcome::Kind::TypeRefused: {
        showMessageBox(QMessageBox::Warning, u"Tavlix"_s, out.boxText, QMessageBox::Ok, this);
        return;
    }
    case lines::AddLineOutcome::Kind::FieldRefused:
        showMessage(out.message);
        return;
    case lines::AddLineOutcome::Kind::Added:
        break;
    }
    m_host.recomputeTotals();
    if (m_storeCard->isChecked())
        saveCard();
}

void LineEditorWindow::saveCard() {
    auto saved =
        lines::saveStockCard(m_host.dataWorkbookPath(), lines::StockCard::fromFields(fields()));
    if (!saved) {
        // The fields stay as they are, so nothing typed is lost.
        showMessage(saved.message());
        return;
    }
    load();
}

void LineEditorWindow::companyFilterLeft() {
    m_companyFilter = m_filterBox->currentText();
    load(true);
}

void LineEditorWindow::withholdingLeft() {
    m_withholdingRate->setText(lines::withholdingRateFromBox(m_withholding->currentText()));
}

void LineEditorWindow::showMessage(const QString& text) {
    m_message->setText(text);
}

} // namespace tavlix
