// Adding a line to the invoice's line list: the checks in their order, the row cells by invoice
// type and the extra-tax column pairs.
#include "lines/AddLine.h"
#include "invoice/TaxColumns.h"
#include "widgets/ReportModel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix;
using namespace tavlix::lines;
using Kind = AddLineOutcome::Kind;

namespace {

// Ten base columns and the type's own columns, as the main window lays them out.
void layOut(ReportModel& model, const QStringList& typeHeaders = {}) {
    for (const QString& h :
         {u"s"_s, u"Mal Hizmet Türü"_s, u"Miktar"_s, u"Birim"_s, u"Birim Fiyat"_s, u"İsk%"_s,
          u"İsk.Tutarı"_s, u"Mal/Hiz.Tutarı"_s, u"KDV%"_s, u"KDV Tutarı"_s})
        model.addColumn({h, Qt::AlignLeft, 900});
    for (const QString& h : typeHeaders)
        model.addColumn({h, Qt::AlignLeft, 900});
}

LineFields goodLine() {
    LineFields f;
    f.name = u"Vida"_s;
    f.quantity = u"2"_s;
    f.unit = u"Adet"_s;
    f.unitPrice = u"12,50"_s;
    f.discountRate = u"10"_s;
    f.vatRate = u"18"_s;
    return f;
}

const QString kTax = u"0071-ÖTV 1. LİSTE%"_s;

} // namespace

TEST(AddLine, TypeChecksUseAMessageBoxAndAddNothing) {
    const struct {
        const char* name;
        QString specialBase, withholdingRate, type;
        QString box; // empty: the line is added
    } cases[] = {
        {"withholding on SATIŞ", u""_s, u"50"_s, u"SATIŞ"_s,
         u"Tevkifata tabi ürünler bu faturaya eklenemez ! Bu ürünü bir TEVKİFAT faturasına ekleyin "
         u"ya da satır penceresinde tevkifat kodunu silerek ekleyin."_s},
        {"withholding on TEVKİFAT", u""_s, u"50"_s, u"TEVKİFAT"_s, u""_s},
        {"special base on SATIŞ", u"100"_s, u""_s, u"SATIŞ"_s,
         u"Özel Matraha tabi ürünler bu faturaya eklenemez !"_s},
        {"special base 0 on SATIŞ", u"0"_s, u""_s, u"SATIŞ"_s, u""_s},
        {"special base on ÖZEL MATRAH", u"100"_s, u""_s, u"ÖZEL MATRAH"_s, u""_s},
        {"special base checked before withholding", u"100"_s, u"50"_s, u"İADE"_s,
         u"Özel Matraha tabi ürünler bu faturaya eklenemez !"_s},
        {"unreadable withholding rate", u""_s, u"% 5"_s, u"SATIŞ"_s, u""_s},
    };
    for (const auto& c : cases) {
        ReportModel model;
        layOut(model);
        LineFields f = goodLine();
        f.name.clear(); // the type checks come before every field check
        f.specialBase = c.specialBase;
        f.withholdingRate = c.withholdingRate;
        const AddLineOutcome out = addLine(f, c.type, model);
        if (c.box.isEmpty()) {
            EXPECT_EQ(out.kind, Kind::FieldRefused) << c.name;
        } else {
            EXPECT_EQ(out.kind, Kind::TypeRefused) << c.name;
            EXPECT_EQ(out.boxText, c.box) << c.name;
        }
        EXPECT_EQ(model.rowTotal(), 0) << c.name;
        EXPECT_EQ(f.otherTax1Rate, u"0"_s) << c.name;
        EXPECT_EQ(f.otherTax2Rate, u"0"_s) << c.name;
    }
}

