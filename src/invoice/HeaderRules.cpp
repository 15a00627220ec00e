#include "invoice/HeaderRules.h"

#include "platform/TurkishText.h"
#include "store/WorkbookStore.h"

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {
constexpr int kNameColumn = 3; // C
} // namespace

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
    if (name.isEmpty())
        return std::nullopt;
    std::optional<CustomerRecord> found;
    const int last = mData.lastRow();
    for (int row = 2; row <= last; ++row) {
        if (mData.text(row, kNameColumn) != name)
            continue;
        CustomerRecord c;
        c.name = name;
        c.address = mData.text(row, 4);
        c.country = mData.text(row, 5);
        c.taxOffice = mData.text(row, 6);
        c.taxNumber = mData.text(row, 7);
        c.email = mData.text(row, 8);
        found = c;
    }
    return found;
}

QStringList customerNames(const store::Worksheet& mData) {
    QStringList names;
    const int last = mData.lastRow();
    for (int row = 2; row <= last; ++row) {
        const QString name = mData.text(row, kNameColumn);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

} // namespace tavlix
