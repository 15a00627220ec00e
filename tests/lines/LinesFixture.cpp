#include "LinesFixture.h"

#include "invoice/InvoiceType.h"
#include "invoice/Money.h"
#include "store/DataWorkbook.h"
#include "store/WorkbookStore.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {

FakeHost::FakeHost(const QString& workbookPath, const QString& type)
    : typeText(type)
    , m_path(workbookPath) {
    QList<ColumnSpec> columns = baseLineColumns();
    columns.append(typeLineColumns(invoiceTypeFromText(type)));
    model.setColumns(columns);
}

int FakeHost::invoiceTypeIndex() const {
    return invoiceTypeFromText(typeText);
}

void FakeHost::recomputeTotals() {
    ++totalsRuns;
    totals = yekunal(model, {invoiceTypeIndex(), typeText, {}, {}, {}});
    if (onTotals)
        onTotals();
}

namespace {

// Numbers go in as numbers, as a user typing into the sheet leaves them; the rest as text.
void put(store::Worksheet& sheet, int row, int col, const QString& text) {
    const auto number = money::read(text);
    if (number && money::plainText(*number) == text)
        sheet.writeNumber(row, col, *number);
    else
        sheet.writeText(row, col, text);
}

} // namespace

QString makeDataWorkbook(const QTemporaryDir& dir, const WorkbookContent& c) {
    const QString path = dir.filePath(u"DATA.xlsx"_s);
    const auto created = store::createDataWorkbook(path);
    EXPECT_TRUE(created.ok()) << created.message().toStdString();
    auto wb = store::Workbook::open(path);
    EXPECT_TRUE(wb.ok()) << wb.message().toStdString();
    if (!wb)
        return path;
    store::Worksheet& prg = *wb.value()->sheet(store::DataSheet::Programs);
    for (int i = 0; i < c.companies.size(); ++i)
        prg.writeText(store::PrgRow::UserName, store::PrgCol::FirstCompany + i, c.companies.at(i));

    store::Worksheet& kod = *wb.value()->sheet(store::DataSheet::Codes);
    const auto columns = [&](int first, const QList<QStringList>& rows) {
        for (int r = 0; r < rows.size(); ++r)
            for (int i = 0; i < rows.at(r).size(); ++i)
                put(kod, 2 + r, first + i, rows.at(r).at(i));
    };
    const auto column = [&](int col, const QStringList& items) {
        for (int r = 0; r < items.size(); ++r)
            put(kod, 2 + r, col, items.at(r));
    };
    columns(store::KodCol::WithholdingCode, c.withholding);
    columns(store::KodCol::OtherTaxCode, c.otherTaxes);
    column(store::KodCol::SpecialBaseCode, c.specialBaseReasons);
    column(store::KodCol::UnitName, c.units);
    // The fixture's rates replace the six a new workbook lists.
    column(store::KodCol::VatRate, c.vatRates + QStringList(6, QString()).mid(c.vatRates.size()));

    store::Worksheet& s = *wb.value()->sheet(store::DataSheet::Stock);
    for (int r = 0; r < c.cards.size(); ++r)
        for (int col = 0; col < c.cards.at(r).size(); ++col)
            put(s, 2 + r, 1 + col, c.cards.at(r).at(col));

    const auto saved = wb.value()->save();
    EXPECT_TRUE(saved.ok()) << saved.message().toStdString();
    return path;
}

QStringList card(const QString& code, const QString& filter, const QString& name,
                 const QStringList& rest) {
    return QStringList{code, filter, name} + rest;
}

} // namespace tavlix::test