TEST(AddLine, FieldChecksInOrderWithTheirResets) {
    const struct {
        const char* name;
        void (*change)(LineFields&);
        QString message;
        QString quantity, unitPrice, discountRate; // fields afterwards
    } cases[] = {
        {"empty name first",
         [](LineFields& f) {
             f.name.clear();
             f.quantity = u"abc"_s;
         },
         u"Ürün/Hizmet Adı boş olamaz ... !"_s, u"abc"_s, u"12,50"_s, u"10"_s},
        {"quantity abc", [](LineFields& f) { f.quantity = u"abc"_s; },
         u"Miktar sayısal olmalıdır ...!"_s, u""_s, u"12,50"_s, u"10"_s},
        {"quantity 0", [](LineFields& f) { f.quantity = u"0"_s; },
         u"Miktar pozitif olmalıdır ...!"_s, u""_s, u"12,50"_s, u"10"_s},
        {"quantity negative", [](LineFields& f) { f.quantity = u"-1"_s; },
         u"Miktar pozitif olmalıdır ...!"_s, u""_s, u"12,50"_s, u"10"_s},
        {"unit empty", [](LineFields& f) { f.unit.clear(); }, u"Birim seçilmelidir... !"_s, u"2"_s,
         u"12,50"_s, u"10"_s},
        {"unit price 1,2,", [](LineFields& f) { f.unitPrice = u"1,2,"_s; },
         u"Birim fiyat sayısal olmalıdır ...!"_s, u"2"_s, u""_s, u"10"_s},
        {"unit price 0", [](LineFields& f) { f.unitPrice = u"0"_s; },
         u"Birim fiyat pozitif olmalıdır ...!"_s, u"2"_s, u""_s, u"10"_s},
        {"discount empty", [](LineFields& f) { f.discountRate.clear(); },
         u"İskonto oranı sayısal olmalıdır ...!"_s, u"2"_s, u"12,50"_s, u"0"_s},
        {"discount negative", [](LineFields& f) { f.discountRate = u"-5"_s; },
         u"İskonto oranı >0 veya = 0 olmalıdır ...!"_s, u"2"_s, u"12,50"_s, u"0"_s},
        {"VAT empty", [](LineFields& f) { f.vatRate.clear(); }, u"KDV oranı seçilmelidir... !"_s,
         u"2"_s, u"12,50"_s, u"10"_s},
    };
    for (const auto& c : cases) {
        ReportModel model;
        layOut(model);
        LineFields f = goodLine();
        c.change(f);
        const AddLineOutcome out = addLine(f, u"SATIŞ"_s, model);
        EXPECT_EQ(out.kind, Kind::FieldRefused) << c.name;
        EXPECT_EQ(out.message, c.message) << c.name;
        EXPECT_EQ(f.quantity, c.quantity) << c.name;
        EXPECT_EQ(f.unitPrice, c.unitPrice) << c.name;
        EXPECT_EQ(f.discountRate, c.discountRate) << c.name;
        EXPECT_EQ(model.rowTotal(), 0) << c.name;
        EXPECT_EQ(model.columnTotal(), 10) << c.name;
    }
}

