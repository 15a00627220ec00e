// The amounts of one line: each cell written as text and read back by the next step.
#include "lines/LineComputation.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix::lines;

namespace {

LineFields line(const QString& quantity, const QString& unitPrice, const QString& discount,
                const QString& vat) {
    LineFields f;
    f.name = u"Ürün"_s;
    f.quantity = quantity;
    f.unit = u"Adet"_s;
    f.unitPrice = unitPrice;
    f.discountRate = discount;
    f.vatRate = vat;
    f.otherTax1Rate = u"0"_s;
    f.otherTax2Rate = u"0"_s;
    return f;
}

} // namespace

TEST(LineComputation, BaseAmounts) {
    const struct {
        const char* name;
        LineFields fields;
        QString unitPrice, discount, net, vatRate, vat;
    } cases[] = {
        {"discount 10, VAT 18", line(u"2"_s, u"12,50"_s, u"10"_s, u"18"_s), u"12,50"_s, u"2,50"_s,
         u"22,50"_s, u"18"_s, u"4,05"_s},
        {"discount half to even", line(u"1"_s, u"0,25"_s, u"50"_s, u"8"_s), u"0,25"_s, u"0,12"_s,
         u"0,13"_s, u"8"_s, u"0,01"_s},
        {"grouped unit price", line(u"1"_s, u"1000"_s, u"0"_s, u"1"_s), u"1.000,00"_s, u"0,00"_s,
         u"1.000,00"_s, u"1"_s, u"10,00"_s},
        {"VAT written half away from zero", line(u"1"_s, u"12,50"_s, u"0"_s, u"1"_s), u"12,50"_s,
         u"0,00"_s, u"12,50"_s, u"1"_s, u"0,13"_s},
        {"unit price with three decimals typed through a paste",
         line(u"3"_s, u"1,005"_s, u"0"_s, u"0"_s), u"1,01"_s, u"0,00"_s, u"3,03"_s, u"0"_s,
         u"0,00"_s},
        {"decimal quantity", line(u"1,5"_s, u"10"_s, u"0"_s, u"18"_s), u"10,00"_s, u"0,00"_s,
         u"15,00"_s, u"18"_s, u"2,70"_s},
    };
    for (const auto& c : cases) {
        const LineAmounts a = computeLine(c.fields, u"SATIŞ"_s);
        EXPECT_EQ(a.unitPrice, c.unitPrice) << c.name;
        EXPECT_EQ(a.discountRate, c.fields.discountRate) << c.name;
        EXPECT_EQ(a.discountAmount, c.discount) << c.name;
        EXPECT_EQ(a.netAmount, c.net) << c.name;
        EXPECT_EQ(a.vatRate, c.vatRate) << c.name;
        EXPECT_EQ(a.vatAmount, c.vat) << c.name;
        EXPECT_TRUE(a.specialBase.isEmpty() && a.withheldVat.isEmpty()) << c.name;
    }
}

TEST(LineComputation, OtherTaxesOnlyWithACode) {
    LineFields f = line(u"2"_s, u"12,50"_s, u"10"_s, u"18"_s);
    f.otherTax1Code = u"0071-ÖTV 1. LİSTE%"_s;
    f.otherTax1Rate = u"7,5"_s;
    f.otherTax2Rate = u"5"_s; // no code: no cells
    LineAmounts a = computeLine(f, u"SATIŞ"_s);
    EXPECT_EQ(a.otherTax1Rate, u"7,500"_s);
    EXPECT_EQ(a.otherTax1Amount, u"1,69"_s);
    EXPECT_TRUE(a.otherTax2Rate.isEmpty());
    EXPECT_TRUE(a.otherTax2Amount.isEmpty());

    f.otherTax2Code = u"4080-ÖİV%"_s;
    f.otherTax2Rate = u"0"_s;
    a = computeLine(f, u"SATIŞ"_s);
    EXPECT_EQ(a.otherTax2Rate, u"0,000"_s);
    EXPECT_EQ(a.otherTax2Amount, u"0,00"_s);
}

TEST(LineComputation, SpecialBaseReplacesTheVat) {
    LineFields f = line(u"2"_s, u"100"_s, u"10"_s, u"18"_s);
    f.specialBase = u"1500,50"_s;
    LineAmounts a = computeLine(f, u"ÖZEL MATRAH"_s);
    EXPECT_EQ(a.specialBase, u"1.500,50"_s);
    EXPECT_EQ(a.vatAmount, u"270,09"_s);
    EXPECT_EQ(a.discountAmount, u"20,00"_s);
    EXPECT_EQ(a.netAmount, u"180,00"_s);

    // The base passes through single precision: about seven significant digits survive.
    f.specialBase = u"12345678,91"_s;
    a = computeLine(f, u"ÖZEL MATRAH"_s);
    EXPECT_EQ(a.specialBase, u"12.345.679,00"_s);

    // Other invoice types leave the base alone.
    a = computeLine(f, u"SATIŞ"_s);
    EXPECT_TRUE(a.specialBase.isEmpty());
    EXPECT_EQ(a.vatAmount, u"32,40"_s);
}

TEST(LineComputation, WithheldVat) {
    LineFields f = line(u"1"_s, u"1000"_s, u"0"_s, u"18"_s);
    const struct {
        QString rate;
        QString cell;
        QString withheld;
    } cases[] = {
        {u"50"_s, u"50"_s, u"90,00"_s},
        {u"90"_s, u"90"_s, u"162,00"_s},
        {u""_s, u"0"_s, u"0,00"_s},
        {u"% 5"_s, u"0"_s, u"0,00"_s},
    };
    for (const auto& c : cases) {
        f.withholdingRate = c.rate;
        const LineAmounts a = computeLine(f, u"TEVKİFAT"_s);
        EXPECT_EQ(a.withholdingRate, c.cell) << c.rate.toStdString();
        EXPECT_EQ(a.withheldVat, c.withheld) << c.rate.toStdString();
        EXPECT_EQ(a.vatAmount, u"180,00"_s);
    }
}

TEST(LineComputation, ExemptLineKeepsAmountsButNoVat) {
    const LineAmounts a = computeLine(line(u"2"_s, u"12,50"_s, u"10"_s, u"18"_s), u"İSTİSNA"_s);
    EXPECT_EQ(a.discountAmount, u"2,50"_s);
    EXPECT_EQ(a.netAmount, u"22,50"_s);
    EXPECT_EQ(a.vatRate, u"0"_s);
    EXPECT_EQ(a.vatAmount, u"0"_s);
}

TEST(LineComputation, LeadingNumber) {
    const struct {
        QString text;
        double value;
    } cases[] = {{u"50"_s, 50},   {u" 18"_s, 18},   {u"% 5"_s, 0}, {u""_s, 0},
                 {u"12,5"_s, 12}, {u"2.5x"_s, 2.5}, {u"-3"_s, -3}, {u"100"_s, 100}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << c.text.toStdString();
}
