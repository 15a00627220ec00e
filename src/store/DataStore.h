// DATA.xlsx as one service: every read and write of the program's workbook goes through here, over
// the sheet layouts of DataWorkbook.h. Users edit the same file in spreadsheet programs, so the
// rules for that live here too: a row with a formula is taken, a save while another program holds
// the file is refused (WorkbookStore refuses writes over formulas and the locked save itself).
#pragma once

#include "platform/Result.h"
#include "store/CompanySettings.h"
#include "store/PasswordStore.h"
#include "store/WorkbookStore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavlix::store {

// One company column of prgDATA: its number and the company name in row 2 ("" when empty).
struct CompanyColumn {
    int column = 0;
    QString name;
};

// What start-up reads.
struct StartUpData {
    bool singleMode = false;  // prgDATA B15 is "S" in either case
    QString mainCompany;      // prgDATA B2
    QStringList companies;    // row 2 of columns 2 … lastCompanyColumn, empty cells skipped
    QStringList invoiceTypes; // kodDATA H, L, J down to each column's first empty cell
    QStringList currencies;
    QStringList countries;
};

// What selecting a company reads: the settings of the leftmost company column whose row 2 equals
// the company exactly (none when no column matches), and every customer name of mDATA.
struct CompanySelection {
    std::optional<CompanySettings> settings;
    QStringList customers;
};

// A customer card as the invoice header takes it: mDATA columns C to H.
struct CustomerRow {
    QString name;      // C
    QString address;   // D
    QString country;   // E
    QString taxOffice; // F
    QString taxNumber; // G
    QString email;     // H
};

// A new customer card: the texts of columns C to L.
struct NewCustomer {
    QString displayName;
    QString address;
    QString country;
    QString taxOffice;
    QString taxNumber; // stored as text
    QString email;
    QString phone;
    QString fax;
    QString contact;
    QString accountCode;
};

struct CustomerAdded {
    bool duplicate = false; // the tax number is already in column G; nothing was written
    int row = 0;            // the row written
};

// What the line editor loads when it opens.
struct EditorTables {
    QStringList withholdingItems; // Combo3: description " % " rate
    QStringList otherTaxItems;    // Combo4 and Combo5: code "-" description "%"
    QStringList unitItems;        // Combo1
    QStringList vatRateItems;     // Combo2
    QStringList specialBaseItems; // Combo10
    QStringList cardCodes;        // Combo6, one per listed card
    QStringList cardNames;        // Combo8, one per listed card
    bool companiesListed = false; // true when the filter was empty
    QStringList companies;        // the filter box items then: prgDATA row 2, columns 2 … last
};

// The filter code of the stock cards offered to every company.
inline constexpr char16_t kSharedFilterCode[] = u"Firmalarım";

// Where a saved password went.
enum class PasswordKept { Keyring, Workbook };

class DataStore {
public:
    // Passwords are read from and written to `passwords` first (nullptr: the workbook only).
    explicit DataStore(QString path, PasswordStore* passwords = &desktopPasswords());
    const QString& path() const { return m_path; }

    // A new, empty DATA.xlsx (see createDataWorkbook).
    Result<void> create() const;

    Result<StartUpData> startUpData(int lastCompanyColumn) const;
    Result<CompanySelection> companySelection(const QString& company, int lastCompanyColumn) const;
    // The card named `name` (column C, exactly); the last matching row wins.
    Result<std::optional<CustomerRow>> customer(const QString& name) const;
    // The card of that tax number (column G, blanks ignored); the last matching row wins.
    Result<std::optional<CustomerRow>> customerByTaxNumber(const QString& taxNumber) const;
    // kodDATA: code (E) + "-" + description (F), from row 2 while the code is not empty.
    Result<QStringList> taxEntries() const;
    // The code-table lists and the cards of `companyFilter` (its own and the shared ones; every
    // card and the company names when the filter is empty).
    Result<EditorTables> editorTables(const QString& companyFilter, int lastCompanyColumn) const;
    // The 16 cells of the stock card whose name equals `nameKey`, or when that is empty whose
    // stock code equals `codeKey`; the last of several matches. The scan runs down the key column
    // to its first free cell, so an empty key matches the free row after the cards.
    Result<std::optional<QStringList>> stockCard(const QString& nameKey,
                                                 const QString& codeKey) const;

    // Writes the card into the first free row of mDATA and saves, unless its tax number is in
    // column G already.
    Result<CustomerAdded> addCustomer(const NewCustomer& customer) const;
    // Writes the 16 cells into the row after the cards and saves; returns the row.
    Result<int> addStockCard(const QStringList& cells) const;
    // Writes the e-Archive user code (row 8, as text) into the column of `company` (the
    // leftmost whose row 2 equals it) and the password into the keyring, emptying row 9; without
    // a keyring the password goes into row 9 as text. Refused, writing nothing, while another
    // program holds the file, when either cell holds a formula, or with no such column.
    Result<PasswordKept> savePortalCredentials(const QString& company, int lastCompanyColumn,
                                               const QString& user, const QString& password) const;
    // Moves every password of prgDATA (rows 3, 9, 12, 14 of each named company column, the
    // leftmost of equal names) into the keyring and empties those cells; formula cells stay.
    // Returns how many moved. Nothing changes in the workbook unless all were stored.
    Result<int> movePasswordsToKeyring(int lastCompanyColumn) const;

private:
    QString m_path;
    PasswordStore* m_passwords;
};

// The sheet rules over a workbook that is already open.

// Columns 2 … lastCompanyColumn of prgDATA with their row-2 names: the one company-name scan.
QList<CompanyColumn> companyColumns(const Worksheet& prg, int lastCompanyColumn);
std::optional<CustomerRow> findCustomer(const Worksheet& mData, const QString& name);
std::optional<CustomerRow> findCustomerByTaxNumber(const Worksheet& mData,
                                                   const QString& taxNumber);
// Every non-empty column-C name from row 2 down, in sheet order.
QStringList customerNames(const Worksheet& mData);
QStringList taxEntries(const Worksheet& kod);
// The first row from 2 with no value and no formula in columns A to L: a row that only shows
// nothing (a formula filled down) is a customer row all the same.
int freeCustomerRow(const Worksheet& mData);
// The row after the stock cards: from row 2 down, the first whose name is free and which holds
// no formula in the card's columns.
int stockCardsEnd(const Worksheet& sData);
Result<CustomerAdded> addCustomer(Workbook& workbook, const NewCustomer& customer);

} // namespace tavlix::store
