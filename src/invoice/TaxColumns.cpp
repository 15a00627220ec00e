#include "invoice/TaxColumns.h"

#include "store/DataStore.h"
#include "store/DataWorkbook.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::taxes {

Result<QStringList> readTaxEntries(store::Workbook& workbook) {
    Result<store::Worksheet*> sheet = workbook.requireSheet(store::DataSheet::Codes);
    if (!sheet)
        return sheet.error();
    return store::taxEntries(**sheet);
}

Result<QStringList> loadTaxEntries(const QString& path) {
    return store::DataStore(path).taxEntries();
}

QString rateHeader(const QString& entry) {
    return entry + u"%"_s;
}

QString amountHeaderForRate(const QString& rateHeader) {
    return rateHeader.chopped(std::min<qsizetype>(1, rateHeader.size())).mid(6) + u" Tutarı"_s;
}

QString amountHeader(const QString& entry) {
    return amountHeaderForRate(rateHeader(entry));
}

namespace {
ColumnSpec rateColumnHeaded(const QString& header) {
    return {header, Qt::AlignHCenter, 1300};
}
ColumnSpec amountColumnForRate(const QString& rateHeader) {
    return {amountHeaderForRate(rateHeader), Qt::AlignRight, 900};
}
} // namespace

ColumnSpec rateColumn(const QString& entry) {
    return rateColumnHeaded(rateHeader(entry));
}

ColumnSpec amountColumn(const QString& entry) {
    return amountColumnForRate(rateHeader(entry));
}

void appendTaxPair(ReportModel& lines, const QString& rateHeader) {
    lines.addColumn(rateColumnHeaded(rateHeader));
    lines.addColumn(amountColumnForRate(rateHeader));
}

bool isTaxAdded(const ReportModel& lines, const QString& entry) {
    const QString header = rateHeader(entry);
    // Positions 9 .. count-1 (1-based) are indices 8 .. count-2.
    for (int c = 8; c <= lines.columnTotal() - 2; ++c) {
        if (lines.column(c).header == header)
            return true;
    }
    return false;
}

bool addTaxColumns(ReportModel& lines, const QString& entry) {
    if (isTaxAdded(lines, entry))
        return false;
    appendTaxPair(lines, rateHeader(entry));
    return true;
}

bool removeTaxColumns(ReportModel& lines, const QString& entry) {
    const int rate = lines.findColumn(rateHeader(entry));
    if (rate < 0)
        return false;
    const bool pairFollows =
        rate + 1 < lines.columnTotal() && lines.column(rate + 1).header == amountHeader(entry);
    lines.removeColumnsWithCells(rate, pairFollows ? 2 : 1);
    return true;
}

void arrangeColumns(ReportModel& lines, const QStringList& headers) {
    QList<ColumnSpec> specs;
    QString rate;
    for (const QString& header : headers) {
        const int own = lines.findColumn(header);
        if (own >= 0)
            specs.append(lines.column(own));
        else if (header.endsWith(u'%'))
            specs.append(rateColumnHeaded(header));
        else
            specs.append(header == amountHeaderForRate(rate)
                             ? amountColumnForRate(rate)
                             : ColumnSpec{header, Qt::AlignRight, 1300});
        rate = header;
    }
    lines.setColumns(specs);
}

QStringList invoiceTaxes(const ReportModel& lines, int firstTaxColumn) {
    QStringList out;
    for (int c = std::max(firstTaxColumn, 0); c + 1 < lines.columnTotal(); c += 2) {
        const QString& header = lines.column(c).header;
        if (header.endsWith(u'%') && lines.column(c + 1).header == amountHeaderForRate(header))
            out.append(header.chopped(1));
    }
    return out;
}

} // namespace tavlix::taxes
