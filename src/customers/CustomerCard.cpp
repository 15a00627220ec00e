#include "customers/CustomerCard.h"

#include "store/DataStore.h"
#include "store/DataWorkbook.h"

using namespace Qt::StringLiterals;

namespace tavlix::customers {

namespace {

QString emptyNumberMessage() {
    return u"Vergi no alanı boş bırakılamaz..!"_s;
}

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
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

namespace {

store::NewCustomer newCustomer(const CustomerCard& card) {
    return {displayName(card), card.address, card.country, card.taxOffice, card.taxNumber,
            card.email,        card.phone,   card.fax,     card.contact,   card.accountCode};
}

Result<SaveOutcome> outcomeOf(const Result<store::CustomerAdded>& added) {
    if (!added)
        return added.error();
    if (added->duplicate)
        return SaveOutcome{SaveOutcome::Kind::Duplicate, 0,
                           u"Bu Vergi Kimlik No daha önce kaydedilmiş..!"_s};
    return SaveOutcome{SaveOutcome::Kind::Saved, added->row, QString()};
}

} // namespace

Result<SaveOutcome> writeCustomer(store::Workbook& workbook, const CustomerCard& card) {
    if (Result<store::Worksheet*> found = workbook.requireSheet(store::DataSheet::Customers);
        !found)
        return found.error();
    if (card.taxNumber.isEmpty())
        return SaveOutcome{SaveOutcome::Kind::EmptyNumber, 0, emptyNumberMessage()};
    return outcomeOf(store::addCustomer(workbook, newCustomer(card)));
}

Result<SaveOutcome> saveCustomer(const QString& workbookPath, const CustomerCard& card) {
    if (card.taxNumber.isEmpty())
        return SaveOutcome{SaveOutcome::Kind::EmptyNumber, 0, emptyNumberMessage()};
    return outcomeOf(store::DataStore(workbookPath).addCustomer(newCustomer(card)));
}

} // namespace tavlix::customers
