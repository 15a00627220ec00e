#include "app/CompanyData.h"

#include "invoice/HeaderRules.h"

#include "store/DataWorkbook.h"
#include "store/WorkbookStore.h"

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

using namespace store;

CompanySettings settingsOfColumn(const store::Worksheet& prg, int col) {
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
    auto opened = store::Workbook::open(dataPath);
    if (!opened)
        return opened.error();
    store::Workbook& book = *opened.value();
    auto prg = book.requireSheet(store::DataSheet::Programs);
    if (!prg)
        return prg.error();
    auto customers = book.requireSheet(store::DataSheet::Customers);
    if (!customers)
        return customers.error();

    CompanySelectionData data;
    for (int col = PrgCol::FirstCompany; col <= lastCompanyColumn; ++col) {
        if ((*prg)->text(PrgRow::UserName, col) == company) {
            data.settings = settingsOfColumn(**prg, col);
            break;
        }
    }
    data.customers = customerNames(**customers);
    return data;
}

Result<StartUpData> readStartUpData(const QString& dataPath, int lastCompanyColumn) {
    auto opened = store::Workbook::open(dataPath);
    if (!opened)
        return opened.error();
    store::Workbook& book = *opened.value();
    auto prg = book.requireSheet(store::DataSheet::Programs);
    if (!prg)
        return prg.error();
    auto codes = book.requireSheet(store::DataSheet::Codes);
    if (!codes)
        return codes.error();

    StartUpData data;
    data.singleMode = (*prg)
                          ->text(PrgRow::ProgramMode, PrgCol::FirstCompany)
                          .compare(u"S"_s, Qt::CaseInsensitive) == 0;
    data.mainCompany = (*prg)->text(PrgRow::UserName, PrgCol::FirstCompany);
    for (int col = PrgCol::FirstCompany; col <= lastCompanyColumn; ++col) {
        const QString name = (*prg)->text(PrgRow::UserName, col);
        if (!name.isEmpty())
            data.companies << name;
    }
    data.invoiceTypes = store::readColumnUntilEmpty(**codes, KodCol::InvoiceTypeName);
    data.countries = store::readColumnUntilEmpty(**codes, KodCol::CountryName);
    data.currencies = store::readColumnUntilEmpty(**codes, KodCol::CurrencyName);
    return data;
}

Result<std::optional<CustomerFields>> lookUpCustomer(const QString& dataPath, const QString& name) {
    auto opened = store::Workbook::open(dataPath);
    if (!opened)
        return opened.error();
    auto customers = opened.value()->requireSheet(store::DataSheet::Customers);
    if (!customers)
        return customers.error();
    return findCustomer(**customers, name);
}

} // namespace tavlix
