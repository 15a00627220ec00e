#include "app/CompanyData.h"

#include "invoice/HeaderRules.h"
#include "platform/ProgramFolder.h"

#include "store/DataWorkbook.h"
#include "store/FolderTree.h"
#include "store/WorkbookStore.h"

using namespace Qt::StringLiterals;

namespace tavlix {

Result<CompanySelectionData> readCompanySelection(const QString& dataPath, const QString& company,
                                                  int lastCompanyColumn) {
    return store::DataStore(dataPath).companySelection(company, lastCompanyColumn);
}

Result<StartUpData> readStartUpData(const QString& dataPath, int lastCompanyColumn) {
    return store::DataStore(dataPath).startUpData(lastCompanyColumn);
}

namespace {

Result<std::optional<CustomerFields>>
customerFields(Result<std::optional<store::CustomerRow>> found) {
    if (!found)
        return found.error();
    if (!found->has_value())
        return std::optional<CustomerFields>();
    const store::CustomerRow& c = **found;
    return std::optional<CustomerFields>(
        CustomerFields{c.name, c.address, c.country, c.taxOffice, c.taxNumber, c.email});
}

} // namespace

Result<std::optional<CustomerFields>> lookUpCustomer(const QString& dataPath, const QString& name) {
    return customerFields(store::DataStore(dataPath).customer(name));
}

Result<std::optional<CustomerFields>> lookUpCustomerByTaxNumber(const QString& dataPath,
                                                                const QString& taxNumber) {
    return customerFields(store::DataStore(dataPath).customerByTaxNumber(taxNumber));
}

Result<QString> companyFolderFor(const QString& company) {
    if (std::optional<QString> folder = store::safeCompanyFolder(programDir(), company))
        return *folder;
    if (company.isEmpty())
        return Error{ErrorCode::InvalidInput, QString()};
    return Error{ErrorCode::InvalidInput,
                 u"\"%1\" firma adı klasör adı olarak kullanılamaz; bu firmanın klasörü "
                 u"açılmadı."_s.arg(company)};
}

} // namespace tavlix
