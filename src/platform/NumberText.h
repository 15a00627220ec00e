// The fixed Turkish number rules shared by every layer: "." groups thousands, "," separates
// decimals, whatever the system locale says.
#pragma once

#include <QString>

#include <optional>

namespace tavlix {

// Regional reading: optional blanks and sign, digits with "." group separators (ignored) and at
// most one "," decimal separator. std::nullopt when the text is not a number in that form.
std::optional<double> readRegionalNumber(const QString& text);

// The number a text starts with, as a BASIC Val reads it: leading blanks, a sign, digits and an
// optional "." with decimals; a comma or any other character ends the number, and a text that
// does not start with a number reads as 0 ("% 5" → 0, "12,5" → 12, "2.5x" → 2.5).
double leadingNumber(const QString& text);

// A number as a plain value is shown (no grouping, up to 15 significant digits, no trailing
// zeros): 12.5 → "12,5", 18 → "18", -0.25 → "-0,25".
QString generalNumberText(double value);

// A number with exactly `decimals` decimals, rounded half away from zero after taking the double
// to 15 significant digits; `grouped` puts "." between thousands (1.234,50).
QString fixedNumberText(double value, int decimals, bool grouped);

} // namespace tavlix
