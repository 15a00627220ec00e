// What an invoice must say of its buyer before anything goes to the portal.
#pragma once

#include "invoice/InvoiceRecord.h"

#include <QString>

namespace tavlix::portal {

// "Alıcı bilgileri eksik: …" naming what is missing (a tax number that is empty or not 10 or 11
// digits, an empty name: title, or first and last name); empty when the buyer is complete.
QString missingBuyerDetails(const InvoiceRecord& invoice);

} // namespace tavlix::portal
