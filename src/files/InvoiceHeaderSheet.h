// The header of a saved invoice workbook: sheet "Fatura Bilgileri" beside "Sayfa1", label/value
// rows for the invoice's type, buyer, dates, currency, delivery note, return references and notes.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "platform/Result.h"

#include <QString>

#include <optional>

namespace tavlix::store {
class Worksheet;
}

namespace tavlix::files {

inline constexpr char16_t kHeaderSheet[] = u"Fatura Bilgileri";

// The header fields of the InvoiceRecord (type, customer, dates and times, currency and rate,
// dispatch serial, return references, notes) read from the workbook at `path`; nothing when the
// workbook has no such sheet (an older file, another producer's template). Lines, totals and
// settings stay empty.
Result<std::optional<InvoiceRecord>> readInvoiceHeader(const QString& path);

// The label/value rows of `invoice`'s header into `sheet` from row 1 (column A the label, B the
// value; one row per return reference), and back. Unknown labels are passed over, so a user's
// own rows in the sheet do no harm.
void writeHeaderRows(store::Worksheet& sheet, const InvoiceRecord& invoice);
InvoiceRecord readHeaderRows(const store::Worksheet& sheet);

} // namespace tavlix::files
