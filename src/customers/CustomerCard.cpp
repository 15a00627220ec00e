#include "customers/CustomerCard.h"

#include "store/DataWorkbook.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace tavlix::customers {

namespace {

using store::CustomerCol::TaxNumber;

QString emptyNumberMessage() {
    return u"Vergi no alanı boş bırakılamaz..!"_s;
}

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Column G as the number it holds: a text as it is, a number cell (typed in by hand) as its
// whole-number digits.
bool rowIsEmpty(const store::Worksheet& sheet, int row) {
    for (int col = store::CustomerCol::Title; col <= store::CustomerCol::AccountingCode; ++col) {
        if (!sheet.value(row, col).isEmpty())
            return false;
    }
    return true;
}

bool sameTaxNumber(const store::Worksheet& sheet, int row, const QString& number) {
    const store::CellValue cell = sheet.value(row, TaxNumber);
    if (cell.kind == store::CellValue::Kind::Number) {
        bool ok = false;
        const qulonglong typed = number.toULongLong(&ok);
        return ok && cell.number >= 0 && std::floor(cell.number) == cell.number &&
               cell.number == static_cast<double>(typed);
    }
    return sheet.text(row, TaxNumber) == number;
}

} // namespace

QString displayName(const CustomerCard& card) {
    return card.title + card.firstName + u" "_s + card.surname;
}

TaxNumberFilter filterTaxNumber(const QString& text) {
    TaxNumberFilter state;
    state.text = text;
    if (text.isEmpty())
        return state;
    // The field keeps the digits before its first other character; one pass, so a long paste
    // costs no more than its length.
    qsizetype digits = 0;
    while (digits < text.size() && isAsciiDigit(text.at(digits)))
        ++digits;
    state.text.truncate(digits);
    state.statusChanged = true;
    if (digits < text.size())
        state.status = u"illegal karekter !"_s;
    state.lookupEnabled = digits == 10 || digits == 11;
    return state;
}

Result<SaveOutcome> writeCustomer(store::Workbook& workbook, const CustomerCard& card) {
    Result<store::Worksheet*> found = workbook.requireSheet(store::DataSheet::Customers);
    if (!found)
        return found.error();
    store::Worksheet& sheet = **found;

    if (card.taxNumber.isEmpty())
        return SaveOutcome{SaveOutcome::Kind::EmptyNumber, 0, emptyNumberMessage()};

    // The new card goes into the first row with no cell filled: a row typed in by hand without a
    // tax office is a customer too and must not be overwritten.
    const int lastRow = sheet.lastRow();
    int freeRow = 2;
    while (freeRow <= lastRow && !rowIsEmpty(sheet, freeRow))
        ++freeRow;
    for (int row = 2; row <= lastRow; ++row) {
        if (sameTaxNumber(sheet, row, card.taxNumber))
            return SaveOutcome{SaveOutcome::Kind::Duplicate, 0,
                               u"Bu Vergi Kimlik No daha önce kaydedilmiş..!"_s};
    }

    using namespace store::CustomerCol;
    sheet.writeText(freeRow, DisplayName, displayName(card));
    sheet.writeText(freeRow, Address, card.address);
    sheet.writeText(freeRow, Country, card.country);
    sheet.writeText(freeRow, TaxOffice, card.taxOffice);
    // The apostrophe keeps the number as text (leading zeros, no exponent).
    sheet.writeText(freeRow, TaxNumber, u"'"_s + card.taxNumber);
    sheet.writeText(freeRow, Email, card.email);
    sheet.writeText(freeRow, Phone, card.phone);
    sheet.writeText(freeRow, Fax, card.fax);
    sheet.writeText(freeRow, Contact, card.contact);
    sheet.writeText(freeRow, AccountingCode, card.accountCode);
    return SaveOutcome{SaveOutcome::Kind::Saved, freeRow, QString()};
}

Result<SaveOutcome> saveCustomer(const QString& workbookPath, const CustomerCard& card) {
    if (card.taxNumber.isEmpty())
        return SaveOutcome{SaveOutcome::Kind::EmptyNumber, 0, emptyNumberMessage()};
    Result<std::unique_ptr<store::Workbook>> workbook = store::Workbook::open(workbookPath);
    if (!workbook)
        return workbook.error();
    Result<SaveOutcome> outcome = writeCustomer(**workbook, card);
    if (!outcome || outcome->kind != SaveOutcome::Kind::Saved)
        return outcome;
    if (Result<void> saved = (*workbook)->save(); !saved)
        return saved.error();
    return outcome;
}

} // namespace tavlix::customers
