// The month summary over a company folder the test fills: filed UBL XMLs of every type (three
// rates, a dollar invoice, a duplicate ETTN, broken files) and received lists by openpyxl and by
// the program; the window, its chart, its export read back, and the portal stand-in's packages.
#include "summary/SummaryChartView.h"
#include "summary/SummaryWindow.h"

#include "portal/PackageFiling.h"
#include "portal/UploadJournal.h"
#include "received/ReceivedInvoices.h"
#include "support/Files.h"
#include "support/MessageBoxes.h"
#include "support/Openpyxl.h"
#include "support/PortalDrafts.h"
#include "support/PortalSite.h"
#include "widgets/ReportModel.h"

#include <QBarSet>
#include <QComboBox>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <httplib.h>

using namespace Qt::StringLiterals;

namespace tavlix::summary {
namespace {

const QString kCompany = u"Firma"_s;

struct Vat {
    const char* rate;
    const char* taxable;
    const char* tax;
};

QByteArray sub(const char* code, const char* taxable, const char* tax, const char* rate,
               const char* currency) {
    return QByteArray("<cac:TaxSubtotal><cbc:TaxableAmount currencyID=\"") + currency + "\">" +
           taxable + "</cbc:TaxableAmount><cbc:TaxAmount currencyID=\"" + currency + "\">" + tax +
           "</cbc:TaxAmount><cbc:Percent>" + rate +
           "</cbc:Percent><cac:TaxCategory><cac:TaxScheme>"
           "<cbc:TaxTypeCode>" +
           code +
           "</cbc:TaxTypeCode></cac:TaxScheme></cac:TaxCategory>"
           "</cac:TaxSubtotal>";
}

// A UBL-TR invoice: VAT subtotals, optional withheld VAT and other tax (0071), and raw lines.
QByteArray ubl(const char* ettn, const char* date, const char* type, std::initializer_list<Vat> vat,
               const char* withheld = nullptr, const char* other = nullptr,
               const char* currency = "TRY", const char* rate = nullptr,
               const QByteArray& lines = {}) {
    QByteArray x = "<?xml version=\"1.0\"?><Invoice xmlns=\"urn:ubl:Invoice-2\" "
                   "xmlns:cac=\"urn:cac\" xmlns:cbc=\"urn:cbc\">"
                   "<cbc:UUID>" +
                   QByteArray(ettn) + "</cbc:UUID>";
    if (date)
        x += "<cbc:IssueDate>" + QByteArray(date) + "</cbc:IssueDate>";
    x += "<cbc:InvoiceTypeCode>" + QByteArray(type) + "</cbc:InvoiceTypeCode>" +
         "<cbc:DocumentCurrencyCode>" + currency + "</cbc:DocumentCurrencyCode>";
    if (rate)
        x += "<cac:PricingExchangeRate><cbc:CalculationRate>" + QByteArray(rate) +
             "</cbc:CalculationRate></cac:PricingExchangeRate>";
    x += "<cac:TaxTotal><cbc:TaxAmount>0</cbc:TaxAmount>";
    for (const Vat& v : vat)
        x += sub("0015", v.taxable, v.tax, v.rate, currency);
    if (other)
        x += sub("0071", "0", other, "5", currency);
    x += "</cac:TaxTotal>";
    if (withheld)
        x += "<cac:WithholdingTaxTotal><cbc:TaxAmount currencyID=\"" + QByteArray(currency) +
             "\">" + withheld + "</cbc:TaxAmount></cac:WithholdingTaxTotal>";
    return x + lines + "</Invoice>";
}

QByteArray line(const char* rate, const char* withheld) {
    return "<cac:InvoiceLine><cac:TaxTotal>" + sub("0015", "0", "0", rate, "TRY") +
           "</cac:TaxTotal><cac:WithholdingTaxTotal><cbc:TaxAmount>" + withheld +
           "</cbc:TaxAmount></cac:WithholdingTaxTotal></cac:InvoiceLine>";
}

class SummaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        company = dir.filePath(u"Firmalarım/"_s + kCompany);
        const QString xml = company + u"/Satış Faturaları/Xml/"_s;
        const std::pair<const char16_t*, QByteArray> files[] = {
            {u"a.xml", ubl("A", "2026-11-02", "SATIS", {{"20", "1000.00", "200.00"}})},
            {u"a-kopya.xml", ubl("a", "2026-11-02", "SATIS", {{"20", "1000.00", "200.00"}})},
            {u"b.xml",
             ubl("B", "2026-11-03", "SATIS", {{"10", "500.00", "50.00"}, {"20", "250", "50.004"}})},
            {u"c.xml", ubl("C", "2026-11-04", "IADE", {{"20", "100.00", "20.00"}})},
            {u"d.xml", ubl("D", "2026-11-05", "TEVKIFAT", {{"20", "1000.00", "200.00"}}, "100.00")},
            {u"j.xml", ubl("J", "2026-11-06", "TEVKIFAT",
                           {{"10", "300.00", "30.00"}, {"20", "200.00", "40.00"}}, "24.00", nullptr,
                           "TRY", nullptr, line("10", "9.00") + line("20", "15.00"))},
            {u"e.xml", ubl("E", "2026-11-07", "ISTISNA", {{"0", "3000.00", "0.00"}})},
            {u"f.xml", ubl("F", "2026-11-08", "OZELMATRAH", {{"20.0", "400.00", "80.00"}})},
            {u"g.xml", ubl("G", "2026-11-30", "IHRACKAYITLI", {{"1", "2000.00", "20.00"}})},
            {u"h.xml", ubl("H", "2026-11-09", "SATIS", {{"20", "100.00", "20.00"}}, nullptr, "5.00",
                           "USD", "32.5")},
            {u"i.xml", ubl("I", "2026-10-31", "SATIS", {{"20", "100.00", "20.00"}})},
            {u"kirik.xml", ubl("K", "2026-11-02", "SATIS", {{"20", "1.00", "0.20"}}).left(120)},
            {u"baska.xml", "<?xml version=\"1.0\"?><Order><UUID>X</UUID></Order>"},
            {u"tarihsiz.xml", ubl("T", nullptr, "SATIS", {{"20", "1.00", "0.20"}})},
        };
        for (const auto& [name, data] : files)
            test::writeFile(xml + QString::fromUtf16(name), data);

