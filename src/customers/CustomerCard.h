// A new customer card: its display name, the tax-number field filter and the save into mDATA.
#pragma once

#include "platform/Result.h"

#include <QString>

namespace tavlix::store {
class Workbook;
}

namespace tavlix::customers {

// The card's fields (Text1 … Text11 and the country box).
struct CustomerCard {
    QString title;       // Text1, organisations
    QString firstName;   // Text2, persons
    QString surname;     // Text3, persons
    QString address;     // Text4
    QString country;     // Combo1
    QString taxOffice;   // Text5
    QString taxNumber;   // Text6
    QString email;       // Text7
    QString phone;       // Text8
    QString fax;         // Text9
    QString contact;     // Text10
    QString accountCode; // Text11
};

// Title + first name + " " + surname: "Title " for an organisation, "Ad Soyad" for a person.
QString displayName(const CustomerCard& card);

// What the tax-number filter leaves after one change of the field.
struct TaxNumberFilter {
    QString text;
    bool statusChanged = false; // false: the status line stays as it was (empty field)
    QString status;             // "illegal karekter !" or empty
    bool lookupEnabled = false; // "SORGULA": exactly 10 or 11 characters
};
// Keeps the digits before the field's first other character (a letter leaves only the digits
// before it) and reports "illegal karekter !" when it dropped any.
TaxNumberFilter filterTaxNumber(const QString& text);

struct SaveOutcome {
    enum class Kind { Saved, EmptyNumber, Duplicate };
    Kind kind = Kind::Saved;
    int row = 0;    // Saved: the row written
    QString status; // the status line: empty when saved, otherwise the refusal
};

// Writes the card into the first free row of mDATA of an open workbook (no value and no formula
// in columns A to L), after checking for an empty tax number and for the number in column G.
// Nothing is written on a refusal. Fails only when mDATA is missing.
Result<SaveOutcome> writeCustomer(store::Workbook& workbook, const CustomerCard& card);

// Writes the card through the DATA.xlsx service and saves atomically; a refused card leaves the
// file untouched. Errors carry the Turkish message for the status line.
Result<SaveOutcome> saveCustomer(const QString& workbookPath, const CustomerCard& card);

} // namespace tavlix::customers
