#include "store/DataStore.h"

#include "store/DataWorkbook.h"
#include "store/XlsxWorkbook.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace tavlix::store {

namespace {

QString cellName(int row, int column) {
    return QString::fromStdString(detail::cellRef(row, column));
}

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

bool rowHasFormula(const Worksheet& sheet, int row, int lastColumn) {
    for (int col = 1; col <= lastColumn; ++col) {
        if (sheet.hasFormula(row, col))
            return true;
    }
    return false;
}

// Column G against a typed tax number: a text as it is, a number cell (typed in by hand) by its
// whole-number value.
bool sameTaxNumber(const Worksheet& sheet, int row, const QString& number) {
    const CellValue cell = sheet.value(row, CustomerCol::TaxNumber);
    if (cell.kind == CellValue::Kind::Number) {
        bool ok = false;
        const qulonglong typed = number.toULongLong(&ok);
        return ok && cell.number >= 0 && std::floor(cell.number) == cell.number &&
               cell.number == static_cast<double>(typed);
    }
    return sheet.text(row, CustomerCol::TaxNumber) == number;
}

// Rows 2 … down to the first row whose `tested` column is empty, each row's item text.
template <typename Item> QStringList readList(const Worksheet& sheet, int tested, Item item) {
    QStringList items;
    for (int row = 2; !sheet.text(row, tested).isEmpty(); ++row)
        items.append(item(row));
    return items;
}

} // namespace

QList<CompanyColumn> companyColumns(const Worksheet& prg, int lastCompanyColumn) {
    QList<CompanyColumn> columns;
    for (int col = PrgCol::FirstCompany; col <= lastCompanyColumn; ++col)
        columns.append({col, prg.text(PrgRow::UserName, col)});
    return columns;
}

std::optional<CustomerRow> findCustomer(const Worksheet& mData, const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    std::optional<CustomerRow> found;
    const int last = mData.lastRow();
    for (int row = 2; row <= last; ++row) {
        if (mData.text(row, CustomerCol::DisplayName) != name)
            continue;
        found = CustomerRow{name,
                            mData.text(row, CustomerCol::Address),
                            mData.text(row, CustomerCol::Country),
                            mData.text(row, CustomerCol::TaxOffice),
                            mData.text(row, CustomerCol::TaxNumber),
                            mData.text(row, CustomerCol::Email)};
    }
    return found;
}

std::optional<CustomerRow> findCustomerByTaxNumber(const Worksheet& mData,
                                                   const QString& taxNumber) {
    const QString wanted = taxNumber.simplified().remove(u' ');
    if (wanted.isEmpty())
        return std::nullopt;
    std::optional<CustomerRow> found;
    const int last = mData.lastRow();
    for (int row = 2; row <= last; ++row) {
        if (mData.text(row, CustomerCol::TaxNumber).simplified().remove(u' ') != wanted)
            continue;
        found = CustomerRow{
            mData.text(row, CustomerCol::DisplayName), mData.text(row, CustomerCol::Address),
            mData.text(row, CustomerCol::Country),     mData.text(row, CustomerCol::TaxOffice),
            mData.text(row, CustomerCol::TaxNumber),   mData.text(row, CustomerCol::Email)};
    }
    return found;
}

