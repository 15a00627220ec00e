#include "summary/MonthSummary.h"

#include "invoice/InvoiceType.h"
#include "portal/PortalStates.h"
#include "portal/UploadJournal.h"
#include "received/ReceivedInvoices.h"
#include "store/FolderTree.h"
#include "store/WorkbookStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace tavlix::summary {

namespace {

const QStringList kTypeCodes = {u"SATIS"_s,   u"IADE"_s,       u"TEVKIFAT"_s,
                                u"ISTISNA"_s, u"OZELMATRAH"_s, u"IHRACKAYITLI"_s};

// The six types first, in their order; other codes after them, by name.
int typeOrder(const QString& code) {
    const qsizetype i = kTypeCodes.indexOf(code);
    return i < 0 ? 100 : static_cast<int>(i);
}

received::QueryMonth queryMonth(const Month& m) {
    return received::QueryMonth{m.year, m.month};
}

// The amount of a received-list cell: a number as a spreadsheet program leaves it, or the site's
// text ("1.234,50").
std::optional<money::Kurus> listAmount(const store::CellValue& cell) {
    if (cell.kind == store::CellValue::Kind::Number)
        return money::kurus(cell.number);
    if (cell.kind != store::CellValue::Kind::Text)
        return std::nullopt;
    const auto value = money::read(cell.text);
    if (!value)
        return std::nullopt;
    return money::kurus(*value);
}

// Whether the approval state keeps an invoice out of the sums.
bool leftOut(const QHash<QString, QString>& states, const QString& ettn) {
    const QString state = states.value(ettn);
    return state == QStringView(portal::kStateNotApproved) ||
           state == QStringView(portal::kStateDeleted);
}

money::Kurus invoiceTotal(const IssuedInvoice& invoice) {
    money::Kurus total = 0;
    for (const RateShare& share : invoice.rates)
        total += share.taxable + share.vat + share.otherTaxes;
    return total;
}

} // namespace

ApprovalStates approvalStates(const QString& programDir, const QString& company) {
    ApprovalStates states;
    const auto path = portal::journalPath(programDir, company);
    if (!path)
        return states;
    const auto journal = portal::readJournal(*path);
    if (!journal)
        states.error = journal.message();
    else
        states.byEttn = portal::statesByEttn(*journal);
    return states;
}

QStringList approvalNotes(const ApprovalSplit& split) {
    QStringList notes;
    if (split.unknown > 0)
        notes << u"%1 faturanın portal onay durumu bilinmiyor (Portal Durumlarını Güncelle)"_s.arg(
            split.unknown);
    QStringList left;
    if (split.notApproved > 0)
        left << u"%1 fatura onaylanmadı (toplam %2 TL)"_s.arg(split.notApproved)
                    .arg(money::kurusText(split.notApprovedTotal));
    if (split.deleted > 0)
        left << u"%1 fatura silinmiş"_s.arg(split.deleted);
    if (!left.isEmpty())
        notes << left.join(u", "_s) + u": özete katılmadı"_s;
    return notes;
}

QString Month::yearMonth() const {
    return queryMonth(*this).yearMonth();
}

QString Month::title() const {
    return received::turkishMonthName(month) + u' ' + QString::number(year);
}

Month Month::previous(int months) const {
    const QDate d = QDate(year, month, 1).addMonths(-months);
    return Month{d.year(), d.month()};
}

QList<Month> summaryMonths(const QDate& today) {
    QList<Month> months;
    const Month current{today.year(), today.month()};
    for (int i = 0; i < 25; ++i)
        months << current.previous(i);
    return months;
}

std::optional<QString> salesXmlFolder(const QString& programDir, const QString& company) {
    const auto folder = store::safeCompanyFolder(programDir, company);
    if (!folder)
        return std::nullopt;
    return *folder + u"/Satış Faturaları/Xml"_s;
}

SalesFolderReader::SalesFolderReader(const QString& folder)
    : m_folder(folder) {
    if (folder.isEmpty())
        return; // no folder: not the working folder
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        if (name.endsWith(u".xml"_s, Qt::CaseInsensitive))
            m_files << name;
}

void SalesFolderReader::readNext(int count) {
    const int end = std::min(total(), m_next + std::max(count, 0));
    for (; m_next < end; ++m_next) {
        const QString& name = m_files.at(m_next);
        Result<IssuedInvoice> read = readIssuedInvoiceFile(m_folder + u'/' + name, m_buffer);
        if (!read) {
            m_unreadable << name;
            m_reasons << name + u": "_s + read.message();
            continue;
        }
        if (m_byEttn.contains(read->ettn))
            continue;
        m_byEttn.insert(read->ettn, static_cast<int>(m_invoices.size()));
        m_invoices.push_back(std::move(read.value()));
    }
}

