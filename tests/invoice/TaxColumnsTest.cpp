#include "invoice/TaxColumns.h"
#include "invoice/InvoiceType.h"
#include "invoice/ReportModel.h"
#include "invoice/Totals.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

const QString kOtv = u"00071-ÖTV"_s;
const QString kOiv = u"00075-ÖİV"_s;

QStringList satisLine() {
    return {u"1"_s, u"Elma"_s, u"2"_s,      u"Adet"_s, u"100,00"_s,
            u"0"_s, u"0,00"_s, u"200,00"_s, u"18"_s,   u"36,00"_s};
}

TEST(TaxColumnsTest, PairHeadersAlignmentsAndWidths) {
    struct Case {
        QString entry;
        QString rate;
        QString amount;
    };
    const Case cases[] = {
        {kOtv, u"00071-ÖTV%"_s, u"ÖTV Tutarı"_s},
        // A four-character code loses the first letter of the description: the rule is kept.
        {u"0071-ÖTV"_s, u"0071-ÖTV%"_s, u"TV Tutarı"_s},
        {u"0-A"_s, u"0-A%"_s, u" Tutarı"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry.toStdString());
        const ColumnSpec rate = taxes::rateColumn(c.entry);
        const ColumnSpec amount = taxes::amountColumn(c.entry);
        EXPECT_EQ(rate.header, c.rate);
        EXPECT_EQ(rate.alignment, Qt::AlignHCenter);
        EXPECT_EQ(rate.widthTwips, 1300);
        EXPECT_EQ(amount.header, c.amount);
        EXPECT_EQ(amount.alignment, Qt::AlignRight);
        EXPECT_EQ(amount.widthTwips, 900);
    }
}

