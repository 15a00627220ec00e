#include "lines/StockCards.h"

using namespace Qt::StringLiterals;

namespace tavlix::lines {

QStringList StockCard::cells() const {
    return {stockCode,     filterCode,      name,
            unit,          unitPrice,       discountRate,
            vatRate,       withholdingCode, withholdingRate,
            otherTax1Code, otherTax1Rate,   otherTax2Code,
            otherTax2Rate, gtipCode,        specialBaseReason,
            specialBase};
}

StockCard StockCard::fromCells(const QStringList& c) {
    const auto at = [&](int i) { return i < c.size() ? c.at(i) : QString(); };
    return {at(0), at(1), at(2),  at(3),  at(4),  at(5),  at(6),  at(7),
            at(8), at(9), at(10), at(11), at(12), at(13), at(14), at(15)};
}

StockCard StockCard::fromFields(const LineFields& f) {
    return {f.stockCode,     f.filterCode,      f.name,
            f.unit,          f.unitPrice,       f.discountRate,
            f.vatRate,       f.withholdingCode, f.withholdingRate,
            f.otherTax1Code, f.otherTax1Rate,   f.otherTax2Code,
            f.otherTax2Rate, f.gtipCode,        f.specialBaseReason,
            f.specialBase};
}

void StockCard::copyTo(LineFields& f) const {
    f.stockCode = stockCode;
    f.filterCode = filterCode;
    f.name = name;
    f.unit = unit;
    f.unitPrice = unitPrice;
    f.discountRate = discountRate;
    f.vatRate = vatRate;
    f.withholdingCode = withholdingCode;
    f.withholdingRate = withholdingRate;
    f.otherTax1Code = otherTax1Code;
    f.otherTax1Rate = otherTax1Rate;
    f.otherTax2Code = otherTax2Code;
    f.otherTax2Rate = otherTax2Rate;
    f.gtipCode = gtipCode;
    f.specialBaseReason = specialBaseReason;
    f.specialBase = specialBase;
}

Result<EditorData> loadEditorData(const QString& workbookPath, const QString& companyFilter,
                                  int lastCompanyColumn) {
    return store::DataStore(workbookPath).editorTables(companyFilter, lastCompanyColumn);
}

Result<std::optional<StockCard>> findStockCard(const QString& workbookPath, const QString& nameKey,
                                               const QString& codeKey) {
    auto found = store::DataStore(workbookPath).stockCard(nameKey, codeKey);
    if (!found)
        return found.error();
    if (!found->has_value())
        return std::optional<StockCard>();
    return std::optional<StockCard>(StockCard::fromCells(**found));
}

Result<int> saveStockCard(const QString& workbookPath, const StockCard& card) {
    return store::DataStore(workbookPath).addStockCard(card.cells());
}

} // namespace tavlix::lines
