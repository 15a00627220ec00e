// yekunal: everything that follows from the invoice lines — the totals rows, the extra-tax amounts
// of every line, the VAT bases, the amount in words, the notes and checkTotal.
#pragma once

#include "invoice/Money.h"
#include "widgets/ReportModel.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tavlix {

struct TotalsInput {
    int typeIndex = -1; // Combo1 position, -1 when no type is chosen
    QString typeText;   // Combo1 text ("TEVKİFAT" adds the withholding to checkTotal)
    QString userNot1;
    QString userNot2;
    QString userNot3;
};

struct TotalsResult {
    // False when no type is chosen: the totals list is then left as it was.
    bool typeSelected = false;
    // Rows of ListView2: row number, label, amount text.
    QList<QStringList> totalsRows;
    QString kdvMatStr;   // "KDV MATRAH [%1: …][%10: …][%20: …]", other rates in between
    QString yazTopStr;   // "Yalnız:" + amount in words
    QString spokenTotal; // the same words with blanks, for the screen only
    QString notes;       // the whole text of Text6
    money::Kurus checkTotal = 0; // the payable total, with the withholding on TEVKİFAT
    double grandTotal = 0;
};

// Recomputes the totals of `lines` (the line list ListView1). Empty extra-tax rate cells become
// "0,000" and every extra-tax amount cell is rewritten from the line amount and the rate.
TotalsResult yekunal(ReportModel& lines, const TotalsInput& input);

// The VAT rate of a line: the whole part of the leading number (platform leadingNumber) of its
// "KDV%" cell ("18" → 18, "abc" → 0).
int leadingWholeNumber(const QString& text);

// The three columns of the totals list ListView2.
QList<ColumnSpec> totalsColumns();
// Writes the rows of `result` into the totals list (laying out its columns when it has none);
// leaves the list as it was when no type is selected.
void writeTotalsRows(ReportModel& totals, const TotalsResult& result);

} // namespace tavlix
