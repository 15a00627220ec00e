#include "invoice/Totals.h"
#include "invoice/InvoiceType.h"
#include "invoice/LineList.h"
#include "invoice/Money.h"
#include "widgets/ReportModel.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

std::string s(const QString& text) {
    return text.toStdString();
}

// One line in the ten base columns; `extra` follows them (type columns, then tax pairs).
QStringList line(const QString& qty, const QString& price, const QString& discount,
                 const QString& amount, const QString& vatRate, const QString& vat,
                 const QStringList& extra = {}) {
    QStringList cells = {u"1"_s, u"Mal"_s, qty,    u"Adet"_s, price,
                         u"0"_s, discount, amount, vatRate,   vat};
    return cells + extra;
}

struct Invoice {
    explicit Invoice(int type, const QStringList& taxNames = {}) {
        applyInvoiceType(lines, type);
        for (const QString& tax : taxNames) {
            lines.addColumn({tax, Qt::AlignRight, 1000});
            lines.addColumn({tax + u" Tutarı"_s, Qt::AlignRight, 1000});
        }
        input.typeIndex = type;
        input.typeText = invoiceTypeText(type);
        input.userNot1 = u"Not bir"_s;
        input.userNot2 = u"Not iki"_s;
        input.userNot3 = u"Not üç"_s;
    }
    TotalsResult run() { return yekunal(lines, input); }

    ReportModel lines;
    TotalsInput input;
};

QList<QStringList> rows(std::initializer_list<std::pair<QString, QString>> labelled) {
    QList<QStringList> out;
    for (const auto& [label, amount] : labelled)
        out.append({QString::number(out.size() + 1), label, amount});
    return out;
}

TEST(Yekunal, OneSalesLineAtEighteenPercent) {
    Invoice inv(Satis);
    inv.lines.appendRow(line(u"2"_s, u"12,50"_s, u"0,00"_s, u"25,00"_s, u"18"_s, u"4,50"_s));
    const TotalsResult r = inv.run();
    EXPECT_TRUE(r.typeSelected);
    EXPECT_EQ(r.totalsRows, rows({{u"Mal / Hizmet Bedeli Toplamı :"_s, u"25,00"_s},
                                  {u"İskontolar Toplamı :"_s, u"0,00"_s},
                                  {u"KDV Toplamı :"_s, u"4,50"_s},
                                  {u"GENEL TOPLAM :"_s, u"29,50"_s}}));
    EXPECT_EQ(s(r.kdvMatStr), "KDV MATRAH [%1: 0,00][%10: 0,00][%18: 25,00][%20: 0,00]");
    EXPECT_EQ(s(r.yazTopStr), "Yalnız:YirmidokuzTLElliKr.");
    EXPECT_EQ(r.checkTotal, 2950);
}

TEST(Yekunal, GoodsTotalRoundsEachLineHalfToEven) {
    Invoice inv(Satis);
    inv.lines.appendRow(line(u"1"_s, u"2,125"_s, u"0,00"_s, u"2,12"_s, u"0"_s, u"0,00"_s));
    inv.lines.appendRow(line(u"3"_s, u"0,125"_s, u"0,00"_s, u"0,38"_s, u"0"_s, u"0,00"_s));
    const TotalsResult r = inv.run();
    // 2,12 + rnd2(0,375) = 2,12 + 0,38
    EXPECT_EQ(s(r.totalsRows.at(0).at(2)), "2,50");
}