void SalesFolderReader::readFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    do
        readNext(1);
    while (!finished() && !clock.hasExpired(milliseconds));
}

QString typeTitle(const QString& code) {
    const qsizetype i = kTypeCodes.indexOf(code);
    return i < 0 ? code : invoiceTypeText(static_cast<int>(i));
}

QString rateTitle(int rateHundredths) {
    return u"%"_s + generalRateText(rateHundredths);
}

QString generalRateText(int rateHundredths) {
    QString text = QString::number(rateHundredths / 100);
    if (const int cents = std::abs(rateHundredths % 100); cents != 0) {
        text += u',' + u"%1"_s.arg(cents, 2, 10, QChar(u'0'));
        while (text.endsWith(u'0'))
            text.chop(1);
    }
    return text;
}

SalesTable salesTable(const std::vector<IssuedInvoice>& invoices, const Month& month,
                      const QHash<QString, QString>& states) {
    std::map<std::pair<int, QString>, std::map<int, SalesRow>> byType;
    SalesTable table;
    table.total.rateHundredths = -1;
    for (const IssuedInvoice& invoice : invoices) {
        if (!month.contains(invoice.issueDate))
            continue;
        const QString state = states.value(invoice.ettn);
        if (state == QStringView(portal::kStateNotApproved)) {
            ++table.approval.notApproved;
            table.approval.notApprovedTotal += invoiceTotal(invoice);
            continue;
        }
        if (state == QStringView(portal::kStateDeleted)) {
            ++table.approval.deleted;
            table.approval.deletedTotal += invoiceTotal(invoice);
            continue;
        }
        if (state != QStringView(portal::kStateApproved))
            ++table.approval.unknown;
        ++table.total.invoices;
        auto& rates = byType[{typeOrder(invoice.type), invoice.type}];
        for (const RateShare& share : invoice.rates) {
            SalesRow& row = rates[share.rateHundredths];
            row.type = invoice.type;
            row.rateHundredths = share.rateHundredths;
            ++row.invoices;
            for (SalesRow* r : {&row, &table.total}) {
                r->taxable += share.taxable;
                r->vat += share.vat;
                r->withheld += share.withheld;
                r->otherTaxes += share.otherTaxes;
            }
        }
    }
    for (const auto& [type, rates] : byType)
        for (const auto& [rate, row] : rates)
            table.rows.push_back(row);
    return table;
}

money::Kurus PurchaseTable::liraTaxes() const {
    money::Kurus sum = 0;
    for (const PurchaseRow& row : rows)
        if (row.currency == u"TRY"_s)
            sum += row.taxes;
    return sum;
}

PurchaseTable purchaseTable(const QString& programDir, const QString& company, const Month& month) {
    PurchaseTable table;
    const auto complete = received::receivedListPath(programDir, company, queryMonth(month));
    if (!complete)
        return table;
    QString path = *complete;
    if (!QFileInfo::exists(path)) {
        path = received::incompleteListPath(path);
        if (!QFileInfo::exists(path))
            return table;
        table.incomplete = true;
    }
    table.found = true;
    auto book = store::Workbook::open(path);
    if (!book) {
        table.error = book.message();
        return table;
    }
    const QStringList names = (*book)->sheetNames();
    store::Worksheet* sheet = names.isEmpty() ? nullptr : (*book)->sheet(names.first());
    if (!sheet) {
        table.error = u"Alış listesinde sayfa yok: "_s + QFileInfo(path).fileName();
        return table;
    }
    if (table.incomplete)
        table.missing = received::readMissingCount(*sheet);

    // Columns F, G, H and I: "Toplam Tutar", "Ödenecek Tutar", "Vergiler Toplamı", "Para Birimi".
    std::map<QString, PurchaseRow> byCurrency;
    const int last = sheet->lastRow();
    for (int r = 2; r <= last; ++r) {
        bool empty = true;
        for (int c = 1; c <= 11 && empty; ++c)
            empty = sheet->value(r, c).isEmpty();
        if (empty)
            continue;
        const auto total = listAmount(sheet->value(r, 6));
        const auto payable = listAmount(sheet->value(r, 7));
        const auto taxes = listAmount(sheet->value(r, 8));
        if (!total || !payable || !taxes) {
            table.badRows << r;
            continue;
        }
        QString currency = sheet->text(r, 9).trimmed().toUpper();
        if (currency.isEmpty() || currency == u"TL"_s)
            currency = u"TRY"_s;
        PurchaseRow& row = byCurrency[currency];
        row.currency = currency;
        ++row.invoices;
        row.total += *total;
        row.payable += *payable;
        row.taxes += *taxes;
    }
    if (auto lira = byCurrency.find(u"TRY"_s); lira != byCurrency.end()) {
        table.rows.push_back(lira->second);
        byCurrency.erase(lira);
    }
    for (const auto& [currency, row] : byCurrency)
        table.rows.push_back(row);
    return table;
}

