#include "invoice/InvoiceType.h"
#include "invoice/LineList.h"
#include "invoice/Totals.h"
#include "widgets/ReportModel.h"

#include <QAbstractItemModelTester>
#include <QLoggingCategory>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

struct TypeCase {
    const char* name;
    int type;
    QString text;
    QStringList typeHeaders;
    QList<int> typeWidths;
    QColor color;
    bool returnShown;
    int firstExtraTax;
};

class InvoiceTypes : public ::testing::TestWithParam<TypeCase> {};

TEST_P(InvoiceTypes, ColumnsColourAndButtons) {
    const TypeCase& c = GetParam();
    ReportModel lines;
    lines.appendRow({u"1"_s, u"eski satır"_s});
    lines.setTextColor(Qt::green);
    applyInvoiceType(lines, c.type);

    EXPECT_EQ(invoiceTypeText(c.type), c.text);
    EXPECT_EQ(invoiceTypeFromText(c.text), c.type);
    const QStringList headers = lines.headers();
    EXPECT_EQ(
        headers.mid(0, kBaseColumnCount),
        (QStringList{u"s"_s, u"Mal Hizmet Türü"_s, u"Miktar"_s, u"Birim"_s, u"Birim Fiyat"_s,
                     u"İsk%"_s, u"İsk.Tutarı"_s, u"Mal/Hiz.Tutarı"_s, u"KDV%"_s, u"KDV Tutarı"_s}));
    EXPECT_EQ(headers.mid(kBaseColumnCount), c.typeHeaders);
    for (int i = 0; i < c.typeWidths.size(); ++i)
        EXPECT_EQ(lines.column(kBaseColumnCount + i).widthTwips, c.typeWidths.at(i));
    EXPECT_EQ(lines.textColor(), c.color);
    EXPECT_EQ(showsReturnReferences(c.type), c.returnShown);
    EXPECT_EQ(firstExtraTaxColumn(c.type), c.firstExtraTax);
    EXPECT_EQ(lines.columnTotal(), c.firstExtraTax);
    EXPECT_EQ(lines.rowTotal(), 1); // the layout never removes rows
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, InvoiceTypes,
    ::testing::Values(
        TypeCase{"satis", Satis, u"SATIŞ"_s, {}, {}, Qt::black, false, 10},
        TypeCase{"iade", Iade, u"İADE"_s, {}, {}, QColor(255, 0, 0), true, 10},
        TypeCase{"tevkifat",
                 Tevkifat,
                 u"TEVKİFAT"_s,
                 {u"Tevkifat Kodu"_s, u"Tevkifat Oranı"_s, u"Tevkifat Tutarı"_s},
                 {1300, 1350, 1400},
                 QColor(0, 0, 255),
                 false,
                 13},
        TypeCase{"istisna", Istisna, u"İSTİSNA"_s, {u"GTIP KODU"_s}, {1000}, Qt::black, false, 11},
        TypeCase{"ozel_matrah",
                 OzelMatrah,
                 u"ÖZEL MATRAH"_s,
                 {u"Özel Matrah Nedeni"_s, u"Özel Matrah Tutarı"_s},
                 {1000, 1000},
                 Qt::black,
                 false,
                 12},
        TypeCase{"ihrac_kayitli", IhracKayitli, u"İHRAÇ KAYITLI"_s, {}, {}, Qt::black, false, 10},
        TypeCase{"none", -1, QString(), {}, {}, Qt::black, false, 10}),
    [](const ::testing::TestParamInfo<TypeCase>& info) { return std::string(info.param.name); });

TEST(Temelfatura, BaseAlignmentsAndWidths) {
    ReportModel lines;
    applyInvoiceType(lines, Tevkifat);
    temelfatura(lines);
    const QList<int> widths = {290, 4200, 900, 900, 1200, 650, 1200, 1200, 700, 1100};
    const QList<Qt::Alignment> aligns = {
        Qt::AlignLeft,    Qt::AlignLeft,  Qt::AlignRight, Qt::AlignHCenter, Qt::AlignRight,
        Qt::AlignHCenter, Qt::AlignRight, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignRight};
    ASSERT_EQ(lines.columnTotal(), kBaseColumnCount);
    for (int c = 0; c < kBaseColumnCount; ++c) {
        EXPECT_EQ(lines.column(c).widthTwips, widths.at(c)) << c;
        EXPECT_EQ(lines.column(c).alignment, aligns.at(c)) << c;
    }
    EXPECT_EQ(lines.textColor(), QColor(Qt::black));
}

// Collects what QAbstractItemModelTester reports in its warning mode.
QStringList g_modelFaults;
QtMessageHandler g_previousHandler = nullptr;

void collectModelFaults(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (context.category && QByteArray(context.category) == "qt.modeltest" && type != QtDebugMsg)
        g_modelFaults.append(message);
    else if (g_previousHandler)
        g_previousHandler(type, context, message);
}

TEST(ReportModelContract, HoldsWhileColumnsAndRowsChange) {
    g_modelFaults.clear();
    g_previousHandler = qInstallMessageHandler(collectModelFaults);
    {
        ReportModel lines;
        QAbstractItemModelTester tester(&lines,
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        applyInvoiceType(lines, Satis);
        for (int i = 1; i <= 5; ++i)
            lines.appendRow({QString::number(i), u"Mal"_s, u"1"_s, u"Adet"_s, u"10"_s, u"0"_s,
                             u"0"_s, u"10,00"_s, u"18"_s, u"1,80"_s});
        lines.addColumn({u"ÖTV"_s, Qt::AlignRight, 1000});
        lines.addColumn({u"ÖTV Tutarı"_s, Qt::AlignRight, 1000});
        TotalsInput input{Satis, u"SATIŞ"_s, {}, {}, {}};
        yekunal(lines, input);
        lines.setCell(0, 1, u"Değişti"_s);
        lines.setCell(0, 20, u"görünmez"_s); // beyond the columns: stored, not shown
        deleteLineAndRenumber(lines, 2);
        lines.removeColumnsWithCells(10, 2);
        applyInvoiceType(lines, Tevkifat);
        lines.appendRows({{u"5"_s}, {u"6"_s}});
        lines.removeRowAt(0);
        lines.setTextColor(Qt::blue);
        lines.clearRows();
        lines.clearColumns();
        lines.appendRow({u"x"_s}); // a row while there are no columns
    }
    qInstallMessageHandler(g_previousHandler);
    EXPECT_TRUE(g_modelFaults.isEmpty()) << g_modelFaults.join(u'\n').toStdString();
}

TEST(ReportModelContract, RemovingColumnsKeepsLaterCellsUnderTheirHeaders) {
    ReportModel lines;
    applyInvoiceType(lines, Satis);
    lines.addColumn({u"A"_s, Qt::AlignRight, 1000});
    lines.addColumn({u"A Tutarı"_s, Qt::AlignRight, 1000});
    lines.addColumn({u"B"_s, Qt::AlignRight, 1000});
    lines.addColumn({u"B Tutarı"_s, Qt::AlignRight, 1000});
    QStringList cells(10, u"-"_s);
    lines.appendRow(cells + QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s});
    lines.removeColumnsWithCells(10, 2);
    EXPECT_EQ(lines.headers().mid(10), (QStringList{u"B"_s, u"B Tutarı"_s}));
    EXPECT_EQ(lines.rowCells(0).mid(10), (QStringList{u"3"_s, u"4"_s}));
    EXPECT_EQ(lines.findColumn(u"B Tutarı"_s), 11);
    EXPECT_EQ(lines.data(lines.index(0, 11)).toString(), u"4"_s);
}

} // namespace
} // namespace tavlix
