#include "invoice/TaxColumns.h"
#include "invoice/InvoiceType.h"
#include "invoice/Totals.h"
#include "widgets/ReportModel.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

const QString kOtv = u"00071-ÖTV"_s;
const QString kOiv = u"00075-ÖİV"_s;

// A SATIŞ line: 2 × 100,00 with 18 % VAT, line amount `amount`.
QStringList satisLine(const QString& amount) {
    return {u"1"_s, u"Elma"_s, u"2"_s, u"Adet"_s, u"100,00"_s,
            u"0"_s, u"0,00"_s, amount, u"18"_s,   u"36,00"_s};
}

TEST(TaxColumnsTest, PairHeadersKeepTheSixCharacterRule) {
    EXPECT_EQ(taxes::rateColumn(kOtv).header, u"00071-ÖTV%"_s);
    EXPECT_EQ(taxes::rateColumn(kOtv).alignment, Qt::AlignHCenter);
    EXPECT_EQ(taxes::rateColumn(kOtv).widthTwips, 1300);
    EXPECT_EQ(taxes::amountColumn(kOtv).header, u"ÖTV Tutarı"_s);
    EXPECT_EQ(taxes::amountColumn(kOtv).alignment, Qt::AlignRight);
    EXPECT_EQ(taxes::amountColumn(kOtv).widthTwips, 900);
    // A four-character code loses the description's first letter.
    EXPECT_EQ(taxes::amountHeader(u"0071-ÖTV"_s), u"TV Tutarı"_s);
}

TEST(TaxColumnsTest, AlreadyAddedLooksFromPositionNineToTheSecondToLast) {
    const QString rate = taxes::rateHeader(kOtv);
    struct Case {
        const char* name;
        int renameBase; // base column (0-based) renamed to the rate header, -1 for none
        QStringList extra;
        bool added;
    };
    const Case cases[] = {
        {"later pair", -1, {u"x%"_s, u"x Tutarı"_s, rate, u"ÖTV Tutarı"_s}, true},
        {"rate as the last column", -1, {u"a"_s, rate}, false},
        {"at position 9", 8, {u"a"_s}, true},
        {"at position 8", 7, {u"a"_s}, false},
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

TEST(TaxColumnsTest, AddingTwiceIsRefusedAndRemovingRestoresTheHeaders) {
    for (int type : {Satis, Tevkifat, Istisna, OzelMatrah}) {
        SCOPED_TRACE(type);
        ReportModel lines;
        applyInvoiceType(lines, type);
        const QStringList before = lines.headers();
        const QList<ColumnSpec> specsBefore = lines.columns();
        ASSERT_TRUE(taxes::addTaxColumns(lines, kOtv));
        EXPECT_EQ(lines.headers(), before + QStringList({u"00071-ÖTV%"_s, u"ÖTV Tutarı"_s}));
        EXPECT_FALSE(taxes::addTaxColumns(lines, kOtv));
        EXPECT_EQ(lines.columnTotal(), before.size() + 2);
        ASSERT_TRUE(taxes::removeTaxColumns(lines, kOtv));
        EXPECT_EQ(lines.headers(), before);
        // Every remaining column keeps its own width and alignment.
        ASSERT_EQ(lines.columnTotal(), specsBefore.size());
        for (int c = 0; c < lines.columnTotal(); ++c) {
            EXPECT_EQ(lines.column(c).widthTwips, specsBefore.at(c).widthTwips) << c;
            EXPECT_EQ(lines.column(c).alignment, specsBefore.at(c).alignment) << c;
        }
    }
}

TEST(TaxColumnsTest, RemovingTheFirstOfTwoKeepsEveryCellUnderItsHeader) {
    ReportModel lines;
    applyInvoiceType(lines, Satis);
    lines.appendRows({satisLine(u"200,00"_s), satisLine(u"50,00"_s)});
    ASSERT_TRUE(taxes::addTaxColumns(lines, kOtv));
    ASSERT_TRUE(taxes::addTaxColumns(lines, kOiv));
    for (int row = 0; row < 2; ++row) {
        lines.setCell(row, 10, u"5,000"_s);
        lines.setCell(row, 11, u"ötv"_s);
        lines.setCell(row, 12, u"2,000"_s);
        lines.setCell(row, 13, u"öiv"_s);
    }

    ASSERT_TRUE(taxes::removeTaxColumns(lines, kOtv));
    ASSERT_EQ(lines.headers().mid(10), QStringList({u"00075-ÖİV%"_s, u"ÖİV Tutarı"_s}));
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(lines.rowCells(row).mid(9), QStringList({u"36,00"_s, u"2,000"_s, u"öiv"_s}));

    // The next recomputation sees only the remaining tax, at its own rate.
    const TotalsResult totals = yekunal(lines, TotalsInput{Satis, u"SATIŞ"_s, {}, {}, {}});
    EXPECT_EQ(lines.cell(0, 11), u"4,00"_s);
    EXPECT_EQ(lines.cell(1, 11), u"1,00"_s);
    ASSERT_EQ(totals.totalsRows.size(), 5);
    EXPECT_EQ(totals.totalsRows.at(3).mid(1), QStringList({u"00075-ÖİV% Toplamı :"_s, u"5,00"_s}));
    // 400 goods + 72 VAT + 5 tax
    EXPECT_EQ(totals.totalsRows.last().value(2), u"477,00"_s);
}

TEST(TaxColumnsTest, RemovingATaxWhoseAmountColumnIsNotNextRemovesOnlyTheRate) {
    ReportModel lines;
    applyInvoiceType(lines, Satis);
    lines.setColumns(lines.columns()
                     << taxes::rateColumn(kOtv) << ColumnSpec{u"Başka"_s, Qt::AlignRight, 900});
    lines.appendRow(satisLine(u"200,00"_s) << u"5,000"_s << u"kalan"_s);

    ASSERT_TRUE(taxes::removeTaxColumns(lines, kOtv));
    EXPECT_EQ(lines.headers().mid(10), QStringList{u"Başka"_s});
    EXPECT_EQ(lines.rowCells(0).mid(10), QStringList{u"kalan"_s});
    EXPECT_FALSE(taxes::removeTaxColumns(lines, kOiv));
    EXPECT_EQ(lines.columnTotal(), 11);
}

} // namespace
} // namespace tavlix