TEST(Yekunal, DiscountAndVatBasesByRate) {
    Invoice inv(Satis);
    inv.lines.appendRows({
        line(u"1"_s, u"100"_s, u"10,00"_s, u"90,00"_s, u"1"_s, u"0,90"_s),
        line(u"1"_s, u"50"_s, u"0"_s, u"50,00"_s, u"8"_s, u"4,00"_s),
        line(u"1"_s, u"200"_s, u"0"_s, u"200,00"_s, u" 18 "_s, u"36,00"_s),
        line(u"1"_s, u"10"_s, u"0"_s, u"10,00"_s, u"20"_s, u"2,00"_s),
        line(u"1"_s, u"10"_s, u"0"_s, u"10,00"_s, u"10"_s, u"1,00"_s),
    });
    const TotalsResult r = inv.run();
    EXPECT_EQ(r.totalsRows, rows({{u"Mal / Hizmet Bedeli Toplamı :"_s, u"370,00"_s},
                                  {u"İskontolar Toplamı :"_s, u"10,00"_s},
                                  {u"KDV Toplamı :"_s, u"43,90"_s},
                                  {u"GENEL TOPLAM :"_s, u"403,90"_s}}));
    EXPECT_EQ(s(r.kdvMatStr),
              "KDV MATRAH [%1: 90,00][%8: 50,00][%10: 10,00][%18: 200,00][%20: 10,00]");
}