TEST(AddLine, RowCellsByInvoiceType) {
    const struct {
        QString type;
        QStringList typeHeaders;
        QStringList cells; // cells 0 … last
    } cases[] = {
        {u"SATIŞ"_s,
         {},
         {u"1"_s, u"Vida"_s, u"2"_s, u"Adet"_s, u"12,50"_s, u"10"_s, u"2,50"_s, u"22,50"_s, u"18"_s,
          u"4,05"_s}},
        {u"TEVKİFAT"_s,
         {u"Tevkifat Kodu"_s, u"Tevkifat Oranı"_s, u"Tevkifat Tutarı"_s},
         {u"1"_s, u"Vida"_s, u"2"_s, u"Adet"_s, u"12,50"_s, u"10"_s, u"2,50"_s, u"22,50"_s, u"18"_s,
          u"4,05"_s, u"YAPIM İŞLERİ % 50"_s, u"50"_s, u"2,03"_s}},
        {u"İSTİSNA"_s,
         {u"GTIP KODU"_s},
         {u"1"_s, u"Vida"_s, u"2"_s, u"Adet"_s, u"12,50"_s, u"10"_s, u"2,50"_s, u"22,50"_s, u"0"_s,
          u"0"_s, u"7318.15"_s}},
        {u"ÖZEL MATRAH"_s,
         {u"Özel Matrah Nedeni"_s, u"Özel Matrah Tutarı"_s},
         {u"1"_s, u"Vida"_s, u"2"_s, u"Adet"_s, u"12,50"_s, u"10"_s, u"2,50"_s, u"22,50"_s, u"18"_s,
          u"270,09"_s, u"801"_s, u"1.500,50"_s}},
    };
    for (const auto& c : cases) {
        ReportModel model;
        layOut(model, c.typeHeaders);
        LineFields f = goodLine();
        f.gtipCode = u"7318.15"_s;
        f.specialBaseReason = u"801-Milli Piyango"_s;
        if (c.type == u"ÖZEL MATRAH"_s)
            f.specialBase = u"1500,50"_s;
        if (c.type == u"TEVKİFAT"_s) {
            f.withholdingCode = u"YAPIM İŞLERİ % 50"_s;
            f.withholdingRate = u"50"_s;
        }
        const AddLineOutcome out = addLine(f, c.type, model);
        ASSERT_EQ(out.kind, Kind::Added) << c.type.toStdString();
        ASSERT_EQ(model.rowTotal(), 1);
        EXPECT_EQ(model.rowCells(0).mid(0, c.cells.size()), c.cells) << c.type.toStdString();
        for (int col = static_cast<int>(c.cells.size()); col < 13; ++col)
            EXPECT_TRUE(model.cell(0, col).isEmpty()) << c.type.toStdString() << " " << col;
    }
}

TEST(AddLine, LineNumbersFollowTheRowCount) {
    ReportModel model;
    QAbstractItemModelTester tester(&model);
    layOut(model);
    for (int n = 1; n <= 4; ++n) {
        LineFields f = goodLine();
        const AddLineOutcome out = addLine(f, u"SATIŞ"_s, model);
        ASSERT_EQ(out.kind, Kind::Added);
        EXPECT_EQ(out.row, n - 1);
        EXPECT_EQ(model.cell(n - 1, 0), QString::number(n));
    }
}

TEST(AddLine, ExtraTaxPairIsCreatedOnceAndFoundByItsFirstNineCharacters) {
    ReportModel model;
    layOut(model);
    LineFields f = goodLine();
    f.otherTax1Code = kTax;
    f.otherTax1Rate = u"7,5"_s;
    ASSERT_EQ(addLine(f, u"SATIŞ"_s, model).kind, Kind::Added);
    ASSERT_EQ(model.columnTotal(), 12);
    EXPECT_EQ(model.column(10).header, kTax);
    EXPECT_EQ(model.column(10).alignment, Qt::AlignHCenter);
    EXPECT_EQ(model.column(10).widthTwips, 1300);
    EXPECT_EQ(model.column(11).header, u"TV 1. LİSTE Tutarı"_s);
    EXPECT_EQ(model.column(11).alignment, Qt::AlignRight);
    EXPECT_EQ(model.column(11).widthTwips, 900);
    EXPECT_EQ(model.cell(0, 10), u"7,500"_s);
    EXPECT_EQ(model.cell(0, 11), u"1,69"_s);

    // Same first nine characters, other description: the existing pair is used.
    LineFields g = goodLine();
    g.otherTax2Code = u"0071-ÖTV başka%"_s;
    g.otherTax2Rate = u"4"_s;
    ASSERT_EQ(addLine(g, u"SATIŞ"_s, model).kind, Kind::Added);
    EXPECT_EQ(model.columnTotal(), 12);
    EXPECT_EQ(model.cell(1, 10), u"4,000"_s);
    EXPECT_EQ(model.cell(1, 11), u"0,90"_s);
    EXPECT_EQ(model.cell(0, 10), u"7,500"_s);

    // The taxes window knows a pair a line made as its own: removing the tax takes both columns.
    const QString entry = kTax.chopped(1);
    EXPECT_TRUE(taxes::isTaxAdded(model, entry));
    EXPECT_FALSE(taxes::addTaxColumns(model, entry));
    ASSERT_TRUE(taxes::removeTaxColumns(model, entry));
    EXPECT_EQ(model.columnTotal(), 10);
}

