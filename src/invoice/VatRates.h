// The VAT rates an invoice line may carry: today's rates, and every rate the company workbook
// lists, so that a workbook kept from earlier years still invoices at today's rates.
#pragma once

#include <QStringList>

namespace tavlix {

// 0, 1, 10 and 20: offered whatever the workbook lists.
QStringList standingVatRates();

// The VAT box's items: the standing rates and the workbook's rates (kodDATA "KDV ORANI") that read
// as numbers of at least zero, ascending by value, each value once (the workbook's text wins).
QStringList vatRateChoices(const QStringList& workbookRates);

} // namespace tavlix
