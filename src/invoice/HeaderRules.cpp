#include "invoice/HeaderRules.h"

#include "platform/TurkishText.h"
#include "store/DataStore.h"
#include "store/WorkbookStore.h"

using namespace Qt::StringLiterals;

namespace tavlix {

QList<QDate> invoiceDates(const QDate& today) {
    QList<QDate> dates;
    for (int k = 0; k < kInvoiceDateCount; ++k)
        dates.append(today.addDays(-k));
    return dates;
}

QList<QDate> dispatchDates(const QDate& today, int invoiceDatePosition) {
    QList<QDate> dates;
    if (invoiceDatePosition < 0)
        return dates;
    for (int k = invoiceDatePosition; k < kInvoiceDateCount; ++k)
        dates.append(today.addDays(-k));
    return dates;
}

QString dateText(const QDate& date) {
    return date.toString(u"dd/MM/yyyy"_s);
}

QString shortDateText(const QDate& date) {
    return date.toString(u"dd.MM.yyyy"_s);
}

QStringList filterCustomerNames(const QStringList& names, const QString& text) {
    // Turkish case rules: "ali" finds "ALİ", "ışık" finds "IŞIK".
    const QString wanted = turkishLower(text);
    QStringList out;
    for (const QString& name : names) {
        if (!name.isEmpty() && turkishLower(name).contains(wanted))
            out.append(name);
    }
    return out;
}

std::optional<CustomerRecord> findCustomer(const store::Worksheet& mData, const QString& name) {
    const std::optional<store::CustomerRow> c = store::findCustomer(mData, name);
    if (!c)
        return std::nullopt;
    return CustomerRecord{c->name, c->address, c->country, c->taxOffice, c->taxNumber, c->email};
}

QStringList customerNames(const store::Worksheet& mData) {
    return store::customerNames(mData);
}

} // namespace tavlix