TEST(AddLine, ShortTaxCodeMatchesOnlyItsExactHeader) {
    ReportModel model;
    layOut(model);
    model.addColumn({u"KDV%abcdefg"_s, Qt::AlignHCenter, 1300});
    model.addColumn({u"x Tutarı"_s, Qt::AlignRight, 900});
    LineFields f = goodLine();
    f.otherTax1Code = u"KDV%"_s; // shorter than nine: the base column "KDV%" is its exact match
    f.otherTax1Rate = u"1"_s;
    ASSERT_EQ(addLine(f, u"SATIŞ"_s, model).kind, Kind::Added);
    EXPECT_EQ(model.columnTotal(), 12); // found, nothing appended
    EXPECT_EQ(model.cell(0, 10), QString());

    f = goodLine();
    f.otherTax1Code = u"9077-X%"_s;
    f.otherTax1Rate = u"2"_s;
    f.otherTax2Code = u"9077-X%"_s;
    f.otherTax2Rate = u"3"_s;
    ASSERT_EQ(addLine(f, u"SATIŞ"_s, model).kind, Kind::Added);
    ASSERT_EQ(model.columnTotal(), 14);
    EXPECT_EQ(model.column(13).header, u" Tutarı"_s);
    EXPECT_EQ(model.cell(1, 12), u"3,000"_s); // the second tax found the pair the first made
}

TEST(AddLine, UnreadableSpecialBaseIsRefusedNotTakenAsZero) {
    for (const QString& type : {u"ÖZEL MATRAH"_s, u"SATIŞ"_s}) {
        ReportModel model;
        layOut(model, {u"Özel Matrah Nedeni"_s, u"Özel Matrah Tutarı"_s});
        LineFields f = goodLine();
        f.specialBase = u"150,5,"_s; // the amount mask lets it through
        const AddLineOutcome out = addLine(f, type, model);
        EXPECT_EQ(out.kind, Kind::FieldRefused) << type.toStdString();
        EXPECT_EQ(out.message, u"Özel matrah tutarı sayısal olmalıdır ...!"_s);
        EXPECT_TRUE(f.specialBase.isEmpty());
        EXPECT_EQ(model.rowTotal(), 0);
    }
}

TEST(AddLine, TypeCellsAreWrittenAfterTheExtraTaxes) {
    // A tax whose first nine characters match "KDV Tutarı" writes over the VAT cells and the
    // customs code; the İSTİSNA cells written last put them back.
    ReportModel model;
    layOut(model, {u"GTIP KODU"_s});
    LineFields f = goodLine();
    f.gtipCode = u"7318.15"_s;
    f.otherTax1Code = u"KDV Tutarı ek%"_s;
    f.otherTax1Rate = u"5"_s;
    ASSERT_EQ(addLine(f, u"İSTİSNA"_s, model).kind, Kind::Added);
    EXPECT_EQ(model.columnTotal(), 11);
    EXPECT_EQ(model.cell(0, 8), u"0"_s);
    EXPECT_EQ(model.cell(0, 9), u"0"_s);
    EXPECT_EQ(model.cell(0, 10), u"7318.15"_s);

    // A match on the last column has no amount column beside it: the rate alone is written.
    ReportModel last;
    layOut(last, {u"9077-ABCD"_s});
    f = goodLine();
    f.otherTax1Code = u"9077-ABCDEF%"_s;
    f.otherTax1Rate = u"2"_s;
    ASSERT_EQ(addLine(f, u"SATIŞ"_s, last).kind, Kind::Added);
    EXPECT_EQ(last.columnTotal(), 11);
    EXPECT_EQ(last.cell(0, 10), u"2,000"_s);
    EXPECT_EQ(last.rowCells(0).size(), 11);
}
