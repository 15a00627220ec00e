// Entry rules of the line editor's fields. Each takes the field's whole new text and returns what
// the field may keep; applied on every change (typed, pasted or set by the program).
#pragma once

#include <QString>
#include <QStringList>

namespace tavlix::lines {

// "Birim Fiyat", "Özel Matrah Tutarı": starts with a digit, holds digits and commas, no comma right
// after the first comma, at most two characters after the first comma, ends in a digit or comma.
// Refused texts lose their last character until they pass (12,345 → 12,34; 12. → 12).
QString AmountEntryMask(const QString& text);

// "İskonto Oranı %", "Diğer Vergi Oranı %": one or two digits, optionally a comma and at most two
// decimals (123 → 12; 1,234 → 1,23; 1,, → 1,).
QString PercentEntryMask(const QString& text);

// "KDV Oranı %" as it is typed: a rate among `accepted` (the box's rates, invoice/VatRates.h) or
// the beginning of one ("2" on the way to "20") stays; anything else becomes empty.
QString vatRateEntryText(const QString& text, const QStringList& accepted);

// "KDV Oranı %" when the box is left or the line is added: only a rate among `accepted` stays.
QString vatRateFieldText(const QString& text, const QStringList& accepted);

// "KDV Tevk %" from the withholding box text (description " % " rate): its last three characters,
// or its last two when the first of those three is a blank.
QString withholdingRateFromBox(const QString& boxText);

} // namespace tavlix::lines
