#include "customers/CustomerCard.h"

#include "store/WorkbookStore.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace tavlix::customers {

namespace {

constexpr int kNameColumn = 3;      // C
constexpr int kTaxOfficeColumn = 6; // F, the key of the first free row
constexpr int kTaxNumberColumn = 7; // G

QString emptyNumberMessage() {
    return u"Vergi no alanı boş bırakılamaz..!"_s;
}

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// One run of the field's change handler; removing a character runs it again, as the field
// reports its own change.
void runFilter(QString& field, TaxNumberFilter& state) {
    state.lookupEnabled = false;
    if (field.isEmpty())
        return;
    const qsizetype length = field.size();
    for (qsizetype i = 0; i < length; ++i) {
        if (i < field.size()) {
            if (!isAsciiDigit(field.at(i))) {
                field.chop(1);
                runFilter(field, state);
                state.status = u"illegal karekter !"_s;
            } else {
                state.status.clear();
            }
            state.statusChanged = true;
        }
        state.lookupEnabled = field.size() == 10 || field.size() == 11;
    }
}

// Column G as the number it holds: a text as it is, a number cell (typed in by hand) as its
// whole-number digits.
bool sameTaxNumber(const store::Worksheet& sheet, int row, const QString& number) {
    const store::CellValue cell = sheet.value(row, kTaxNumberColumn);
    if (cell.kind == store::CellValue::Kind::Number) {
        bool ok = false;
        const qulonglong typed = number.toULongLong(&ok);
        return ok && cell.number >= 0 && std::floor(cell.number) == cell.number &&
               cell.number == static_cast<double>(typed);
    }
    return sheet.text(row, kTaxNumberColumn) == number;
}

} // namespace

QString displayName(const CustomerCard& card) {
    return card.title + card.firstName + u" "_s + card.surname;
}

TaxNumberFilter filterTaxNumber(const QString& text) {
    TaxNumberFilter state;
    QString field = text;
    runFilter(field, state);
    state.text = field;
    return state;
}

Result<SaveOutcome> writeCustomer(store::Workbook& workbook, const CustomerCard& card) {
    Result<store::Worksheet*> found = workbook.requireSheet(u"mDATA"_s);
    if (!found)
        return found.error();
    store::Worksheet& sheet = **found;

    if (card.taxNumber.isEmpty())
        return SaveOutcome{SaveOutcome::Kind::EmptyNumber, 0, emptyNumberMessage()};

    const int freeRow = sheet.firstFreeRow(kTaxOfficeColumn);
    for (int row = 2; row < freeRow; ++row) {
        if (sameTaxNumber(sheet, row, card.taxNumber))
            return SaveOutcome{SaveOutcome::Kind::Duplicate, 0,
                               u"Bu Vergi Kimlik No daha önce kaydedilmiş..!"_s};
    }

    sheet.writeText(freeRow, kNameColumn, displayName(card));
    sheet.writeText(freeRow, 4, card.address);
    sheet.writeText(freeRow, 5, card.country);
    sheet.writeText(freeRow, kTaxOfficeColumn, card.taxOffice);
    sheet.writeText(freeRow, kTaxNumberColumn, u"'"_s + card.taxNumber);
    sheet.writeText(freeRow, 8, card.email);
    sheet.writeText(freeRow, 9, card.phone);
    sheet.writeText(freeRow, 10, card.fax);
    sheet.writeText(freeRow, 11, card.contact);
    sheet.writeText(freeRow, 12, card.accountCode);
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
