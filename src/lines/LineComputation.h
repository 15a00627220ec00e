// The amounts of one invoice line, computed from the line editor's field texts. Every step reads
// back the text the step before wrote, so each written cell's rounding carries into the next.
#pragma once

#include "platform/NumberText.h"

#include <QString>

namespace tavlix::lines {

// The line editor's fields as texts (the stock-card fields plus the quantity).
struct LineFields {
    QString stockCode;         // Combo9
    QString filterCode;        // Text1
    QString name;              // Text2
    QString quantity;          // Text3
    QString unit;              // Combo1
    QString unitPrice;         // Text4
    QString discountRate;      // Text5
    QString vatRate;           // Combo2
    QString withholdingCode;   // Combo3
    QString withholdingRate;   // Text6
    QString otherTax1Code;     // Combo4
    QString otherTax1Rate;     // Text7
    QString otherTax2Code;     // Combo5
    QString otherTax2Rate;     // Text8
    QString gtipCode;          // Text9
    QString specialBaseReason; // Combo10
    QString specialBase;       // Text10
};

// The cells the computation writes. The other-tax texts are empty when the tax's code is empty;
// the type cells are empty unless the invoice type uses them.
struct LineAmounts {
    QString unitPrice;      // sub-item 4, two decimals
    QString discountRate;   // sub-item 5, as typed
    QString discountAmount; // sub-item 6, rounded
    QString netAmount;      // sub-item 7, rounded
    QString vatRate;        // sub-item 8, plain whole number ("0" on İSTİSNA)
    QString vatAmount;     // sub-item 9 ("0" on İSTİSNA, VAT on the special base on ÖZEL MATRAH)
    QString otherTax1Rate; // three decimals
    QString otherTax1Amount; // rounded, two decimals
    QString otherTax2Rate;
    QString otherTax2Amount;
    QString specialBase;     // ÖZEL MATRAH: sub-item 11
    QString withholdingRate; // TEVKİFAT: sub-item 11, "0" when the rate is not a number
    QString withheldVat;     // TEVKİFAT: sub-item 12
};

// The invoice type names the computation and the add-line checks compare with.
inline constexpr char16_t kSpecialBaseType[] = u"ÖZEL MATRAH";
inline constexpr char16_t kWithholdingType[] = u"TEVKİFAT";
inline constexpr char16_t kExemptType[] = u"İSTİSNA";

// The number a text starts with, as a BASIC Val reads it (platform/NumberText.h).
using tavlix::leadingNumber;

// The rate and amount cells of one other tax on a net amount cell: the rate taken as a 32-bit
// number and written with three decimals, the amount rounded half to even.
struct OtherTaxCells {
    QString rate;
    QString amount;
};
OtherTaxCells otherTaxCells(const QString& rateText, const QString& netCell);

// Computes the line's cells; `invoiceType` is the main window's invoice type text. Quantity, unit
// price and discount rate are expected to have passed the add-line checks; a text that is not a
// number counts as zero.
LineAmounts computeLine(const LineFields& fields, const QString& invoiceType);

} // namespace tavlix::lines
