#include "files/InvoiceImport.h"

#include "files/InvoiceWorkbook.h"
#include "invoice/InvoiceType.h"
#include "invoice/Money.h"
#include "invoice/TaxColumns.h"
#include "lines/LineComputation.h"
#include "platform/UserPrompt.h"
#include "store/WorkbookStore.h"

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace tavlix::files {

namespace {

using lines::leadingNumber;
namespace col = linecol;

const QString kSales = u"SATIŞ"_s;
const QString kReturn = u"İADE"_s;
const QString kWithholding = u"TEVKİFAT"_s;
const QString kExempt = u"İSTİSNA"_s;
const QString kSpecialBase = u"ÖZEL MATRAH"_s;

// First extra-tax rate columns (0-based) of the types that recompute extra taxes on import.
constexpr int kSalesTaxes = 10;
constexpr int kWithholdingTaxes = 13;
constexpr int kSpecialBaseTaxes = 12;

// One imported row computed by the line editor's own routine, so that a saved invoice imports
// back to the same cells and totals; the two line warnings are the import's own.
class RowComputation {
public:
    RowComputation(QStringList& cells, int lineNumber, UserPrompt& prompt)
        : m_cells(cells)
        , m_line(lineNumber)
        , m_prompt(prompt) {}

    void run(const QString& type) {
        lines::LineFields f;
        f.quantity = cell(col::Quantity);
        f.unitPrice = cell(col::UnitPrice);
        f.discountRate = cell(col::DiscountRate);
        f.vatRate = cell(col::VatRate);
        if (type == kWithholding)
            f.withholdingRate = cell(col::WithholdingRate);
        if (type == kSpecialBase)
            f.specialBase = cell(col::SpecialBaseAmount);
        const lines::LineAmounts a = lines::computeLine(f, type);
        set(col::UnitPrice, a.unitPrice);
        set(col::Discount, a.discountAmount);
        set(col::Amount, a.netAmount);
        set(col::VatRate, a.vatRate);
        set(col::Vat, a.vatAmount);
        m_net = a.netAmount;

        if (type == kSales || type == kReturn) {
            extraTaxes(kSalesTaxes);
        } else if (type == kWithholding) {
            if (!(money::value(a.withholdingRate) > 0))
                warn(u"tevkifat oranı 0'dan büyük olmalıdır !"_s);
            set(col::WithholdingAmount, a.withheldVat);
            extraTaxes(kWithholdingTaxes);
        } else if (type == kSpecialBase) {
            set(col::SpecialBaseAmount, a.specialBase);
            extraTaxes(kSpecialBaseTaxes);
            if (!(money::value(a.specialBase) > 0))
                warn(u"Özel Matrah Tutarı 0'dan büyük olmalıdır !"_s);
        }
    }

private:
    QString cell(int c) const { return c < m_cells.size() ? m_cells.at(c) : QString(); }
    void set(int c, const QString& text) {
        if (c < m_cells.size())
            m_cells[c] = text;
    }
    void warn(const QString& text) const {
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Satır "_s + QString::number(m_line) + u' ' + text);
    }

    // Rate columns from `first` in steps of two, each followed by its amount column.
    void extraTaxes(int first) {
        for (int k = first; k + 1 < m_cells.size(); k += 2) {
            const lines::OtherTaxCells tax = lines::otherTaxCells(cell(k), m_net);
            set(k, tax.rate);
            set(k + 1, tax.amount);
        }
    }

    QStringList& m_cells;
    int m_line;
    UserPrompt& m_prompt;
    QString m_net;
};

// The columns a row's amounts are computed from; a text there that is no number is refused
// rather than taken as zero.
std::vector<int> numericColumns(const QString& type) {
    std::vector<int> columns = {col::Quantity, col::UnitPrice, col::DiscountRate};
    if (type != kExempt)
        columns.push_back(col::VatRate);
    if (type == kWithholding)
        columns.push_back(col::WithholdingRate);
    if (type == kSpecialBase)
        columns.push_back(col::SpecialBaseAmount);
    return columns;
}

Error refuse(UserPrompt& prompt, ErrorCode code, const QString& text) {
    prompt.message(UserPrompt::Icon::Warning, text);
    return makeError(code, text);
}

// A cell as the import stores it: empty or below zero gives "0".
QString importedCell(const store::Worksheet& sheet, int row, int column) {
    const store::CellValue value = sheet.value(row, column);
    if (value.isEmpty())
        return u"0"_s;
    if (value.kind == store::CellValue::Kind::Number ? value.number < 0
                                                     : leadingNumber(value.text) < 0)
        return u"0"_s;
    return sheet.text(row, column);
}

// Row 1 from column A while filled (column A may be left empty).
QStringList workbookHeaders(const store::Worksheet& sheet) {
    QStringList out;
    for (int c = 1; c == 1 || !sheet.value(1, c).isEmpty(); ++c)
        out.append(sheet.text(1, c));
    return out;
}

// The headers an invoice without lines takes for this workbook: its own up to `from`, then the
// workbook's tax pairs (rate header, its amount header) in order, then its own pairs the workbook
// lacks. The target's headers when the workbook's columns from `from` on are not such pairs.
QStringList headersWithWorkbookTaxes(const QStringList& own, const QStringList& workbook,
                                     int from) {
    if (from < 1 || from > own.size() || workbook.size() <= from)
        return own;
    // Column A's header is never read and may be empty.
    if (own.mid(1, from - 1) != workbook.mid(1, from - 1) ||
        !(workbook[0].isEmpty() || workbook[0] == own[0]))
        return own;
    const QStringList pairs = workbook.mid(from);
    if (pairs.size() % 2 != 0)
        return own;
    for (qsizetype i = 0; i < pairs.size(); i += 2) {
        if (!pairs[i].endsWith(u'%') || pairs[i + 1] != taxes::amountHeaderForRate(pairs[i]) ||
            pairs.count(pairs[i]) != 1)
            return own;
    }
    QStringList out = own.mid(0, from) + pairs;
    const QStringList ownTail = own.mid(from);
    for (qsizetype i = 0; i < ownTail.size(); ++i) {
        const bool pairInWorkbook = ownTail[i].endsWith(u'%') && pairs.contains(ownTail[i]) &&
                                    i + 1 < ownTail.size() &&
                                    ownTail[i + 1] == taxes::amountHeaderForRate(ownTail[i]);
        if (pairInWorkbook)
            ++i;
        else if (!pairs.contains(ownTail[i]))
            out.append(ownTail[i]);
    }
    return out;
}

} // namespace

Result<ImportedLines> importInvoiceWorkbook(const QString& path, const ImportTarget& target,
                                            UserPrompt& prompt) {
    if (path.isEmpty())
        return refuse(prompt, ErrorCode::InvalidInput,
                      u"Önce Kayıtlı Faturalar listesinden bir dosya seçiniz."_s);
    auto opened = store::openWithSheets(path, {QString::fromUtf16(kInvoiceSheet)});
    if (!opened)
        return refuse(prompt, opened.error().code, opened.message());
    const store::Worksheet& sheet = opened.value()[0];
    const QStringList headers = headersWithWorkbookTaxes(target.lineHeaders, workbookHeaders(sheet),
                                                         target.newTaxColumnsFrom);
    const int listColumns = static_cast<int>(headers.size());

    // Row 1 from column A while filled (column A may be left empty: it is never read).
    int columns = 0;
    for (int c = 1; c == 1 || !sheet.value(1, c).isEmpty(); ++c) {
        const QString header = sheet.text(1, c);
        if (c == 1 && header.isEmpty())
            continue;
        if (c > listColumns)
            return refuse(prompt, ErrorCode::BadFormat,
                          u"Yüklemeye çalıştığınız Excel'in sütun sayısı daha fazla ! Lütfen "
                          u"kontrol ediniz..."_s);
        if (header != headers.at(c - 1))
            return refuse(prompt, ErrorCode::BadFormat,
                          header + u"  bu Excel Sütun Adı hatalı ! Lütfen orjinal bir Şablon "
                                   u"kullanınız."_s);
        columns = c;
    }

    // Without the name column's header no cell of a row would be read: the lines would be made up.
    if (columns < 2 && !sheet.value(2, 2).isEmpty())
        return refuse(prompt, ErrorCode::BadFormat,
                      u"Excel'in ilk satırında sütun adları yok ! Lütfen orjinal bir Şablon "
                      u"kullanınız."_s);

    QList<QStringList> rows;
    for (int r = 2; !sheet.value(r, 2).isEmpty(); ++r) {
        QStringList cells(listColumns);
        cells[0] = QString::number(r - 1);
        for (int c = 2; c <= columns; ++c)
            cells[c - 1] = importedCell(sheet, r, c);
        rows.append(std::move(cells));
    }

    const std::vector<int> numeric = numericColumns(target.typeText);
    for (int i = 0; i < rows.size(); ++i) {
        for (int c : numeric) {
            if (c < columns && !money::isNumeric(rows.at(i).at(c)))
                return refuse(prompt, ErrorCode::InvalidInput,
                              u"Satır %1: %2 sayısal değil."_s.arg(i + 1).arg(headers.at(c)));
        }
    }

    for (int i = 0; i < rows.size(); ++i)
        RowComputation(rows[i], i + 1, prompt).run(target.typeText);
    return ImportedLines{headers, rows};
}

} // namespace tavlix::files
