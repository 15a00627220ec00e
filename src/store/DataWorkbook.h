// The layout of DATA.xlsx: sheet names, header texts, the rows and columns the program reads and
// writes, and the creation of a new, empty DATA.xlsx.
#pragma once

#include "platform/Result.h"
#include "store/WorkbookStore.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tavlix::store {

namespace DataSheet {
inline const QString Programs = QStringLiteral("prgDATA");
inline const QString Codes = QStringLiteral("kodDATA");
inline const QString Stock = QStringLiteral("sDATA");
inline const QString Customers = QStringLiteral("mDATA");
} // namespace DataSheet

// prgDATA: column A names the parameter, columns B… hold one company each.
namespace PrgCol {
enum : int {
    Label = 1,
    MainUser = 2,     // B: the main user's own company
    FirstCompany = 2, // company columns run from here …
    LastCompany = 21, // … to U by default
};
} // namespace PrgCol

namespace PrgRow {
enum : int {
    Header = 1,
    UserName = 2, // company name: the company's key and folder name
    UserPassword = 3,
    UserAddress = 4,
    UserEmail = 5,
    UserPhone = 6,
    EArchiveTaxNumber = 7,
    EArchiveUser = 8,
    EArchivePassword = 9,
    BookType = 10, // B/İ/S/Z/D
    Gmail = 11,
    GmailPassword = 12,
    YandexMail = 13,
    YandexPassword = 14,
    ProgramMode = 15, // "S" in B15: single company
    Footnote1 = 16,
    Footnote2 = 17,
    Footnote3 = 18,
    ShowDueDate = 19,
    ShowPaymentMethod = 20,
    VatBaseInFootnote = 21,
    AmountInWords = 22,
    SlowDownPercent = 23,
    Last = 23,
};
} // namespace PrgRow

// kodDATA: code tables side by side, rows from 2 down to the first empty cell.
namespace KodCol {
enum : int {
    WithholdingCode = 1,        // A
    WithholdingDescription = 2, // B
    WithholdingRate = 3,        // C
    WithholdingMethod = 4,      // D
    OtherTaxCode = 5,           // E
    OtherTaxDescription = 6,    // F
    InvoiceTypeCode = 7,        // G
    InvoiceTypeName = 8,        // H
    CountryCode = 9,            // I
    CountryName = 10,           // J
    CurrencyCode = 11,          // K
    CurrencyName = 12,          // L
    SpecialBaseCode = 13,       // M
    UnitCode = 14,              // N
    UnitName = 15,              // O
    VatCode = 16,               // P
    VatRate = 17,               // Q
    Headers = 18,               // R
};
} // namespace KodCol

// sDATA: one stock card a row.
namespace StockCol {
enum : int {
    StockCode = 1,          // A
    FilterCode = 2,         // B
    Name = 3,               // C
    Unit = 4,               // D
    UnitPrice = 5,          // E
    DiscountRate = 6,       // F
    VatRate = 7,            // G
    WithholdingCode = 8,    // H
    WithholdingRate = 9,    // I
    OtherTax1Name = 10,     // J
    OtherTax1Rate = 11,     // K
    OtherTax2Name = 12,     // L
    OtherTax2Rate = 13,     // M
    GtipCode = 14,          // N
    SpecialBaseReason = 15, // O
    SpecialBaseAmount = 16, // P
    Last = 16,
};
} // namespace StockCol

// mDATA: one customer a row from row 2; readers scan every used row.
namespace CustomerCol {
enum : int {
    Title = 1,           // A
    FirstName = 2,       // B
    DisplayName = 3,     // C: the key customers are listed and looked up by
    Address = 4,         // D
    Country = 5,         // E
    TaxOffice = 6,       // F: always filled by the program
    TaxNumber = 7,       // G: stored as text
    Email = 8,           // H
    Phone = 9,           // I
    Fax = 10,            // J
    Contact = 11,        // K
    AccountingCode = 12, // L
    Last = 12,
};
} // namespace CustomerCol

// Header row texts (row 1, from column A) and the prgDATA labels of rows 2 to 23.
const QStringList& prgHeaders();
const QStringList& prgLabels();
const QStringList& kodHeaders();
const QStringList& stockHeaders();
const QStringList& customerHeaders();

// The header row formatting given to each sheet when the workbook is created.
struct HeaderStyle {
    QString sheet;
    QStringList headers;
    Rgb fontColor;
    std::optional<Rgb> fillColor;
    std::optional<int> fillPaletteIndex;
};
const std::vector<HeaderStyle>& headerStyles(); // in creation order: prg, kod, s, m

// Writes a new DATA.xlsx at `path` (its folder is made when missing): sheets prgDATA, kodDATA,
// sDATA, mDATA each added before the active one, headers and labels, formatted header rows.
Result<void> createDataWorkbook(const QString& path);

// The texts of `column` from `firstRow` down to (not including) its first empty cell.
QStringList readColumnUntilEmpty(const Worksheet& sheet, int column, int firstRow = 2);

} // namespace tavlix::store
