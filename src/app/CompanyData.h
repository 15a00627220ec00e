// What start-up, company selection and the customer box read from DATA.xlsx. Each call opens the
// workbook, reads and lets it go; errors come back with a Turkish message.
#pragma once

#include "invoice/InvoiceHost.h"
#include "platform/Result.h"
#include "store/CompanySettings.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tavlix {

// What selecting a company reads from DATA.xlsx: the settings of the leftmost company column
// (2 … lastCompanyColumn) whose row 2 equals `company` exactly (none when no column matches), and
// the names of every customer card of mDATA in row order.
struct CompanySelectionData {
    std::optional<CompanySettings> settings;
    QStringList customers;
};

Result<CompanySelectionData> readCompanySelection(const QString& dataPath, const QString& company,
                                                  int lastCompanyColumn);

// What start-up reads from DATA.xlsx.
struct StartUpData {
    bool singleMode = false;  // prgDATA B15 is "S" in either case
    QString mainCompany;      // prgDATA B2
    QStringList companies;    // row 2 of columns 2 … lastCompanyColumn, empty cells skipped
    QStringList invoiceTypes; // kodDATA H, L, J down to each column's first empty cell
    QStringList currencies;
    QStringList countries;
};

Result<StartUpData> readStartUpData(const QString& dataPath, int lastCompanyColumn);

// The folder of the company named in the company box, <program>/Firmalarım/<company>, through
// store::safeCompanyFolder. An unsafe name (a typed "../x") is refused with a message naming it;
// an empty name is refused with no message.
Result<QString> companyFolderFor(const QString& company);

// The customer card named `name` (mDATA column C); the last matching row wins. nullopt when no
// card has that name.
Result<std::optional<CustomerFields>> lookUpCustomer(const QString& dataPath, const QString& name);

} // namespace tavlix