        // November's list as another producer writes it: texts, numbers, a row with no amount.
        const QString november = company + u"/Alış Faturaları/Firma 2026-11 eArşivFat.xlsx"_s;
        QDir().mkpath(company + u"/Alış Faturaları"_s);
        ASSERT_TRUE(test::writeWithOpenpyxl(november, uR"(wb = openpyxl.Workbook()
ws = wb.active
ws.append(["Firma", "Vergi no", "Fatura No", "Düzenleme Tarihi", "Düzenleme Zamanı",
           "Toplam Tutar", "Ödenecek Tutar", "Vergiler Toplamı", "Para Birimi"])
ws.append(["K", "1", "K1", "01-11-2026", "", "1.180,00", "1.180,00", "180,00", "TRY"])
ws.append(["E", "2", "E1", "08-11-2026", "", "2.360,50", "2.360,50", "360,08", "TRY"])
ws.append(["İ", "3", "I1", "17-11-2026", "", "12.500,00", "12.500,00", "2.250,00", "USD"])
ws.append(["Ö", "4", "O1", "20-11-2026", "", 59, 59, 9, "TRY"])
ws.append(["Ç", "5", "C1", "25-11-2026", "", "abc", "", "", "TRY"])
wb.save(path))"_s));
        // October's list lacks three invoices the site counted.
        const QString october = company + u"/Alış Faturaları/Firma 2026-10 eArşivFat.xlsx"_s;
        ASSERT_TRUE(received::writeReceivedInvoices(
            received::incompleteListPath(october),
            {{u"K"_s, u"1"_s, u"K0"_s, u"30-10-2026"_s, u""_s, u"118,00"_s, u"118,00"_s, u"18,00"_s,
              u"TRY"_s, u""_s, u"ELEKTRONIK"_s}},
            3));
    }

    static void waitUntilRead(SummaryWindow& w) {
        QElapsedTimer t;
        t.start();
        while (w.reading() && t.elapsed() < 20000)
            QTest::qWait(5);
        ASSERT_FALSE(w.reading());
    }

