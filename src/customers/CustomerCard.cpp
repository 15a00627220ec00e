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