TEST(Yekunal, VatBasesAreExactToTheKurus) {
    const struct {
        const char* name;
        QList<QStringList> lines;
        const char* kdvMatStr;
    } cases[] = {
        {"today's rates",
         {line(u"1"_s, u"25"_s, u"0"_s, u"25,00"_s, u"20"_s, u"5,00"_s),
          line(u"1"_s, u"50"_s, u"0"_s, u"50,00"_s, u"10"_s, u"5,00"_s),
          line(u"1"_s, u"100"_s, u"0"_s, u"100,00"_s, u"20"_s, u"20,00"_s)},
         "KDV MATRAH [%1: 0,00][%10: 50,00][%20: 125,00]"},
        {"beyond single and double precision of a sum",
         {line(u"1"_s, u"99.999.999.999"_s, u"0"_s, u"99.999.999.999,00"_s, u"18"_s, u"0"_s),
          line(u"1"_s, u"16.777.217"_s, u"0"_s, u"16.777.217,01"_s, u"20"_s, u"0"_s),
          line(u"1"_s, u"0,01"_s, u"0"_s, u"0,01"_s, u"20"_s, u"0"_s)},
         "KDV MATRAH [%1: 0,00][%10: 0,00][%18: 99.999.999.999,00][%20: 16.777.217,02]"},
        {"a zero rate and a word have no bracket",
         {line(u"1"_s, u"10"_s, u"0"_s, u"10,00"_s, u"0"_s, u"0"_s),
          line(u"1"_s, u"10"_s, u"0"_s, u"10,00"_s, u"yok"_s, u"0"_s)},
         "KDV MATRAH [%1: 0,00][%10: 0,00][%20: 0,00]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Invoice inv(Satis);
        inv.lines.appendRows(c.lines);
        EXPECT_EQ(s(inv.run().kdvMatStr), c.kdvMatStr);
    }
}

TEST(Yekunal, IstisnaHasNoVatAndNoBases) {
    Invoice inv(Istisna);
    inv.lines.appendRow(
        line(u"2"_s, u"50"_s, u"0"_s, u"100,00"_s, u"18"_s, u"18,00"_s, {u"8471.30"_s}));
    const TotalsResult r = inv.run();
    EXPECT_EQ(r.totalsRows, rows({{u"Mal / Hizmet Bedeli Toplamı :"_s, u"100,00"_s},
                                  {u"İskontolar Toplamı :"_s, u"0,00"_s},
                                  {u"KDV'den İstisnadır."_s, QString()},
                                  {u"GENEL TOPLAM :"_s, u"100,00"_s}}));
    EXPECT_EQ(s(r.kdvMatStr), "KDV MATRAH [%1: 0,00][%10: 0,00][%20: 0,00]");
}

TEST(Yekunal, TevkifatWithholdingAndCheckTotal) {
    Invoice inv(Tevkifat);
    inv.lines.appendRow(line(u"1"_s, u"91"_s, u"0"_s, u"91,00"_s, u"18"_s, u"18,00"_s,
                             {u"601"_s, u"5/10"_s, u"9,00"_s}));
    TotalsResult r = inv.run();
    EXPECT_EQ(r.totalsRows, rows({{u"Mal / Hizmet Bedeli Toplamı :"_s, u"91,00"_s},
                                  {u"İskontolar Toplamı :"_s, u"0,00"_s},
                                  {u"KDV Toplamı :"_s, u"18,00"_s},
                                  {u"Tevkif Edilen KDV :"_s, u"9,00"_s},
                                  {u"GENEL TOPLAM :"_s, u"100,00"_s}}));
    EXPECT_EQ(r.checkTotal, 10900);
    EXPECT_EQ(s(r.yazTopStr), "Yalnız:YüzTL--Kr.");

    // The withholding joins checkTotal by the type's text, as the upload check compares it.
    inv.input.typeText = u"Tevkifat"_s;
    r = inv.run();
    EXPECT_EQ(r.checkTotal, 10000);
}

TEST(Yekunal, OzelMatrahUsesTheSpecialBase) {
    Invoice inv(OzelMatrah);
    inv.lines.appendRow(line(u"1"_s, u"1.000"_s, u"0"_s, u"1.000,00"_s, u"18"_s, u"90,00"_s,
                             {u"Gümüş"_s, u"500,00"_s}));
    const TotalsResult r = inv.run();
    EXPECT_EQ(r.totalsRows, rows({{u"Mal / Hizmet Bedeli Toplamı :"_s, u"1.000,00"_s},
                                  {u"İskontolar Toplamı :"_s, u"0,00"_s},
                                  {u"KDV Toplamı :"_s, u"90,00"_s},
                                  {u"Özel Matrah Toplamı :"_s, u"500,00"_s},
                                  {u"GENEL TOPLAM :"_s, u"1.090,00"_s}}));
    EXPECT_EQ(s(r.kdvMatStr), "KDV MATRAH [%1: 0,00][%10: 0,00][%18: 500,00][%20: 0,00]");
}

struct ExtraTaxCase {
    const char* name;
    int type;
    QStringList typeCells;
    QString amount;
    QString rate;
    QString expectedLineTax;
};

class YekunalExtraTax : public ::testing::TestWithParam<ExtraTaxCase> {};

TEST_P(YekunalExtraTax, LineTaxRowAndGrandTotal) {
    const ExtraTaxCase& c = GetParam();
    Invoice inv(c.type, {u"ÖTV"_s});
    inv.lines.appendRow(line(u"1"_s, c.amount, u"0"_s, c.amount, u"0"_s, u"0"_s,
                             c.typeCells + QStringList{c.rate}));
    const TotalsResult r = inv.run();
    const int rateCol = firstExtraTaxColumn(c.type);
    EXPECT_EQ(rateCol + 2, inv.lines.columnTotal());
    EXPECT_EQ(s(inv.lines.cell(0, rateCol + 1)), s(c.expectedLineTax));
    ASSERT_GE(r.totalsRows.size(), 2);
    const QStringList taxRow = r.totalsRows.at(r.totalsRows.size() - 2);
    EXPECT_EQ(s(taxRow.at(1)), "ÖTV Toplamı :");
    EXPECT_EQ(s(taxRow.at(2)), s(c.expectedLineTax));
    const double grand = *money::read(c.amount) + *money::read(c.expectedLineTax);
    EXPECT_EQ(s(r.totalsRows.last().at(2)), s(money::text(grand)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, YekunalExtraTax,
    ::testing::Values(
        ExtraTaxCase{"five_percent_of_200", Satis, {}, u"200,00"_s, u"5"_s, u"10,00"_s},
        ExtraTaxCase{
            "single_precision_product", Satis, {}, u"123.456,78"_s, u"5,000"_s, u"6.172,84"_s},
        ExtraTaxCase{"after_istisna_column", Istisna, {u"1234"_s}, u"200,00"_s, u"5"_s, u"10,00"_s},
        ExtraTaxCase{"after_ozel_matrah_columns",
                     OzelMatrah,
                     {u"x"_s, u"0"_s},
                     u"200,00"_s,
                     u"7,5"_s,
                     u"15,00"_s},
        ExtraTaxCase{"after_tevkifat_columns",
                     Tevkifat,
                     {u"601"_s, u"5/10"_s, u"0"_s},
                     u"200,00"_s,
                     u"5"_s,
                     u"10,00"_s},
        ExtraTaxCase{"empty_rate_is_zero", Satis, {}, u"200,00"_s, QString(), u"0,00"_s}),
    [](const ::testing::TestParamInfo<ExtraTaxCase>& info) {
        return std::string(info.param.name);
    });

TEST(Yekunal, TwoExtraTaxesInColumnOrderAndEmptyRatesFilled) {
    Invoice inv(Satis, {u"ÖTV"_s, u"ÖİV"_s});
    inv.lines.appendRows({
        line(u"1"_s, u"100"_s, u"0"_s, u"100,00"_s, u"18"_s, u"18,00"_s,
             {u"10"_s, u"stale"_s, QString(), QString()}),
        line(u"1"_s, u"50"_s, u"0"_s, u"50,00"_s, u"18"_s, u"9,00"_s,
             {QString(), QString(), u"2"_s, u"99,99"_s}),
    });
    const TotalsResult r = inv.run();
    EXPECT_EQ(inv.lines.rowCells(0).mid(10),
              (QStringList{u"10"_s, u"10,00"_s, u"0,000"_s, u"0,00"_s}));
    EXPECT_EQ(inv.lines.rowCells(1).mid(10),
              (QStringList{u"0,000"_s, u"0,00"_s, u"2"_s, u"1,00"_s}));
    EXPECT_EQ(r.totalsRows, rows({{u"Mal / Hizmet Bedeli Toplamı :"_s, u"150,00"_s},
                                  {u"İskontolar Toplamı :"_s, u"0,00"_s},
                                  {u"KDV Toplamı :"_s, u"27,00"_s},
                                  {u"ÖTV Toplamı :"_s, u"10,00"_s},
                                  {u"ÖİV Toplamı :"_s, u"1,00"_s},
                                  {u"GENEL TOPLAM :"_s, u"188,00"_s}}));
}

TEST(Yekunal, TrailingRateColumnWithoutAmountIsLeftAlone) {
    Invoice inv(Satis, {u"ÖTV"_s});
    inv.lines.addColumn({u"Yarım"_s, Qt::AlignRight, 1000});
    inv.lines.appendRow(line(u"1"_s, u"10"_s, u"0"_s, u"10,00"_s, u"18"_s, u"1,80"_s));
    const TotalsResult r = inv.run();
    EXPECT_EQ(inv.lines.cell(0, 12), QString());
    EXPECT_EQ(inv.lines.rowCells(0).size(), 12);
    EXPECT_EQ(r.totalsRows.size(), 5);
}

TEST(Yekunal, NoLinesGivesZeros) {
    Invoice inv(Satis);
    const TotalsResult r = inv.run();
    EXPECT_EQ(s(r.kdvMatStr), "KDV MATRAH [%1: 0,00][%10: 0,00][%20: 0,00]");
    EXPECT_EQ(s(r.yazTopStr), "Yalnız:--TL--Kr.");
    EXPECT_EQ(s(r.totalsRows.last().at(2)), "0,00");
    EXPECT_EQ(r.checkTotal, 0);
}

TEST(Yekunal, NotesAreRebuiltWholly) {
    Invoice inv(Satis);
    inv.lines.appendRow(line(u"2"_s, u"12,50"_s, u"0,00"_s, u"25,00"_s, u"18"_s, u"4,50"_s));
    const TotalsResult r = inv.run();
    EXPECT_EQ(s(r.notes), "• Not bir\r\n• Not iki\r\n• Not üç\r\n"
                          "• KDV MATRAH [%1: 0,00][%10: 0,00][%18: 25,00][%20: 0,00]\r\n"
                          "• Yalnız:YirmidokuzTLElliKr.");
}

TEST(Yekunal, WithoutATypeTheTotalsListStays) {
    Invoice inv(-1, {u"ÖTV"_s});
    inv.lines.appendRow(
        line(u"1"_s, u"10"_s, u"0"_s, u"10,00"_s, u"18"_s, u"1,80"_s, {QString(), QString()}));
    ReportModel totals;
    totals.setColumns(totalsColumns());
    totals.appendRow({u"1"_s, u"eski"_s, u"5,00"_s});
    const TotalsResult r = inv.run();
    writeTotalsRows(totals, r);
    EXPECT_FALSE(r.typeSelected);
    EXPECT_EQ(totals.rowTotal(), 1);
    EXPECT_EQ(totals.cell(0, 1), u"eski"_s);
    EXPECT_EQ(inv.lines.cell(0, 10), QString()); // extra-tax cells untouched
    EXPECT_EQ(s(r.kdvMatStr), "KDV MATRAH [%1: 0,00][%10: 0,00][%20: 0,00]");
    EXPECT_TRUE(r.notes.endsWith(u"• Yalnız:--TL--Kr."_s));
}

TEST(Yekunal, TotalsRowsReplaceTheOldOnes) {
    Invoice inv(Satis);
    ReportModel totals;
    totals.appendRow({u"9"_s, u"eski"_s, u"5,00"_s});
    writeTotalsRows(totals, inv.run());
    EXPECT_EQ(totals.headers().size(), 3);
    EXPECT_EQ(totals.rowTotal(), 4);
    EXPECT_EQ(totals.cell(3, 1), u"GENEL TOPLAM :"_s);
}

TEST(Yekunal, LeadingWholeNumberOfTheRate) {
    const std::pair<QString, int> cases[] = {{u"18"_s, 18},  {u" 8"_s, 8},  {u"1,5"_s, 1},
                                             {u"18%"_s, 18}, {u"%18"_s, 0}, {QString(), 0},
                                             {u"-1"_s, -1},  {u"abc"_s, 0}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(leadingWholeNumber(text), expected) << s(text);
}

TEST(LineDeletion, SecondOfFourRenumbers) {
    Invoice inv(Satis);
    for (int i = 1; i <= 4; ++i)
        inv.lines.appendRow({QString::number(i), u"Mal %1"_s.arg(i), QString::number(i)});
    deleteLineAndRenumber(inv.lines, 1);
    ASSERT_EQ(inv.lines.rowTotal(), 3);
    EXPECT_EQ(inv.lines.rowCells(0), (QStringList{u"1"_s, u"Mal 1"_s, u"1"_s}));
    EXPECT_EQ(inv.lines.rowCells(1), (QStringList{u"2"_s, u"Mal 3"_s, u"3"_s}));
    EXPECT_EQ(inv.lines.rowCells(2), (QStringList{u"3"_s, u"Mal 4"_s, u"4"_s}));
    EXPECT_EQ(nextLineNumber(inv.lines), 4);
}

TEST(LineDeletion, OnlyLineLeavesZeroTotals) {
    Invoice inv(Satis);
    inv.lines.appendRow(line(u"2"_s, u"12,50"_s, u"0,00"_s, u"25,00"_s, u"18"_s, u"4,50"_s));
    deleteLineAndRenumber(inv.lines, 0);
    EXPECT_EQ(inv.lines.rowTotal(), 0);
    EXPECT_EQ(nextLineNumber(inv.lines), 1);
    EXPECT_EQ(s(inv.run().totalsRows.last().at(2)), "0,00");
}

TEST(LineDeletion, OutOfRangeAndQuestion) {
    Invoice inv(Satis);
    inv.lines.appendRow({u"1"_s, u"Mal"_s});
    deleteLineAndRenumber(inv.lines, 1);
    deleteLineAndRenumber(inv.lines, -1);
    EXPECT_EQ(inv.lines.rowTotal(), 1);
    EXPECT_EQ(s(deleteLineQuestion(3)), "3 nolu satırı sil !");
}

} // namespace
} // namespace tavlix