QStringList customerNames(const Worksheet& mData) {
    QStringList names;
    const int last = mData.lastRow();
    for (int row = 2; row <= last; ++row) {
        const QString name = mData.text(row, CustomerCol::DisplayName);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

QStringList taxEntries(const Worksheet& kod) {
    return readList(kod, KodCol::OtherTaxCode, [&](int r) {
        return kod.text(r, KodCol::OtherTaxCode) + u"-"_s +
               kod.text(r, KodCol::OtherTaxDescription);
    });
}

int freeCustomerRow(const Worksheet& mData) {
    const int last = mData.lastRow();
    int row = 2;
    while (row <= last) {
        bool taken = false;
        for (int col = 1; col <= CustomerCol::Last && !taken; ++col)
            taken = mData.isOccupied(row, col);
        if (!taken)
            break;
        ++row;
    }
    // Formulas that show nothing lie beyond lastRow() too.
    while (rowHasFormula(mData, row, CustomerCol::Last))
        ++row;
    return row;
}

int stockCardsEnd(const Worksheet& sData) {
    int row = 2;
    while (sData.isOccupied(row, StockCol::Name) || rowHasFormula(sData, row, StockCol::Last))
        ++row;
    return row;
}

Result<CustomerAdded> addCustomer(Workbook& workbook, const NewCustomer& c) {
    Result<Worksheet*> found = workbook.requireSheet(DataSheet::Customers);
    if (!found)
        return found.error();
    Worksheet& sheet = **found;
    const int freeRow = freeCustomerRow(sheet);
    const int last = sheet.lastRow();
    for (int row = 2; row <= last; ++row) {
        if (sameTaxNumber(sheet, row, c.taxNumber))
            return CustomerAdded{true, 0};
    }
    using namespace CustomerCol;
    sheet.writeText(freeRow, DisplayName, c.displayName);
    sheet.writeText(freeRow, Address, c.address);
    sheet.writeText(freeRow, Country, c.country);
    sheet.writeText(freeRow, TaxOffice, c.taxOffice);
    // The apostrophe keeps the number as text (leading zeros, no exponent).
    sheet.writeText(freeRow, TaxNumber, u"'"_s + c.taxNumber);
    sheet.writeText(freeRow, Email, c.email);
    sheet.writeText(freeRow, Phone, c.phone);
    sheet.writeText(freeRow, Fax, c.fax);
    sheet.writeText(freeRow, Contact, c.contact);
    sheet.writeText(freeRow, AccountingCode, c.accountCode);
    return CustomerAdded{false, freeRow};
}

// ---- DataStore ---------------------------------------------------------------------------------

DataStore::DataStore(QString path, PasswordStore* passwords)
    : m_path(std::move(path))
    , m_passwords(passwords) {}

Result<void> DataStore::create() const {
    return createDataWorkbook(m_path);
}

Result<StartUpData> DataStore::startUpData(int lastCompanyColumn) const {
    const auto opened = openWithSheets(m_path, {DataSheet::Programs, DataSheet::Codes});
    if (!opened)
        return opened.error();
    const Worksheet& prg = (*opened)[0];
    const Worksheet& codes = (*opened)[1];

    StartUpData data;
    data.singleMode =
        prg.text(PrgRow::ProgramMode, PrgCol::FirstCompany).compare(u"S"_s, Qt::CaseInsensitive) ==
        0;
    data.mainCompany = prg.text(PrgRow::UserName, PrgCol::FirstCompany);
    for (const CompanyColumn& c : companyColumns(prg, lastCompanyColumn)) {
        if (!c.name.isEmpty())
            data.companies << c.name;
    }
    data.invoiceTypes = readColumnUntilEmpty(codes, KodCol::InvoiceTypeName);
    data.countries = readColumnUntilEmpty(codes, KodCol::CountryName);
    data.currencies = readColumnUntilEmpty(codes, KodCol::CurrencyName);
    return data;
}

Result<CompanySelection> DataStore::companySelection(const QString& company,
                                                     int lastCompanyColumn) const {
    const auto opened = openWithSheets(m_path, {DataSheet::Programs, DataSheet::Customers});
    if (!opened)
        return opened.error();
    const Worksheet& prg = (*opened)[0];
    CompanySelection data;
    for (const CompanyColumn& c : companyColumns(prg, lastCompanyColumn)) {
        if (c.name == company) {
            data.settings = settingsOfColumn(prg, c.column);
            CompanySettings& s = *data.settings;
            using enum PasswordField;
            s.portalPassword = effectivePassword(m_passwords, company, EArchive, s.portalPassword);
            s.gmailPass = effectivePassword(m_passwords, company, Gmail, s.gmailPass);
            s.yandexPass = effectivePassword(m_passwords, company, Yandex, s.yandexPass);
            break;
        }
    }
    data.customers = customerNames((*opened)[1]);
    return data;
}

Result<std::optional<CustomerRow>> DataStore::customer(const QString& name) const {
    const auto opened = openWithSheets(m_path, {DataSheet::Customers});
    if (!opened)
        return opened.error();
    return findCustomer((*opened)[0], name);
}

Result<std::optional<CustomerRow>> DataStore::customerByTaxNumber(const QString& taxNumber) const {
    const auto opened = openWithSheets(m_path, {DataSheet::Customers});
    if (!opened)
        return opened.error();
    return findCustomerByTaxNumber((*opened)[0], taxNumber);
}

Result<QStringList> DataStore::taxEntries() const {
    const auto opened = openWithSheets(m_path, {DataSheet::Codes});
    if (!opened)
        return opened.error();
    return store::taxEntries((*opened)[0]);
}

Result<EditorTables> DataStore::editorTables(const QString& companyFilter,
                                             int lastCompanyColumn) const {
    const auto opened = openWithSheets(m_path, {DataSheet::Codes, DataSheet::Stock});
    if (!opened)
        return opened.error();
    const Worksheet& k = (*opened)[0];
    EditorTables data;
    using namespace KodCol;
    data.withholdingItems = readList(k, WithholdingDescription, [&](int r) {
        return k.text(r, WithholdingDescription) + u" % "_s + k.text(r, WithholdingRate);
    });
    data.otherTaxItems = readList(k, OtherTaxDescription, [&](int r) {
        return k.text(r, OtherTaxCode) + u"-"_s + k.text(r, OtherTaxDescription) + u"%"_s;
    });
    data.unitItems = readColumnUntilEmpty(k, UnitName);
    data.vatRateItems = readColumnUntilEmpty(k, KodCol::VatRate);
    data.specialBaseItems = readColumnUntilEmpty(k, SpecialBaseCode);

    if (companyFilter.isEmpty()) {
        auto settings = opened->book->requireSheet(DataSheet::Programs);
        if (!settings)
            return settings.error();
        data.companiesListed = true;
        for (const CompanyColumn& c : companyColumns(**settings, lastCompanyColumn))
            data.companies.append(c.name);
    }

    const Worksheet& s = (*opened)[1];
    const int end = stockCardsEnd(s);
    for (int row = 2; row < end; ++row) {
        const QString name = s.text(row, StockCol::Name);
        if (name.isEmpty())
            continue; // a formula that shows nothing
        if (!companyFilter.isEmpty()) {
            const QString filter = s.text(row, StockCol::FilterCode);
            if (filter != companyFilter && filter != QStringView(kSharedFilterCode))
                continue;
        }
        data.cardCodes.append(s.text(row, StockCol::StockCode));
        data.cardNames.append(name);
    }
    return data;
}

Result<std::optional<QStringList>> DataStore::stockCard(const QString& nameKey,
                                                        const QString& codeKey) const {
    const bool byName = !nameKey.isEmpty();
    const QString& key = byName ? nameKey : codeKey;
    const int column = byName ? StockCol::Name : StockCol::StockCode;

    const auto opened = openWithSheets(m_path, {DataSheet::Stock});
    if (!opened)
        return opened.error();
    const Worksheet& s = (*opened)[0];

    std::optional<QStringList> found;
    for (int row = 1; s.isOccupied(row, column);) {
        ++row;
        if (s.text(row, column) != key)
            continue;
        QStringList cells;
        for (int col = 1; col <= StockCol::Last; ++col)
            cells.append(s.text(row, col));
        found = cells;
    }
    return found;
}

Result<CustomerAdded> DataStore::addCustomer(const NewCustomer& customer) const {
    if (Result<void> free = checkNotOpenElsewhere(m_path); !free)
        return free.error();
    Result<std::unique_ptr<Workbook>> workbook = Workbook::open(m_path);
    if (!workbook)
        return workbook.error();
    Result<CustomerAdded> added = store::addCustomer(**workbook, customer);
    if (!added || added->duplicate)
        return added;
    if (Result<void> saved = (*workbook)->save(); !saved)
        return saved.error();
    return added;
}

Result<int> DataStore::addStockCard(const QStringList& cells) const {
    if (Result<void> free = checkNotOpenElsewhere(m_path); !free)
        return free.error();
    const auto opened = openWithSheets(m_path, {DataSheet::Stock});
    if (!opened)
        return opened.error();
    Worksheet& s = (*opened)[0];
    const int row = stockCardsEnd(s);
    for (int col = 1; col <= StockCol::Last; ++col)
        s.writeText(row, col, col <= cells.size() ? cells.at(col - 1) : QString());
    if (auto saved = opened->book->save(); !saved)
        return makeError(saved.error().code, u"Stok kartı kaydedilemedi: "_s + saved.message());
    return row;
}

Result<PasswordKept> DataStore::savePortalCredentials(const QString& company, int lastCompanyColumn,
                                                      const QString& user,
                                                      const QString& password) const {
    const QString notSaved = u"e-Arşiv giriş bilgileri kaydedilmedi: "_s;
    if (Result<void> free = checkNotOpenElsewhere(m_path); !free)
        return makeError(free.error().code, notSaved + free.message());
    const auto opened = openWithSheets(m_path, {DataSheet::Programs});
    if (!opened)
        return makeError(opened.error().code, notSaved + opened.message());
    Worksheet& prg = (*opened)[0];
    int column = 0;
    for (const CompanyColumn& c : companyColumns(prg, lastCompanyColumn)) {
        if (c.name == company) {
            column = c.column;
            break;
        }
    }
    if (column == 0 || company.isEmpty())
        return makeError(ErrorCode::NotFound,
                         notSaved + u"prgDATA sayfasında \"%1\" firması yok."_s.arg(company));
    // Nothing reaches the keyring that the workbook would then refuse.
    for (const int row : {int(PrgRow::EArchiveUser), int(PrgRow::EArchivePassword)}) {
        if (prg.hasFormula(row, column))
            return makeError(ErrorCode::InvalidInput,
                             notSaved + u"prgDATA!%1 hücresinde formül var; Tavlix bir formülün "
                                        u"üzerine yazmaz."_s.arg(cellName(row, column)));
    }
    PasswordKept kept = PasswordKept::Workbook;
    if (m_passwords && m_passwords->available() &&
        m_passwords->write(company, PasswordField::EArchive, password))
        kept = PasswordKept::Keyring;
    // The apostrophe keeps a numeric user code as text (no exponent, no lost leading zero).
    prg.writeText(PrgRow::EArchiveUser, column, u"'"_s + user);
    prg.writeText(PrgRow::EArchivePassword, column,
                  kept == PasswordKept::Keyring ? QString() : u"'"_s + password);
    if (Result<void> saved = opened->book->save(); !saved)
        return makeError(saved.error().code, notSaved + saved.message());
    return kept;
}

Result<int> DataStore::movePasswordsToKeyring(int lastCompanyColumn) const {
    const QString notMoved = u"Şifreler anahtarlığa taşınmadı: "_s;
    if (!m_passwords || !m_passwords->available())
        return makeError(ErrorCode::Unsupported,
                         notMoved + u"masaüstünde bir anahtarlık bulunamadı; şifreler DATA.xlsx "
                                    u"içinde kalıyor."_s);
    if (Result<void> free = checkNotOpenElsewhere(m_path); !free)
        return makeError(free.error().code, notMoved + free.message());
    const auto opened = openWithSheets(m_path, {DataSheet::Programs});
    if (!opened)
        return makeError(opened.error().code, notMoved + opened.message());
    Worksheet& prg = (*opened)[0];
    QStringList seen;
    int moved = 0;
    for (const CompanyColumn& c : companyColumns(prg, lastCompanyColumn)) {
        // Only the leftmost column of a name is read as that company.
        if (c.name.isEmpty() || seen.contains(c.name))
            continue;
        seen << c.name;
        for (const PasswordField field : kPasswordFields) {
            const int row = prgRowOf(field);
            const QString password = prg.text(row, c.column);
            if (password.isEmpty() || prg.hasFormula(row, c.column))
                continue;
            if (Result<void> stored = m_passwords->write(c.name, field, password); !stored)
                return makeError(stored.error().code, notMoved + stored.message());
            // Emptied only once the keyring gives it back.
            if (m_passwords->read(c.name, field) != password)
                return makeError(ErrorCode::Io,
                                 notMoved +
                                     u"anahtarlık şifreyi geri vermedi (%1, prgDATA!%2)."_s.arg(
                                         c.name, cellName(row, c.column)));
            prg.writeText(row, c.column, QString());
            ++moved;
        }
    }
    if (moved == 0)
        return 0;
    if (Result<void> saved = opened->book->save(); !saved)
        return makeError(saved.error().code, notMoved + saved.message());
    return moved;
}

} // namespace tavlix::store
