#include "lines/StockCards.h"

#include "store/DataWorkbook.h"
#include "store/WorkbookStore.h"

using namespace Qt::StringLiterals;

namespace tavlix::lines {

namespace {

using store::KodCol::OtherTaxCode;
using store::KodCol::OtherTaxDescription;
using store::KodCol::SpecialBaseCode;
using store::KodCol::UnitName;
using store::KodCol::VatRate;
using store::KodCol::WithholdingDescription;
using store::KodCol::WithholdingRate;

// Rows 2 … down to the first row whose `tested` column is empty, each row's item text.
template <typename Item>
QStringList readList(const store::Worksheet& sheet, int tested, Item item) {
    QStringList items;
    for (int row = 2; !sheet.text(row, tested).isEmpty(); ++row)
        items.append(item(row));
    return items;
}

} // namespace

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
    const auto opened =
        store::openWithSheets(workbookPath, {store::DataSheet::Codes, store::DataSheet::Stock});
    if (!opened)
        return opened.error();
    const store::Worksheet& k = (*opened)[0];
    EditorData data;
    data.withholdingItems = readList(k, WithholdingDescription, [&](int r) {
        return k.text(r, WithholdingDescription) + u" % "_s + k.text(r, WithholdingRate);
    });
    data.otherTaxItems = readList(k, OtherTaxDescription, [&](int r) {
        return k.text(r, OtherTaxCode) + u"-"_s + k.text(r, OtherTaxDescription) + u"%"_s;
    });
    data.unitItems = store::readColumnUntilEmpty(k, UnitName);
    data.vatRateItems = store::readColumnUntilEmpty(k, VatRate);
    data.specialBaseItems = store::readColumnUntilEmpty(k, SpecialBaseCode);

    if (companyFilter.isEmpty()) {
        auto settings = opened->book->requireSheet(store::DataSheet::Programs);
        if (!settings)
            return settings.error();
        data.companiesListed = true;
        for (int col = store::PrgCol::FirstCompany; col <= lastCompanyColumn; ++col)
            data.companies.append(settings.value()->text(store::PrgRow::UserName, col));
    }

    const store::Worksheet& s = (*opened)[1];
    for (int row = 2;; ++row) {
        const QString name = s.text(row, store::StockCol::Name);
        if (name.isEmpty())
            break;
        if (!companyFilter.isEmpty()) {
            const QString filter = s.text(row, store::StockCol::FilterCode);
            if (filter != companyFilter && filter != QStringView(kSharedFilterCode))
                continue;
        }
        data.cardCodes.append(s.text(row, store::StockCol::StockCode));
        data.cardNames.append(name);
    }
    return data;
}

Result<std::optional<StockCard>> findStockCard(const QString& workbookPath, const QString& nameKey,
                                               const QString& codeKey) {
    const bool byName = !nameKey.isEmpty();
    const QString& key = byName ? nameKey : codeKey;
    const int column = byName ? store::StockCol::Name : store::StockCol::StockCode;

    const auto opened = store::openWithSheets(workbookPath, {store::DataSheet::Stock});
    if (!opened)
        return opened.error();
    const store::Worksheet& s = (*opened)[0];

    std::optional<StockCard> found;
    for (int row = 1; !s.text(row, column).isEmpty();) {
        ++row;
        if (s.text(row, column) != key)
            continue;
        QStringList cells;
        for (int col = 1; col <= StockCard::kColumns; ++col)
            cells.append(s.text(row, col));
        found = StockCard::fromCells(cells);
    }
    return found;
}

Result<int> saveStockCard(const QString& workbookPath, const StockCard& card) {
    const auto opened = store::openWithSheets(workbookPath, {store::DataSheet::Stock});
    if (!opened)
        return opened.error();
    store::Worksheet& s = (*opened)[0];

    int row = 2;
    while (!s.text(row, store::StockCol::Name).isEmpty())
        ++row;
    const QStringList cells = card.cells();
    for (int col = 1; col <= StockCard::kColumns; ++col)
        s.writeText(row, col, cells.at(col - 1));
    if (auto saved = opened->book->save(); !saved)
        return makeError(saved.error().code, u"Stok kartı kaydedilemedi: "_s + saved.message());
    return row;
}

} // namespace tavlix::lines
