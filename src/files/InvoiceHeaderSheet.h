// The header of a saved invoice workbook: sheet "Fatura Bilgileri" beside "Sayfa1", label/value
// rows for the invoice's type, buyer, dates, currency, delivery note, return references and notes.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "platform/Result.h"

#include <QString>

#include <optional>

namespace tavlix::files {

inline constexpr char16_t kHeaderSheet[] = u"Fatura Bilgileri";

// The header fields of the InvoiceRecord (type, customer, dates and times, currency and rate,
// dispatch serial, return references, notes) read from the workbook at `path`; nothing when the
// workbook has no such sheet (an older file, another producer's template). Lines, totals and
// settings stay empty.
Result<std::optional<InvoiceRecord>> readInvoiceHeader(const QString& path);

} // namespace tavlix::files
