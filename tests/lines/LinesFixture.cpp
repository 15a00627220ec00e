#include "LinesFixture.h"

#include "invoice/InvoiceType.h"
#include "invoice/Money.h"
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
    auto wb = store::Workbook::create();
    const auto addSheet = [&](const QString& name) -> store::Worksheet& {
        store::Worksheet& s = wb->addSheet();
        s.setName(name);
        return s;
    };
    store::Worksheet& prg = addSheet(u"prgDATA"_s);
    prg.writeText(1, 1, u"Parametre Adı"_s);
    prg.writeText(2, 1, u"KULLANICI ADI*"_s);
    for (int i = 0; i < c.companies.size(); ++i)
        prg.writeText(2, 2 + i, c.companies.at(i));

    store::Worksheet& kod = addSheet(u"kodDATA"_s);
    for (int col = 1; col <= 18; ++col)
        kod.writeText(1, col, u"H%1"_s.arg(col));
    const auto column = [&](int first, const auto& rows) {
        for (int r = 0; r < rows.size(); ++r) {
            for (int i = 0; i < rows.at(r).size(); ++i)
                put(kod, 2 + r, first + i, rows.at(r).at(i));
        }
    };
    column(1, c.withholding);
    column(5, c.otherTaxes);
    QList<QStringList> single;
    for (const auto& [first, items] :
         {std::pair{13, c.specialBaseReasons}, std::pair{15, c.units}, std::pair{17, c.vatRates}}) {
        single.clear();
        for (const QString& item : items)
            single.append({item});
        column(first, single);
    }

    store::Worksheet& s = addSheet(u"sDATA"_s);
    for (int col = 1; col <= 16; ++col)
        s.writeText(1, col, u"S%1"_s.arg(col));
    for (int r = 0; r < c.cards.size(); ++r)
        for (int col = 0; col < c.cards.at(r).size(); ++col)
            put(s, 2 + r, 1 + col, c.cards.at(r).at(col));
    addSheet(u"mDATA"_s).writeText(1, 1, u"MÜŞTERİ ÜNVANI*"_s);

    const QString path = dir.filePath(u"DATA.xlsx"_s);
    const auto saved = wb->saveAs(path);
    EXPECT_TRUE(saved.ok()) << saved.message().toStdString();
    return path;
}

QStringList card(const QString& code, const QString& filter, const QString& name,
                 const QStringList& rest) {
    return QStringList{code, filter, name} + rest;
}

} // namespace tavlix::test
