// Money and rate texts of the invoice: the one place where amounts are written, rounded and read.
#pragma once

#include <QString>

#include <optional>

namespace tavlix::money {

// "#,##0.00": 1.234,50 — half away from zero after taking the double to 15 significant digits.
QString text(double value);

// "#,##0.000", the rate cells of extra taxes: 5 → "5,000".
QString rateText(double value);

// Round half to even to two decimals on the double: 0,125 → 0,12; 0,375 → 0,38.
double rnd2(double value);

// Regional reading of a cell or field text ("1.234,50" → 1234.5); nullopt when not numeric.
std::optional<double> read(const QString& text);
bool isNumeric(const QString& text);

// The number a cell holds, 0 when it holds no number (an empty cell counts as zero).
double value(const QString& text);

// Whole kuruş. The totals that decide something (checkTotal, the portal's total, their difference,
// the VAT bases of the notes) are added and compared in this unit, exact at any size.
using Kurus = long long;

// The kuruş of a value that has at most two decimals (a cell read back, a rounded amount).
Kurus kurus(double value);

// The kuruş a money text shows ("1.234,56" → 123456, "-0,01" → -1): exactly what the reader of
// a line cell sees. Another number text is read regionally and rounded to the kuruş; no number: 0.
Kurus shownKurus(const QString& text);

// "#,##0.00" of a kuruş amount: 141456789 → "1.414.567,89", -1 → "-0,01".
QString kurusText(Kurus amount);

// The plain text of a value, as a number shows without a format: 12.5 → "12,5", 1000 → "1000".
QString plainText(double value);

} // namespace tavlix::money
