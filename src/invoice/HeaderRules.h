// Rules of the invoice header that need no window: the date lists, date texts, the customer
// search filter and the customer-card lookup in the sheet mDATA.
#pragma once

#include "invoice/InvoiceHost.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavlix {

namespace store {
class Worksheet;
}

// Number of entries of the invoice-date list Combo5: today and the seven days before it.
constexpr int kInvoiceDateCount = 8;

// Today and the seven days before it, newest first (position k is today − k).
QList<QDate> invoiceDates(const QDate& today);
// The dispatch dates offered once the invoice date at position k is chosen: today − k down to
// today − 7. Empty when k is not a position of the invoice-date list.
QList<QDate> dispatchDates(const QDate& today, int invoiceDatePosition);

// "dd/MM/yyyy" with literal slashes (Text8, Text10).
QString dateText(const QDate& date);
// The short date text a date list shows: "dd.MM.yyyy".
QString shortDateText(const QDate& date);

// The names, in list order, that contain `text` compared without regard to case by the Turkish
// rules (i/İ, ı/I); empty names are never taken.
QStringList filterCustomerNames(const QStringList& names, const QString& text);

// A customer card as the header shows it: name (C), address (D), country (E), tax office (F),
// tax number (G), e-mail (H).
using CustomerRecord = CustomerFields;

// The card whose column C equals `name` exactly, scanning rows 2 to lastRow(); the last matching
// row wins. nullopt when no row matches (or the name is empty).
std::optional<CustomerRecord> findCustomer(const store::Worksheet& mData, const QString& name);

// Every non-empty column-C name from row 2 to lastRow(), in sheet order.
QStringList customerNames(const store::Worksheet& mData);

} // namespace tavlix
