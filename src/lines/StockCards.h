// Stock cards (rows of sDATA) and the code-table lists of the line editor (kodDATA), read and
// written through the DATA.xlsx service (store::DataStore).
#pragma once

#include "lines/LineComputation.h"
#include "platform/Result.h"
#include "store/DataStore.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tavlix::lines {

// One row of sDATA: its 16 columns in order, every cell as text.
struct StockCard {
    QString stockCode;         // 1  ÜRÜN/HİZ.STOK KODU
    QString filterCode;        // 2  FİLİTRE KODU
    QString name;              // 3  ÜRÜN/HİZMET ADI*
    QString unit;              // 4  BİRİM
    QString unitPrice;         // 5  BİRİM FİYAT
    QString discountRate;      // 6  İSK ORANI
    QString vatRate;           // 7  KDV ORANI
    QString withholdingCode;   // 8  KDV TEVK.KODU
    QString withholdingRate;   // 9  TEVK. ORANI
    QString otherTax1Code;     // 10 DİĞER VERGİ ADI1
    QString otherTax1Rate;     // 11 DİĞER VERGİ ORANI1
    QString otherTax2Code;     // 12 DİĞER VERGİ ADI2
    QString otherTax2Rate;     // 13 DİĞER VERGİ ORANI2
    QString gtipCode;          // 14 GTIP KODU
    QString specialBaseReason; // 15 ÖZEL MAT. NEDENİ
    QString specialBase;       // 16 ÖZEL MAT. TUTARI

    static constexpr int kColumns = 16;
    QStringList cells() const;
    static StockCard fromCells(const QStringList& cells); // missing cells are empty

    // The editor fields a card maps to, and back (the quantity is not part of a card).
    static StockCard fromFields(const LineFields& fields);
    void copyTo(LineFields& fields) const;
};

using store::kSharedFilterCode;

// What the line editor loads when it opens.
using EditorData = store::EditorTables;

// Reads the code-table lists and the cards of `companyFilter` (its own and the shared ones; every
// card when the filter is empty, together with the company names).
Result<EditorData> loadEditorData(const QString& workbookPath, const QString& companyFilter,
                                  int lastCompanyColumn);

// "SEÇ": the card whose name equals `nameKey`, or when that is empty whose stock code equals
// `codeKey`; the last of several matches. The scan runs down the search column to its first empty
// cell, so an empty key matches the empty row after the cards (a card of empty cells).
// std::nullopt when nothing matches.
Result<std::optional<StockCard>> findStockCard(const QString& workbookPath, const QString& nameKey,
                                               const QString& codeKey);

// Stores the card in the first row from 2 down whose name is empty and saves the workbook
// atomically. Returns the row written.
Result<int> saveStockCard(const QString& workbookPath, const StockCard& card);

} // namespace tavlix::lines
