// "Excel'e Aktar": the month's two tables as a workbook in the company folder.
#pragma once

#include "platform/Result.h"
#include "summary/MonthSummary.h"

#include <QString>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::summary {

// "<program>/Firmalarım/<company>/<company> <yyyy-MM> Aylık Özet.xlsx"; nullopt for an unsafe
// company name.
std::optional<QString> exportPath(const QString& programDir, const QString& company,
                                  const Month& month);

// Writes the sheets "Satışlar" (type, rate, count, taxable, VAT, withheld, other taxes and the
// total row, then the notes on what the approval states left out) and "Alışlar" (currency, count,
// the three sums, and the list's note when it is incomplete): amounts as numbers in "#,##0.00", the
// header rows bold. Atomic: an older file is replaced only by a complete new one.
Result<void> writeSummaryWorkbook(const QString& path, const SalesTable& sales,
                                  const PurchaseTable& purchases);

enum class ExportOutcome { Saved, Kept, Failed };

// The export as the button does it: an existing file is replaced only when the user answers
// "Evet" to "… zaten var. Üzerine yazılsın mı?"; the outcome is said in a message.
ExportOutcome exportSummary(const QString& programDir, const QString& company, const Month& month,
                            const SalesTable& sales, const PurchaseTable& purchases,
                            UserPrompt& prompt);

} // namespace tavlix::summary
