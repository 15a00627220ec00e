#include "app/CompanyData.h"

namespace tavlix {

Result<CompanySelectionData> readCompanySelection(const QString& dataPath, const QString& company,
                                                  int lastCompanyColumn) {
    return store::DataStore(dataPath).companySelection(company, lastCompanyColumn);
}

Result<StartUpData> readStartUpData(const QString& dataPath, int lastCompanyColumn) {
    return store::DataStore(dataPath).startUpData(lastCompanyColumn);
}

Result<std::optional<CustomerFields>> lookUpCustomer(const QString& dataPath, const QString& name) {
    auto found = store::DataStore(dataPath).customer(name);
    if (!found)
        return found.error();
    if (!found->has_value())
        return std::optional<CustomerFields>();
    const store::CustomerRow& c = **found;
    return std::optional<CustomerFields>(
        CustomerFields{c.name, c.address, c.country, c.taxOffice, c.taxNumber, c.email});
}

} // namespace tavlix