TEST(TaxColumnsTest, AlreadyAddedLooksFromPositionNineToTheSecondToLast) {
    struct Case {
        const char* name;
        QStringList extra; // headers after the ten base columns
        int renameBase;    // base column (0-based) renamed to the rate header, -1 for none
        bool added;
    };
    const QString rate = taxes::rateHeader(kOtv);
    const Case cases[] = {
        {"pair present", {rate, u"ÖTV Tutarı"_s}, -1, true},
        {"later pair", {u"x%"_s, u"x Tutarı"_s, rate, u"ÖTV Tutarı"_s}, -1, true},
        {"rate as the last column", {u"a"_s, rate}, -1, false},
        {"at position 9", {u"a"_s}, 8, true},
        {"at position 8", {u"a"_s}, 7, false},
        {"no extra columns", {}, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportModel lines;
        applyInvoiceType(lines, Satis);
        QList<ColumnSpec> specs = lines.columns();
        if (c.renameBase >= 0)
            specs[c.renameBase].header = rate;
        for (const QString& h : c.extra)
            specs << ColumnSpec{h, Qt::AlignRight, 900};
        lines.setColumns(specs);
        EXPECT_EQ(taxes::isTaxAdded(lines, kOtv), c.added);
    }
}

TEST(TaxColumnsTest, AddAppendsThePairOnceAfterTheTypeColumns) {
    ReportModel lines;
    applyInvoiceType(lines, Tevkifat);
    const int before = lines.columnTotal();
    ASSERT_TRUE(taxes::addTaxColumns(lines, kOtv));
    ASSERT_EQ(lines.columnTotal(), before + 2);
    EXPECT_EQ(lines.column(before).header, u"00071-ÖTV%"_s);
    EXPECT_EQ(lines.column(before + 1).header, u"ÖTV Tutarı"_s);
    EXPECT_EQ(firstExtraTaxColumn(Tevkifat), before);

    const QStringList headers = lines.headers();
    EXPECT_FALSE(taxes::addTaxColumns(lines, kOtv));
    EXPECT_EQ(lines.headers(), headers);
}

TEST(TaxColumnsTest, RemovingTheOnlyTaxLeavesTheHeadersAsBefore) {
    for (int type : {Satis, Iade, Tevkifat, Istisna, OzelMatrah}) {
        SCOPED_TRACE(type);
        ReportModel lines;
        applyInvoiceType(lines, type);
        const QStringList before = lines.headers();
        ASSERT_TRUE(taxes::addTaxColumns(lines, kOtv));
        ASSERT_TRUE(taxes::removeTaxColumns(lines, kOtv));
        EXPECT_EQ(lines.headers(), before);
        // The rebuilt columns take the widths of their positions.
        EXPECT_EQ(lines.column(4).widthTwips, 1100);
        EXPECT_EQ(lines.column(8).alignment, Qt::AlignHCenter);
    }
}

TEST(TaxColumnsTest, RemovingTheFirstOfTwoKeepsEveryCellUnderItsHeader) {
    ReportModel lines;
    applyInvoiceType(lines, Satis);
    lines.appendRow(satisLine());
    QStringList second = satisLine();
    second[0] = u"2"_s;
    second[7] = u"50,00"_s;
    lines.appendRow(second);
    ASSERT_TRUE(taxes::addTaxColumns(lines, kOtv));
    ASSERT_TRUE(taxes::addTaxColumns(lines, kOiv));
    for (int row = 0; row < 2; ++row) {
        lines.setCell(row, 10, u"5,000"_s);
        lines.setCell(row, 11, u"ötv"_s);
        lines.setCell(row, 12, u"2,000"_s);
        lines.setCell(row, 13, u"öiv"_s);
    }

    ASSERT_TRUE(taxes::removeTaxColumns(lines, kOtv));
    ASSERT_EQ(lines.columnTotal(), 12);
    EXPECT_EQ(lines.column(10).header, u"00075-ÖİV%"_s);
    EXPECT_EQ(lines.column(11).header, u"ÖİV Tutarı"_s);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(lines.cell(row, 10), u"2,000"_s);
        EXPECT_EQ(lines.cell(row, 11), u"öiv"_s);
        EXPECT_EQ(lines.rowCells(row).size(), 12);
        EXPECT_EQ(lines.cell(row, 9), u"36,00"_s);
    }

    // The next recomputation sees only the remaining tax, at its own rate.
    const TotalsResult totals = yekunal(lines, TotalsInput{Satis, u"SATIŞ"_s, {}, {}, {}});
    EXPECT_EQ(lines.cell(0, 11), u"4,00"_s);
    EXPECT_EQ(lines.cell(1, 11), u"1,00"_s);
    QStringList labels;
    for (const QStringList& row : totals.totalsRows)
        labels << row.value(1);
    EXPECT_FALSE(labels.join(u'|').contains(u"ÖTV"_s));
    ASSERT_TRUE(labels.contains(u"00075-ÖİV% Toplamı :"_s));
    const QStringList& taxRow = totals.totalsRows.at(labels.indexOf(u"00075-ÖİV% Toplamı :"_s));
    EXPECT_EQ(taxRow.value(2), u"5,00"_s);
    // 400 goods + 72 VAT + 5 tax
    EXPECT_EQ(totals.totalsRows.last().value(2), u"477,00"_s);
}

TEST(TaxColumnsTest, RemovingATaxWhoseAmountColumnIsNotNextRemovesOnlyTheRate) {
    ReportModel lines;
    applyInvoiceType(lines, Satis);
    QList<ColumnSpec> specs = lines.columns();
    specs << taxes::rateColumn(kOtv) << ColumnSpec{u"Başka"_s, Qt::AlignRight, 900};
    lines.setColumns(specs);
    lines.appendRow(satisLine() << u"5,000"_s << u"kalan"_s);

    ASSERT_TRUE(taxes::removeTaxColumns(lines, kOtv));
    ASSERT_EQ(lines.columnTotal(), 11);
    EXPECT_EQ(lines.column(10).header, u"Başka"_s);
    EXPECT_EQ(lines.cell(0, 10), u"kalan"_s);

    EXPECT_FALSE(taxes::removeTaxColumns(lines, kOiv));
    EXPECT_EQ(lines.columnTotal(), 11);
}

} // namespace
} // namespace tavlix
