// One filed sales invoice as its UBL-TR XML states it: the ETTN, the issue date, the type and, per
// VAT rate, the taxable amount and the taxes, all in Turkish lira kuruş.
#pragma once

#include "invoice/Money.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlix::summary {

// One VAT rate's share of an invoice.
struct RateShare {
    int rateHundredths = 0; // 20 % → 2000, 0,5 % → 50
    money::Kurus taxable = 0;
    money::Kurus vat = 0;
    money::Kurus withheld = 0;   // VAT withheld by the buyer (TEVKİFAT)
    money::Kurus otherTaxes = 0; // every tax subtotal that is not VAT (0015)
};

struct IssuedInvoice {
    QString ettn; // upper case
    QDate issueDate;
    QString type;                 // the XML's code: SATIS, IADE, TEVKIFAT …
    std::vector<RateShare> rates; // ascending by rate, at least one
};

// Reads a UBL-TR invoice from its XML, matching elements by their local names. The amounts are
// the invoice's own tax subtotals (cac:TaxTotal, cac:WithholdingTaxTotal); an invoice in another
// currency is counted in lira at the rate of its cac:PricingExchangeRate. Withheld VAT and other
// taxes go to the rate of the lines that carry them when the lines add up to the invoice's
// totals, otherwise to the rate with the largest taxable amount. Fails, with a short Turkish
// reason, for a file that is not a UBL invoice, is truncated, or lacks the ETTN, the issue date,
// the type, a VAT subtotal or the exchange rate of a foreign currency.
Result<IssuedInvoice> readIssuedInvoice(const QByteArray& xml);
// The same over a buffer of the caller's, which it parses in place and leaves altered.
Result<IssuedInvoice> readIssuedInvoice(std::string& xml);

// Reads a filed XML into `buffer` (kept by the caller from file to file) and then as above; fails
// with "okunamadı" or "çok büyük" for a file that cannot be read or is no portal package's size.
Result<IssuedInvoice> readIssuedInvoiceFile(const QString& path, std::string& buffer);

// A decimal text of XML ("1234.5", "-0.125") in kuruş times `rate` (a decimal text too, or empty
// for 1), rounded half away from zero; nullopt when a text is no decimal number.
std::optional<money::Kurus> decimalKurus(std::string_view amount, std::string_view rate = {});

} // namespace tavlix::summary
