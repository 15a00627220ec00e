// What start-up, company selection and the customer box read from DATA.xlsx, through the
// workbook service (store::DataStore); errors come back with a Turkish message.
#pragma once

#include "invoice/InvoiceHost.h"
#include "platform/Result.h"
#include "store/DataStore.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tavlix {

// What selecting a company reads from DATA.xlsx (see store::CompanySelection).
using CompanySelectionData = store::CompanySelection;

Result<CompanySelectionData> readCompanySelection(const QString& dataPath, const QString& company,
                                                  int lastCompanyColumn);

// What start-up reads from DATA.xlsx.
using StartUpData = store::StartUpData;

Result<StartUpData> readStartUpData(const QString& dataPath, int lastCompanyColumn);

// The folder of the company named in the company box, <program>/Firmalarım/<company>, through
// store::safeCompanyFolder. An unsafe name (a typed "../x") is refused with a message naming it;
// an empty name is refused with no message.
Result<QString> companyFolderFor(const QString& company);

// The customer card named `name` (mDATA column C); the last matching row wins. nullopt when no
// card has that name.
Result<std::optional<CustomerFields>> lookUpCustomer(const QString& dataPath, const QString& name);
// The card whose tax number (mDATA column G) is `taxNumber`; nullopt when none has it.
Result<std::optional<CustomerFields>> lookUpCustomerByTaxNumber(const QString& dataPath,
                                                                const QString& taxNumber);

} // namespace tavlix