QStringList summaryNotes(const SalesTable& sales, const PurchaseTable& purchases,
                         const QStringList& unreadableFiles, bool salesRead) {
    QStringList notes;
    if (!unreadableFiles.isEmpty())
        notes << u"%1 dosya okunamadı: %2"_s.arg(unreadableFiles.size())
                     .arg(unreadableFiles.join(u", "_s));
    if (salesRead)
        notes << approvalNotes(sales.approval);
    if (sales.isEmpty() && salesRead && sales.approval.notApproved + sales.approval.deleted == 0)
        notes << u"Bu ay için kesilmiş fatura bulunamadı."_s;
    if (!purchases.error.isEmpty())
        notes << u"Alış listesi okunamadı: "_s + purchases.error;
    else if (!purchases.found)
        notes << u"Bu ay için alış listesi yok (Fatura İndir ile indirilebilir)."_s;
    else if (purchases.isEmpty() && purchases.badRows.isEmpty())
        notes << u"Bu ayın alış listesinde fatura yok."_s;
    if (purchases.incomplete)
        notes << (purchases.missing >= 0
                      ? u"Liste eksik: %1 fatura okunamadı"_s.arg(purchases.missing)
                      : u"Liste eksik: okunamayan fatura sayısı bilinmiyor"_s);
    if (!purchases.badRows.isEmpty()) {
        QStringList rows;
        for (const int r : purchases.badRows)
            rows << QString::number(r);
        notes << u"Alış listesinde tutarı okunamayan satırlar hesaba katılmadı: "_s +
                     rows.join(u", "_s);
    }
    return notes;
}

QList<QStringList> salesTexts(const SalesTable& sales) {
    QList<QStringList> rows;
    if (sales.isEmpty())
        return rows;
    const auto cells = [](const SalesRow& r, const QString& type, const QString& rate) {
        return QStringList{type,
                           rate,
                           QString::number(r.invoices),
                           money::kurusText(r.taxable),
                           money::kurusText(r.vat),
                           money::kurusText(r.withheld),
                           money::kurusText(r.otherTaxes)};
    };
    for (const SalesRow& row : sales.rows)
        rows << cells(row, typeTitle(row.type), rateTitle(row.rateHundredths));
    rows << cells(sales.total, u"TOPLAM"_s, QString());
    return rows;
}

QList<QStringList> purchaseTexts(const PurchaseTable& purchases) {
    QList<QStringList> rows;
    for (const PurchaseRow& row : purchases.rows)
        rows << QStringList{row.currency, QString::number(row.invoices),
                            money::kurusText(row.total), money::kurusText(row.taxes),
                            money::kurusText(row.payable)};
    return rows;
}

std::vector<MonthFigures> lastTwelveMonths(const std::vector<IssuedInvoice>& invoices,
                                           const Month& last,
                                           const QHash<QString, QString>& states) {
    std::vector<MonthFigures> figures;
    const Month first = last.previous(11);
    for (int i = 11; i >= 0; --i)
        figures.push_back(MonthFigures{last.previous(i)});
    for (const IssuedInvoice& invoice : invoices) {
        const QDate& d = invoice.issueDate;
        const int index = (d.year() - first.year) * 12 + d.month() - first.month;
        if (index < 0 || index >= 12 || leftOut(states, invoice.ettn))
            continue;
        for (const RateShare& share : invoice.rates)
            figures[static_cast<size_t>(index)].salesVat += share.vat;
    }
    return figures;
}

void addReceivedTaxes(std::vector<MonthFigures>& figures, const QString& programDir,
                      const QString& company) {
    for (MonthFigures& f : figures) {
        const PurchaseTable purchases = purchaseTable(programDir, company, f.month);
        f.receivedTaxes = purchases.liraTaxes();
        f.receivedForeign =
            std::any_of(purchases.rows.begin(), purchases.rows.end(),
                        [](const PurchaseRow& r) { return r.currency != u"TRY"_s; });
    }
}

QString figureText(const MonthFigures& f) {
    QString text = f.month.title() + u" — Satış KDV: "_s + money::kurusText(f.salesVat) +
                   u" TL, Alış vergileri: "_s + money::kurusText(f.receivedTaxes) + u" TL"_s;
    if (f.receivedForeign)
        text += u" (döviz faturaları hariç)"_s;
    return text;
}

} // namespace tavlix::summary
