// "Excel Yükle": the lines of a saved invoice workbook or of a template in the same layout, read
// from sheet "Sayfa1" and recomputed by the rules of the invoice type.
#pragma once

#include "platform/Result.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::files {

struct ImportTarget {
    QStringList lineHeaders; // the line list's headers as the chosen type laid them out
    QString typeText;        // the invoice-type list's text: "SATIŞ", "TEVKİFAT" …
    // An invoice without lines takes the workbook's extra-tax pairs: the first extra-tax column
    // (0-based) of its type; -1 when the invoice has lines, whose columns then must fit.
    int newTaxColumnsFrom = -1;
};

struct ImportedLines {
    // The line list's headers for these rows: the target's, or with the workbook's tax pairs
    // first in its own order and the invoice's other pairs after them.
    QStringList headers;
    QList<QStringList> rows;
};

// The rows to put into the line list in place of the current ones (each as long as `headers`);
// the caller lays out the headers and then recomputes the totals. Every refusal (unreadable file,
// no "Sayfa1", too many or wrong headers, a cell that must be a number and is not) has already been
// told through `prompt` when the error comes back, and then no line may change. The two line
// warnings of TEVKİFAT and ÖZEL MATRAH are told while the import goes on.
Result<ImportedLines> importInvoiceWorkbook(const QString& path, const ImportTarget& target,
                                            UserPrompt& prompt);

} // namespace tavlix::files
