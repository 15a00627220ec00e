// The plain parts of the received-invoice download: the months offered, the four date ranges a
// month is queried in, the companies and stored lists the download window shows, and the
// workbook the list is written to.
#pragma once

#include "platform/Result.h"
#include "store/PasswordStore.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavlix::store {
class Worksheet;
}

namespace tavlix::received {

// The Turkish month name of 1 … 12 ("Ocak" … "Aralık").
QString turkishMonthName(int month);

// The 25 months before `today`'s month, newest first, each as "yyyy mmmm " (trailing blank).
QStringList downloadPeriods(const QDate& today);

// A period text split as the query reads it: the first four characters are the year, the
// characters from the sixth up to the last one the month name.
struct QueryMonth {
    int year = 0;
    int month = 0;             // 1 … 12
    QString yearMonth() const; // "2022-11"
};
std::optional<QueryMonth> parsePeriod(const QString& period);

// One query of the site, both ends as "dd-MM-yyyy".
struct DateRange {
    QString from;
    QString to;
    bool operator==(const DateRange&) const = default;
};
// 01–08, 09–16, 17–24 and 25 to the month's real last day (29 February in a leap year).
QList<DateRange> monthRanges(const QueryMonth& month);

// The book-type letter of a Combo1 position: B, İ, S, Z, D; empty for no choice (-1).
QString bookTypeLetter(int comboIndex);

// The companies of prgDATA columns 2 … 11 (row 2 not empty), in column order: all of them when
// `bookType` is nullopt, else those whose row 10 equals it (an empty letter: an empty row 10).
Result<QStringList> downloadCompanies(const QString& dataPath,
                                      const std::optional<QString>& bookType = std::nullopt);

// The tax-office login of a company: rows 8 and 9 of the leftmost column 2 … lastCompanyColumn
// whose row 2 equals the company. Fails with a Turkish message when there is no such column.
struct IvdCredentials {
    QString userCode;
    QString password;
};
// The password is the keyring's when it holds one for the company (`passwords` nullptr: the
// workbook's only).
Result<IvdCredentials>
readIvdCredentials(const QString& dataPath, const QString& company, int lastCompanyColumn,
                   store::PasswordStore* passwords = &store::desktopPasswords());

// "<program>/Firmalarım/<company>/Alış Faturaları"; nullopt for an unsafe company name.
std::optional<QString> purchaseFolder(const QString& programDir, const QString& company);

// The "*.xlsx" files (any case) of the company's purchase folder, by name; empty when the folder
// or the company name is not usable.
QStringList purchaseWorkbooks(const QString& programDir, const QString& company);

// "<purchase folder>/<company> <yyyy-MM> eArşivFat.xlsx"; nullopt for an unsafe company name.
std::optional<QString> receivedListPath(const QString& programDir, const QString& company,
                                        const QueryMonth& month);

// The list saved when the site counted rows it did not show: " (eksik)" before ".xlsx".
QString incompleteListPath(const QString& listPath);

// The eleven column headings A … K of the received-invoice list.
const QStringList& receivedInvoiceHeadings();

// Writes the list: headings bold, black, fill colour index 40; then one row per invoice, cells
// A … J as text exactly as the site showed them, K as the site's text. An incomplete list
// (`missing` > 0) records how many invoices it lacks beside the table, in M1 and M2. The save is
// atomic: an older list at `path` is replaced only by a complete new one, and a failure says why.
Result<void> writeReceivedInvoices(const QString& path, const QList<QStringList>& rows,
                                   int missing = 0);

// The invoices an incomplete list lacks, as writeReceivedInvoices recorded them; -1 when the
// list does not say (a complete list, or one saved before the count was kept).
int readMissingCount(const store::Worksheet& sheet);

} // namespace tavlix::received
