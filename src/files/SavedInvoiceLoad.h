// A saved invoice workbook read into the invoice record an upload sends, as "Excel Yükle" reads
// it onto the main window but without touching the invoice there: the header sheet, the lines
// laid out by the type's headers and recomputed, the totals, the company's settings.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "platform/Result.h"
#include "store/CompanySettings.h"

#include <QString>

namespace tavlix::files {

// The error names why the workbook cannot be sent: no header sheet, an unknown type, an import
// refused, or a line the import warned about (a withholding rate or special base not above 0).
Result<InvoiceRecord> loadSavedInvoice(const QString& path, const QString& company,
                                       const CompanySettings& settings);

} // namespace tavlix::files