    QTemporaryDir dir;
    QString company;
};

const QList<QStringList> kNovemberSales = {
    {u"SATIŞ"_s, u"%10"_s, u"1"_s, u"500,00"_s, u"50,00"_s, u"0,00"_s, u"0,00"_s},
    {u"SATIŞ"_s, u"%20"_s, u"3"_s, u"4.500,00"_s, u"900,00"_s, u"0,00"_s, u"162,50"_s},
    {u"İADE"_s, u"%20"_s, u"1"_s, u"100,00"_s, u"20,00"_s, u"0,00"_s, u"0,00"_s},
    {u"TEVKİFAT"_s, u"%10"_s, u"1"_s, u"300,00"_s, u"30,00"_s, u"9,00"_s, u"0,00"_s},
    {u"TEVKİFAT"_s, u"%20"_s, u"2"_s, u"1.200,00"_s, u"240,00"_s, u"115,00"_s, u"0,00"_s},
    {u"İSTİSNA"_s, u"%0"_s, u"1"_s, u"3.000,00"_s, u"0,00"_s, u"0,00"_s, u"0,00"_s},
    {u"ÖZEL MATRAH"_s, u"%20"_s, u"1"_s, u"400,00"_s, u"80,00"_s, u"0,00"_s, u"0,00"_s},
    {u"İHRAÇ KAYITLI"_s, u"%1"_s, u"1"_s, u"2.000,00"_s, u"20,00"_s, u"0,00"_s, u"0,00"_s},
    {u"TOPLAM"_s, u""_s, u"9"_s, u"12.000,00"_s, u"1.340,00"_s, u"124,00"_s, u"162,50"_s},
};
const QString kUnreadable = u"3 dosya okunamadı: baska.xml, kirik.xml, tarihsiz.xml"_s;

TEST_F(SummaryTest, MonthsShowTheirTablesNotesAndChartAsTheyAreChosen) {
    test::MessageBoxes boxes;
    SummaryWindow w(dir.path(), {u"Başka"_s, kCompany}, kCompany, QDate(2026, 11, 15));
    w.show();
    waitUntilRead(w);
    auto* notes = w.findChild<QLabel*>(u"lblNotlar"_s);
    const struct {
        const char* month;
        QList<QStringList> sales;
        QList<QStringList> purchases;
        QString notes;
        double salesVat, receivedTaxes; // the chart's last bar pair
    } months[] = {
        {"Kasım 2026",
         kNovemberSales,
         {{u"TRY"_s, u"3"_s, u"3.599,50"_s, u"549,08"_s, u"3.599,50"_s},
          {u"USD"_s, u"1"_s, u"12.500,00"_s, u"2.250,00"_s, u"12.500,00"_s}},
         kUnreadable + u"\n9 faturanın portal onay durumu bilinmiyor (Portal Durumlarını "_s +
             u"Güncelle)\nAlış listesinde tutarı okunamayan satırlar hesaba katılmadı: 6"_s,
         1340.0,
         549.08},
        {"Ekim 2026",
         {{u"SATIŞ"_s, u"%20"_s, u"1"_s, u"100,00"_s, u"20,00"_s, u"0,00"_s, u"0,00"_s},
          {u"TOPLAM"_s, u""_s, u"1"_s, u"100,00"_s, u"20,00"_s, u"0,00"_s, u"0,00"_s}},
         {{u"TRY"_s, u"1"_s, u"118,00"_s, u"18,00"_s, u"118,00"_s}},
         kUnreadable + u"\n1 faturanın portal onay durumu bilinmiyor (Portal Durumlarını "_s +
             u"Güncelle)\nListe eksik: 3 fatura okunamadı"_s,
         20.0,
         18.0},
        {"Eylül 2026",
         {},
         {},
         kUnreadable + u"\nBu ay için kesilmiş fatura bulunamadı.\nBu ay için alış listesi yok "
                       u"(Fatura İndir ile indirilebilir)."_s,
         0.0,
         0.0},
    };
    auto* month = w.findChild<QComboBox*>(u"cmbAy"_s);
    month->setFocus();
    for (const auto& m : months) {
        SCOPED_TRACE(m.month);
        EXPECT_EQ(month->currentText(), QString::fromUtf8(m.month));
        EXPECT_EQ(w.salesModel().rowTotal(), m.sales.size());
        for (int r = 0; r < w.salesModel().rowTotal() && r < m.sales.size(); ++r)
            EXPECT_EQ(w.salesModel().rowCells(r), m.sales.at(r));
        for (int r = 0; r < w.purchaseModel().rowTotal(); ++r)
            EXPECT_EQ(w.purchaseModel().rowCells(r), m.purchases.value(r));
        EXPECT_EQ(w.purchaseModel().rowTotal(), m.purchases.size());
        EXPECT_EQ(notes->text(), m.notes);
        ASSERT_EQ(w.chart().salesVat()->count(), 12);
        EXPECT_DOUBLE_EQ(w.chart().salesVat()->at(11), m.salesVat);
        EXPECT_DOUBLE_EQ(w.chart().receivedTaxes()->at(11), m.receivedTaxes);
        QTest::keyClick(month, Qt::Key_Down);
    }
    // Chosen November again: its month sits last, October before it; hovering says both figures.
    QTest::keyClick(month, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(w.chart().salesVat()->at(10), 20.0);
    EXPECT_DOUBLE_EQ(w.chart().receivedTaxes()->at(10), 18.0);
    w.chart().showMonth(11);
    EXPECT_EQ(w.findChild<QLabel*>(u"lblDurum"_s)->text(),
              u"Kasım 2026 — Satış KDV: 1.340,00 TL, Alış vergileri: 549,08 TL (döviz faturaları "
              u"hariç)"_s);
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(SummaryTest, ExportIsReadBackAndAskedBeforeReplacingOrRefusedWhileOpenElsewhere) {
    test::MessageBoxes boxes;
    SummaryWindow w(dir.path(), {kCompany}, kCompany, QDate(2026, 11, 15));
    w.show();
    waitUntilRead(w);
    auto* exportButton = w.findChild<QPushButton*>(u"cmdAktar"_s);
    QTest::mouseClick(exportButton, Qt::LeftButton);
    const QString name = u"Firma 2026-11 Aylık Özet.xlsx"_s;
    const QString path = company + u'/' + name;
    EXPECT_EQ(boxes.texts(), QStringList{name + u" kaydedildi."_s});

    const QJsonObject book = test::readWithOpenpyxl(path);
    EXPECT_EQ(book.value(u"sheets"_s).toArray(), (QJsonArray{u"Satışlar"_s, u"Alışlar"_s}));
    const QJsonObject sold = book[u"cells"_s][u"Satışlar"_s].toObject();
    EXPECT_EQ(sold[u"A1"_s], u"Fatura Türü"_s);
    EXPECT_EQ(sold[u"G1"_s], u"Diğer Vergiler"_s);
    EXPECT_EQ(sold[u"A3"_s], u"SATIŞ"_s);
    EXPECT_EQ(sold[u"B3"_s].toDouble(), 20);
    EXPECT_EQ(sold[u"D3"_s].toDouble(), 4500);
    EXPECT_EQ(sold[u"G3"_s].toDouble(), 162.5);
    EXPECT_EQ(sold[u"A10"_s], u"TOPLAM"_s);
    EXPECT_EQ(sold[u"C10"_s].toDouble(), 9);
    EXPECT_EQ(sold[u"E10"_s].toDouble(), 1340);
    EXPECT_EQ(sold[u"F10"_s].toDouble(), 124);
    const QJsonObject bought = book[u"cells"_s][u"Alışlar"_s].toObject();
    EXPECT_EQ(bought[u"A3"_s], u"USD"_s);
    EXPECT_EQ(bought[u"D2"_s].toDouble(), 549.08);
    EXPECT_TRUE(book[u"styles"_s][u"Satışlar"_s][u"G1"_s][u"bold"_s].toBool());
    EXPECT_TRUE(book[u"styles"_s][u"Alışlar"_s][u"A1"_s][u"bold"_s].toBool());
    EXPECT_FALSE(book[u"styles"_s][u"Alışlar"_s][u"A2"_s][u"bold"_s].toBool());
    EXPECT_TRUE(test::writeWithOpenpyxl(path, uR"(wb = openpyxl.load_workbook(path)
for sheet, cells in (("Satışlar", ("D2", "E10", "G3")), ("Alışlar", ("C2", "E3"))):
    for c in cells:
        assert wb[sheet][c].number_format == "#,##0.00", (sheet, c, wb[sheet][c].number_format)
assert wb["Satışlar"]["C2"].number_format == "General")"_s));

    // The same name: "Hayır" keeps the file; while a spreadsheet program holds it, no save.
    const QByteArray before = test::fileDigest(path);
    boxes.clear();
    boxes.answer(QMessageBox::No);
    QTest::mouseClick(exportButton, Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), QStringList{name + u" zaten var. Üzerine yazılsın mı?"_s});
    test::writeFile(company + u"/.~lock."_s + name + u'#', "kilit");
    boxes.clear();
    boxes.answer(QMessageBox::Yes);
    QTest::mouseClick(exportButton, Qt::LeftButton);
    ASSERT_EQ(boxes.texts().size(), 2);
    EXPECT_EQ(boxes.texts().at(1), u"Özet kaydedilemedi: "_s + name + u"\n"_s + name +
                                       u" başka bir programda açık. Kapatıp yeniden deneyin."_s);
    EXPECT_EQ(test::fileDigest(path), before);
}

// The states "Portal Durumlarını Güncelle" leaves in the journal decide what is summed: only the
// unsigned and the deleted drafts are left out, the unknown ones are summed and named; the chart
// and the export follow.
TEST_F(SummaryTest, ApprovalStatesDecideWhatIsSummed) {
    test::MessageBoxes boxes;
    SummaryWindow w(dir.path(), {kCompany}, kCompany, QDate(2026, 11, 15));
    const QList<std::pair<const char*, const char*>> states{
        {"A", "Onaylandı"}, {"B", "Onaylanmadı"}, {"D", "Onaylanmadı"},
        {"C", "Silinmiş"},  {"E", "?"},           {"F", "portalda bulunamadı"}};
    w.setStateRefresh([&](const QString& name, const Month& month) {
        EXPECT_EQ(name, kCompany);
        EXPECT_EQ(month, (Month{2026, 11}));
        QList<portal::JournalEntry> journal;
        for (const auto& [ettn, state] : states) {
            portal::JournalEntry e;
            e.ettn = QString::fromUtf8(ettn);
            e.approvalState = QString::fromUtf8(state);
            e.outcome = QString::fromUtf16(portal::kJournalPrepared);
            journal << e;
        }
        ASSERT_TRUE(portal::writeJournal(*portal::journalPath(dir.path(), kCompany), journal));
    });
    w.show();
    waitUntilRead(w);
    QTest::mouseClick(w.findChild<QPushButton*>(u"cmdPortalDurum"_s), Qt::LeftButton);

    const QString left =
        u"5 faturanın portal onay durumu bilinmiyor (Portal Durumlarını Güncelle)"_s
        u"\n2 fatura onaylanmadı (toplam 2.050,00 TL), 1 fatura silinmiş: özete "_s
        u"katılmadı"_s;
    EXPECT_TRUE(w.findChild<QLabel*>(u"lblNotlar"_s)->text().startsWith(kUnreadable + u'\n' + left))
        << w.findChild<QLabel*>(u"lblNotlar"_s)->text().toStdString();
    const int last = w.salesModel().rowTotal() - 1;
    EXPECT_EQ(w.salesModel().rowCells(last),
              (QStringList{u"TOPLAM"_s, u""_s, u"6"_s, u"10.150,00"_s, u"1.020,00"_s, u"24,00"_s,
                           u"162,50"_s}));
    EXPECT_DOUBLE_EQ(w.chart().salesVat()->at(11), 1020.0);

    QTest::mouseClick(w.findChild<QPushButton*>(u"cmdAktar"_s), Qt::LeftButton);
    const QJsonObject sold =
        test::readWithOpenpyxl(company +
                               u"/Firma 2026-11 Aylık Özet.xlsx"_s)[u"cells"_s][u"Satışlar"_s]
            .toObject();
    const QString total = u"A%1"_s.arg(last + 2);
    EXPECT_EQ(sold[total], u"TOPLAM"_s);
    EXPECT_EQ(sold[u"E%1"_s.arg(last + 2)].toDouble(), 1020);
    EXPECT_EQ(sold[u"A%1"_s.arg(last + 4)].toString() + u'\n' +
                  sold[u"A%1"_s.arg(last + 5)].toString(),
              left);
}

// The stand-in portal's own packages, fetched by its "İndir" and filed by unzip, are summed.
TEST_F(SummaryTest, PortalPackagesFiledByUnzipAreSummed) {
    test::PortalSite site;
    test::PortalDrafts drafts(site.server());
    ASSERT_TRUE(site.start());
    httplib::Client http("127.0.0.1", site.server().port());
    const QJsonObject invoices[] = {
        QJsonObject{{u"ettn"_s, u"E2E-1"_s},
                    {u"faturaTarihi"_s, u"05/11/2026"_s},
                    {u"paraBirimi"_s, u"Türk Lirası"_s},
                    {u"faturaTipi"_s, u"SATIS"_s},
                    {u"satirlar"_s, QJsonArray{QJsonObject{{u"kdvOrani"_s, u"20"_s},
                                                           {u"net"_s, u"1.000,00"_s},
                                                           {u"kdv"_s, u"200,00"_s}},
                                               QJsonObject{{u"kdvOrani"_s, u"10"_s},
                                                           {u"net"_s, u"250,00"_s},
                                                           {u"kdv"_s, u"25,00"_s}}}}},
        QJsonObject{{u"ettn"_s, u"E2E-2"_s},
                    {u"faturaTarihi"_s, u"06/11/2026"_s},
                    {u"paraBirimi"_s, u"ABD Doları"_s},
                    {u"dovizKuru"_s, u"32,5"_s},
                    {u"faturaTipi"_s, u"TEVKIFAT"_s},
                    {u"satirlar"_s, QJsonArray{QJsonObject{{u"kdvOrani"_s, u"20"_s},
                                                           {u"net"_s, u"100,00"_s},
                                                           {u"kdv"_s, u"20,00"_s},
                                                           {u"tevkifat"_s, u"8,00"_s},
                                                           {u"tevkifatKodu"_s, u"601"_s}}}}},
    };
    const QString temp = dir.filePath(u"Firmalarım/Portal/Satış Faturaları/Temp/"_s);
    for (const QJsonObject& invoice : invoices) {
        const QString ettn = invoice.value(u"ettn"_s).toString();
        const auto saved = http.Post("/api/taslak", QJsonDocument(invoice).toJson().toStdString(),
                                     "application/json");
        ASSERT_TRUE(saved && saved->status == 200);
        const auto package = http.Get("/indir?ettn=" + ettn.toStdString());
        ASSERT_TRUE(package && package->status == 200);
        test::writeFile(temp + ettn + u".zip"_s, QByteArray::fromStdString(package->body));
        const auto filed =
            portal::unzip({dir.path(), u"Portal"_s, ettn, u"06-11-2026"_s, ettn + u".zip"_s, ettn});
        ASSERT_TRUE(filed.ok()) << filed.message().toStdString();
    }
    SalesFolderReader reader(*salesXmlFolder(dir.path(), u"Portal"_s));
    reader.readAll();
    EXPECT_TRUE(reader.unreadable().isEmpty()) << reader.reasons().join(u' ').toStdString();
    EXPECT_EQ(
        salesTexts(salesTable(reader.invoices(), Month{2026, 11})),
        (QList<QStringList>{
            {u"SATIŞ"_s, u"%10"_s, u"1"_s, u"250,00"_s, u"25,00"_s, u"0,00"_s, u"0,00"_s},
            {u"SATIŞ"_s, u"%20"_s, u"1"_s, u"1.000,00"_s, u"200,00"_s, u"0,00"_s, u"0,00"_s},
            {u"TEVKİFAT"_s, u"%20"_s, u"1"_s, u"3.250,00"_s, u"650,00"_s, u"260,00"_s, u"0,00"_s},
            {u"TOPLAM"_s, u""_s, u"2"_s, u"4.500,00"_s, u"875,00"_s, u"260,00"_s, u"0,00"_s}}));
}

} // namespace
} // namespace tavlix::summary
