// Extra-tax column pairs of the line list: which taxes the code table offers, the rate/amount
// pair of a tax, and adding or removing a pair so every remaining cell stays under its header.
#pragma once

#include "platform/Result.h"
#include "widgets/ReportModel.h"

#include <QString>
#include <QStringList>

namespace tavlix::store {
class Workbook;
}

namespace tavlix::taxes {

// Tax entries of kodDATA: code (column E) + "-" + description (column F), from row 2 down while
// the code cell is not empty.
Result<QStringList> readTaxEntries(store::Workbook& workbook);
// The same, opening the workbook at `path` and leaving it unchanged.
Result<QStringList> loadTaxEntries(const QString& path);

// Rate column: entry + "%", centred, 1300 twips.
QString rateHeader(const QString& entry);
ColumnSpec rateColumn(const QString& entry);
// Amount column: entry without its first six characters + " Tutarı", right, 900 twips.
QString amountHeader(const QString& entry);
ColumnSpec amountColumn(const QString& entry);

// The one rule for a pair, given its rate column's header as the line editor's tax boxes show it
// (entry + "%"): the amount header drops the last character, then the first six.
QString amountHeaderForRate(const QString& rateHeader);
// Appends a pair: the rate column headed `rateHeader`, then its amount column.
void appendTaxPair(ReportModel& lines, const QString& rateHeader);

// True when a header from position 9 up to the second-to-last column (1-based) is the entry's
// rate header.
bool isTaxAdded(const ReportModel& lines, const QString& entry);

// Appends the entry's pair; false (nothing changed) when the tax is already added.
bool addTaxColumns(ReportModel& lines, const QString& entry);

// Removes the entry's rate column, and the column after it when that is the entry's amount
// column, together with their cells, so later pairs keep their cells; every remaining column
// keeps its own header, width and alignment. False when the entry's rate column is not there
// (nothing changed).
bool removeTaxColumns(ReportModel& lines, const QString& entry);

// Lays the columns out as `headers`, for a list whose rows are then replaced: a column the list
// has keeps its width and alignment, another one is a tax pair's rate column (ending in "%") or
// amount column.
void arrangeColumns(ReportModel& lines, const QStringList& headers);

// The taxes on the invoice, in column order: the entry (rate header without its "%") of every
// pair from `firstTaxColumn` (0-based) on, whoever added it.
QStringList invoiceTaxes(const ReportModel& lines, int firstTaxColumn);

} // namespace tavlix::taxes
