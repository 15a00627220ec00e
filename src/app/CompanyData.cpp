#include "app/CompanyData.h"

#include "invoice/HeaderRules.h"
#include "platform/ProgramFolder.h"

#include "store/DataWorkbook.h"
#include "store/FolderTree.h"
#include "store/WorkbookStore.h"

using namespace Qt::StringLiterals;

namespace tavlix {

using namespace store;

namespace {

CompanySettings settingsOfColumn(const Worksheet& prg, int col) {
    CompanySettings s;
    s.portalTaxNumber = prg.text(PrgRow::EArchiveTaxNumber, col);
    s.portalUser = prg.text(PrgRow::EArchiveUser, col);
    s.portalPassword = prg.text(PrgRow::EArchivePassword, col);
    s.bookKeepingType = prg.text(PrgRow::BookType, col);
    s.gmailUser = prg.text(PrgRow::Gmail, col);
    s.gmailPass = prg.text(PrgRow::GmailPassword, col);
    s.yandexUser = prg.text(PrgRow::YandexMail, col);
    s.yandexPass = prg.text(PrgRow::YandexPassword, col);
    s.userNot1 = prg.text(PrgRow::Footnote1, col);
    s.userNot2 = prg.text(PrgRow::Footnote2, col);
    s.userNot3 = prg.text(PrgRow::Footnote3, col);
    return s;
}

} // namespace

Result<CompanySelectionData> readCompanySelection(const QString& dataPath, const QString& company,
                                                  int lastCompanyColumn) {
    const auto opened = openWithSheets(dataPath, {DataSheet::Programs, DataSheet::Customers});
    if (!opened)
        return opened.error();
    const Worksheet& prg = (*opened)[0];

    CompanySelectionData data;
    for (int col = PrgCol::FirstCompany; col <= lastCompanyColumn; ++col) {
        if (prg.text(PrgRow::UserName, col) == company) {
            data.settings = settingsOfColumn(prg, col);
            break;
        }
    }
    data.customers = customerNames((*opened)[1]);
    return data;
}

Result<StartUpData> readStartUpData(const QString& dataPath, int lastCompanyColumn) {
    const auto opened = openWithSheets(dataPath, {DataSheet::Programs, DataSheet::Codes});
    if (!opened)
        return opened.error();
    const Worksheet& prg = (*opened)[0];
    const Worksheet& codes = (*opened)[1];

    StartUpData data;
    data.singleMode =
        prg.text(PrgRow::ProgramMode, PrgCol::FirstCompany).compare(u"S"_s, Qt::CaseInsensitive) ==
        0;
    data.mainCompany = prg.text(PrgRow::UserName, PrgCol::FirstCompany);
    for (int col = PrgCol::FirstCompany; col <= lastCompanyColumn; ++col) {
        const QString name = prg.text(PrgRow::UserName, col);
        if (!name.isEmpty())
            data.companies << name;
    }
    data.invoiceTypes = readColumnUntilEmpty(codes, KodCol::InvoiceTypeName);
    data.countries = readColumnUntilEmpty(codes, KodCol::CountryName);
    data.currencies = readColumnUntilEmpty(codes, KodCol::CurrencyName);
    return data;
}

Result<std::optional<CustomerFields>> lookUpCustomer(const QString& dataPath, const QString& name) {
    const auto opened = openWithSheets(dataPath, {DataSheet::Customers});
    if (!opened)
        return opened.error();
    return findCustomer((*opened)[0], name);
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
