#include "FilesFixture.h"

#include "invoice/InvoiceType.h"
#include "invoice/TaxColumns.h"
#include "invoice/Totals.h"

using namespace Qt::StringLiterals;

namespace tavlix::test {

void FilesFixture::layOut(ReportModel& lines, const QString& typeText,
                          const QStringList& taxEntries, const QList<QStringList>& rows) {
    applyInvoiceType(lines, invoiceTypeFromText(typeText));
    for (const QString& entry : taxEntries)
        taxes::addTaxColumns(lines, entry);
    QList<QStringList> padded = rows;
    for (QStringList& row : padded)
        row.resize(lines.columnTotal());
    lines.setRows(padded);
    totalsOf(lines, typeText);
}

InvoiceRecord FilesFixture::invoiceOf(const ReportModel& lines, const QString& typeText) {
    InvoiceRecord r;
    r.company = u"ACME"_s;
    r.invoiceDate = u"07/12/2026"_s;
    r.typeIndex = invoiceTypeFromText(typeText);
    r.typeText = typeText;
    r.lineHeaders = lines.headers();
    for (int row = 0; row < lines.rowTotal(); ++row)
        r.lines.append(lines.rowCells(row));
    return r;
}

QString FilesFixture::totalsOf(ReportModel& lines, const QString& typeText) {
    TotalsInput input;
    input.typeIndex = invoiceTypeFromText(typeText);
    input.typeText = typeText;
    const TotalsResult t = yekunal(lines, input);
    QStringList out;
    for (const QStringList& row : t.totalsRows)
        out << row.join(u'|');
    return out.join(u'\n') + u'\n' + t.notes + u'\n' + QString::number(t.checkTotal);
}

} // namespace tavlix::test
