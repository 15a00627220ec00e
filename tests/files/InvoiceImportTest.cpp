// "Excel Yükle": our own saved workbooks, templates written by openpyxl and by LibreOffice, the
// recomputation of each type, and every refusal leaving the invoice and the workbook alone.
#include "FilesFixture.h"

#include "files/InvoiceImport.h"
#include "files/InvoiceWorkbook.h"
#include "invoice/AmountWords.h"
#include "invoice/InvoiceType.h"
#include "invoice/Money.h"
#include "invoice/TaxColumns.h"
#include "invoice/Totals.h"
#include "support/Files.h"
#include "support/Openpyxl.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

using namespace Qt::StringLiterals;
using namespace tavlix::files;

namespace tavlix::test {
namespace {

const QString kTax = u"V0059-KONAKLAMA VERGİSİ"_s;

// Workbook rows from column B: name, quantity, unit, price, discount %, discount, amount, VAT %,
// VAT, then the type's and the taxes' columns.
QJsonArray row(std::initializer_list<QJsonValue> tail = {}, double quantity = 2) {
    QJsonArray r{u"Danışmanlık"_s, quantity,     u"Adet"_s, 10,          10,
                 QJsonValue(),     QJsonValue(), 18,        QJsonValue()};
    for (const QJsonValue& v : tail)
        r.append(v);
    return r;
}

struct Expect {
    int row;    // 0-based line
    int column; // 0-based list column
    QString text;
};

class Import : public FilesFixture {
protected:
    // A template as openpyxl writes it: `headers` in row 1 from A, `rows` from B2 (a null cell
    // stays empty).
    QString writeTemplate(const QString& name, const QStringList& headers, const QJsonArray& rows,
                          const QString& sheet = u"Sayfa1"_s) {
        const QString file = path(name);
        QFile data(file + u".json"_s);
        EXPECT_TRUE(data.open(QIODevice::WriteOnly | QIODevice::Truncate));
        data.write(QJsonDocument(QJsonObject{{u"headers"_s, QJsonArray::fromStringList(headers)},
                                             {u"rows"_s, rows}})
                       .toJson());
        data.close();
        const QString code = uR"(
import json
data = json.load(open(path + ".json", encoding="utf-8"))
wb = openpyxl.Workbook(); ws = wb.active; ws.title = "%1"
ws.append(data["headers"])
for r in data["rows"]:
    ws.append([None] + r)
wb.save(path)
)"_s.arg(sheet);
        EXPECT_TRUE(writeWithOpenpyxl(file, code));
        return file;
    }

    Result<QList<QStringList>> importInto(const QString& file, const ReportModel& lines,
                                          const QString& typeText) {
        auto imported = importInvoiceWorkbook(file, {lines.headers(), typeText}, prompt);
        if (!imported)
            return imported.error();
        return imported->rows;
    }
};

TEST_F(Import, SavedWorkbookComesBackWithTheSameLinesAndTotals) {
    struct Case {
        QString type;
        QStringList taxes;
        QList<QStringList> rows;
    };
    const Case cases[] = {
        {u"SATIŞ"_s,
         {kTax},
         {{u"1"_s, u"Danışmanlık"_s, u"2"_s, u"Saat"_s, u"1.250,00"_s, u"10"_s, u"250,00"_s,
           u"2.250,00"_s, u"18"_s, u"405,00"_s, u"5,000"_s, QString()},
          {u"2"_s, u"Kırtasiye"_s, u"1,5"_s, u"Adet"_s, u"3,33"_s, u"0"_s, u"0,00"_s, u"5,00"_s,
           u"8"_s, u"0,40"_s, u"0,000"_s, QString()},
          // 1,5 × 0,99 = 1,485: half to even, as the line editor rounds it.
          {u"3"_s, u"Kalem"_s, u"1,5"_s, u"Adet"_s, u"0,99"_s, u"0"_s, u"0,00"_s, u"1,48"_s,
           u"20"_s, u"0,30"_s, u"7,500"_s, QString()}}},
        {u"TEVKİFAT"_s,
         {},
         {{u"1"_s, u"Yemek"_s, u"3"_s, u"Adet"_s, u"100,00"_s, u"0"_s, u"0,00"_s, u"300,00"_s,
           u"20"_s, u"60,00"_s, u"604"_s, u"50"_s, u"30,00"_s}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type.toStdString());
        ReportModel lines;
        layOut(lines, c.type, c.taxes, c.rows);
        const QString before = totalsOf(lines, c.type);
        const QList<QStringList> savedRows = invoiceOf(lines, c.type).lines;
        const SaveResult saved =
            saveInvoiceWorkbook(invoiceOf(lines, c.type), m_dir.path(), prompt);
        ASSERT_EQ(saved.outcome, SaveOutcome::Saved);

        auto imported = importInto(saved.path, lines, c.type);
        ASSERT_TRUE(imported.ok()) << imported.message().toStdString();
        lines.setRows(imported.value());
        EXPECT_EQ(totalsOf(lines, c.type), before);
        for (int r = 0; r < lines.rowTotal(); ++r)
            EXPECT_EQ(lines.rowCells(r), savedRows.at(r)) << "line " << r + 1;
        EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.last().toStdString();
    }
}

TEST_F(Import, TemplatesOfEveryTypeAreRecomputedByTheTypeRules) {
    struct Case {
        QString type;
        QStringList taxes;
        QJsonArray rows;
        int lines;
        std::vector<Expect> expect;
        QStringList messages;
    };
    const QJsonValue empty;
    const Case cases[] = {
        {u"SATIŞ"_s,
         {kTax},
         // A negative quantity reads as 0; an empty name ends the rows.
         {row({5, empty}), row({5, empty}, -3),
          QJsonArray{empty, 1, u"Adet"_s, 1, 0, empty, empty, 18, empty, 0, empty},
          row({5, empty})},
         2,
         {{0, 4, u"10,00"_s},
          {0, 6, u"2,00"_s},
          {0, 7, u"18,00"_s},
          {0, 9, u"3,24"_s},
          {0, 11, u"0,90"_s},
          {1, 2, u"0"_s},
          {1, 7, u"0,00"_s},
          {1, 0, u"2"_s}},
         {}},
        {u"İADE"_s, {}, {row()}, 1, {{0, 7, u"18,00"_s}, {0, 9, u"3,24"_s}}, {}},
        {u"TEVKİFAT"_s,
         {},
         {row({u"601"_s, 50, empty}), row({u"601"_s, empty, 7})},
         2,
         {{0, 9, u"3,24"_s}, {0, 12, u"1,62"_s}, {1, 11, u"0"_s}, {1, 12, u"0,00"_s}},
         {u"Satır 2 tevkifat oranı 0'dan büyük olmalıdır !"_s}},
        {u"İSTİSNA"_s,
         {},
         {row({u"8471.30"_s})},
         1,
         {{0, 7, u"18,00"_s}, {0, 8, u"0"_s}, {0, 9, u"0"_s}, {0, 10, u"8471.30"_s}},
         {}},
        {u"ÖZEL MATRAH"_s,
         {},
         {row({u"801"_s, 100}), row({u"801"_s, 0})},
         2,
         {{0, 9, u"18,00"_s}, {0, 11, u"100,00"_s}, {1, 9, u"0,00"_s}, {1, 11, u"0,00"_s}},
         {u"Satır 2 Özel Matrah Tutarı 0'dan büyük olmalıdır !"_s}},
        {u"İHRAÇ KAYITLI"_s, {}, {row()}, 1, {{0, 9, u"3,24"_s}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type.toStdString());
        prompt.messages.clear();
        ReportModel lines;
        layOut(lines, c.type, c.taxes);
        const QString file = writeTemplate(u"şablon.xlsx"_s, lines.headers(), c.rows);
        const QByteArray digest = fileDigest(file);

        const auto imported = importInto(file, lines, c.type);
        ASSERT_TRUE(imported.ok()) << imported.message().toStdString();
        ASSERT_EQ(imported->size(), c.lines);
        for (const Expect& e : c.expect)
            EXPECT_EQ(imported->at(e.row).at(e.column), e.text)
                << "line " << e.row + 1 << " column " << e.column + 1;
        EXPECT_EQ(prompt.messages, c.messages);
        EXPECT_EQ(fileDigest(file), digest) << "the workbook is left unchanged";
    }
}

TEST_F(Import, RefusalsChangeNothing) {
    ReportModel sales;
    layOut(sales, u"SATIŞ"_s);
    ReportModel withholding;
    layOut(withholding, u"TEVKİFAT"_s);
    QStringList wrongHeader = sales.headers();
    wrongHeader[2] = u"Miktarı"_s;

    struct Case {
        const char* name;
        const ReportModel* lines;
        QString type;
        QStringList headers;
        QJsonArray rows;
        QString sheet;
        QString message;
    };
    const Case cases[] = {
        {"more columns than the list",
         &sales,
         u"SATIŞ"_s,
         sales.headers() << u"Fazla"_s,
         {row()},
         u"Sayfa1"_s,
         u"Yüklemeye çalıştığınız Excel'in sütun sayısı daha fazla ! Lütfen kontrol ediniz..."_s},
        {"a header differs",
         &sales,
         u"SATIŞ"_s,
         wrongHeader,
         {row()},
         u"Sayfa1"_s,
         u"Miktarı  bu Excel Sütun Adı hatalı ! Lütfen orjinal bir Şablon kullanınız."_s},
        {"quantity not a number",
         &sales,
         u"SATIŞ"_s,
         sales.headers(),
         {row(),
          QJsonArray{u"Kalem"_s, u"iki"_s, u"Adet"_s, 10, 0, QJsonValue(), QJsonValue(), 18}},
         u"Sayfa1"_s,
         u"Satır 2: Miktar sayısal değil."_s},
        {"withholding rate not a number",
         &withholding,
         u"TEVKİFAT"_s,
         withholding.headers(),
         {row({u"601"_s, u"yarım"_s, QJsonValue()})},
         u"Sayfa1"_s,
         u"Satır 1: Tevkifat Oranı sayısal değil."_s},
        {"no header row",
         &sales,
         u"SATIŞ"_s,
         {},
         {row()},
         u"Sayfa1"_s,
         u"Excel'in ilk satırında sütun adları yok ! Lütfen orjinal bir Şablon kullanınız."_s},
        {"no sheet Sayfa1", &sales, u"SATIŞ"_s, sales.headers(), {row()}, u"Fatura"_s, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.messages.clear();
        const QString file = writeTemplate(u"hatalı.xlsx"_s, c.headers, c.rows, c.sheet);
        const QByteArray digest = fileDigest(file);
        const auto imported = importInto(file, *c.lines, c.type);
        EXPECT_FALSE(imported.ok());
        ASSERT_EQ(prompt.messages.size(), 1) << "one message, no line warnings before it";
        if (c.message.isEmpty())
            EXPECT_TRUE(prompt.last().contains(u"Sayfa1"_s)) << prompt.last().toStdString();
        else
            EXPECT_EQ(prompt.last(), c.message);
        EXPECT_EQ(prompt.icons.last(), UserPrompt::Icon::Warning);
        EXPECT_EQ(fileDigest(file), digest);
    }
}

TEST_F(Import, WorkbookSavedByLibreOfficeImports) {
    ReportModel lines;
    layOut(lines, u"TEVKİFAT"_s);
    QDir(m_dir.path()).mkdir(u"lo"_s);
    const QString source = writeTemplate(u"lo-kaynak.xlsx"_s, lines.headers(),
                                         QJsonArray{QJsonValue(row({u"601"_s, 50, QJsonValue()}))});
    QProcess soffice;
    soffice.start(u"soffice"_s,
                  {u"-env:UserInstallation=file://"_s + path(u"lo-profil"_s), u"--headless"_s,
                   u"--convert-to"_s, u"xlsx"_s, u"--outdir"_s, path(u"lo"_s), source});
    if (!soffice.waitForFinished(240000)) {
        soffice.kill();
        soffice.waitForFinished();
        FAIL() << "LibreOffice did not finish";
    }
    const QString converted = path(u"lo/lo-kaynak.xlsx"_s);
    ASSERT_TRUE(QFile::exists(converted)) << soffice.readAllStandardError().toStdString();
    ASSERT_NE(fileDigest(converted), fileDigest(source));

    const auto imported = importInto(converted, lines, u"TEVKİFAT"_s);
    ASSERT_TRUE(imported.ok()) << imported.message().toStdString();
    ASSERT_EQ(imported->size(), 1);
    const QStringList& line = imported->first();
    EXPECT_EQ(line.mid(1, 10),
              (QStringList{u"Danışmanlık"_s, u"2"_s, u"Adet"_s, u"10,00"_s, u"10"_s, u"2,00"_s,
                           u"18,00"_s, u"18"_s, u"3,24"_s, u"601"_s}));
    EXPECT_EQ(line.at(12), u"1,62"_s);
}

// Long invoices with extra taxes above a million: every totals row is the sum of the line cells a
// user reads, and the saved invoice loaded into a fresh one brings its taxes, cells and totals.
TEST_F(Import, LongInvoiceTotalsAreTheSumsOfTheirLineCells) {
    auto kurus = [](QString text) { return text.remove(u'.').remove(u',').toLongLong(); };
    const QString stay = kTax, fund = u"V0061-KKDF"_s, five = u"5,000"_s, half = u"0,500"_s;
    const struct {
        int lines;
        double price, step; // unit price of line i: price + i × step
        QStringList taxes, rates;
        QString grandTotal; // when known by hand
    } cases[] = {
        {100, 12345.67, 0, {stay}, {five}, u"1.543.208,00"_s},
        {100, 1234567.89, 98765.43, {stay, fund}, {five, half}, {}},
        {1000, 1000000.01, 3333.37, {fund}, {half}, {}},
        {1000, 2500000.55, 777.77, {stay, fund}, {five, half}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        QList<QStringList> rows;
        for (int i = 0; i < c.lines; ++i) {
            const QString price = money::text(c.price + i * c.step);
            const QString vat = money::text(money::rnd2(money::value(price) * 0.2));
            const QString n = QString::number(i + 1);
            rows << QStringList{n,      u"Kalem"_s, u"1"_s, u"Adet"_s, price,
                                u"0"_s, u"0,00"_s,  price,  u"20"_s,   vat};
            for (const QString& rate : c.rates)
                rows.last() << rate << QString();
        }
        ReportModel lines, totals;
        layOut(lines, u"SATIŞ"_s, c.taxes, rows);
        const TotalsResult result = yekunal(lines, {Satis, u"SATIŞ"_s, {}, {}, {}});
        writeTotalsRows(totals, result);
        // Totals row → the line column it adds: goods, VAT, each tax's amounts.
        QList<std::pair<int, int>> sums = {{0, linecol::Amount}, {2, linecol::Vat}};
        for (int t = 0; t < c.taxes.size(); ++t)
            sums.append({3 + t, 11 + 2 * t});
        qlonglong grand = 0;
        for (const auto& [row, col] : sums) {
            qlonglong sum = 0;
            for (int r = 0; r < lines.rowTotal(); ++r)
                sum += kurus(lines.cell(r, col));
            EXPECT_EQ(kurus(totals.cell(row, 2)), sum) << totals.cell(row, 1).toStdString();
            grand += sum;
        }
        const QString grandText = totals.cell(totals.rowTotal() - 1, 2);
        EXPECT_EQ(kurus(grandText), grand);
        EXPECT_TRUE(c.grandTotal.isEmpty() || grandText == c.grandTotal) << grandText.toStdString();
        EXPECT_EQ(result.yazTopStr, u"Yalnız:"_s + YAZIYTL(grandText));
        EXPECT_EQ(result.checkTotal, grand);

        const auto saved = saveInvoiceWorkbook(invoiceOf(lines, u"SATIŞ"_s), m_dir.path(), prompt);
        ReportModel fresh;
        applyInvoiceType(fresh, Satis);
        auto imported =
            importInvoiceWorkbook(saved.path, {fresh.headers(), u"SATIŞ"_s, 10}, prompt);
        ASSERT_TRUE(imported.ok()) << imported.message().toStdString();
        taxes::arrangeColumns(fresh, imported->headers);
        fresh.setRows(imported->rows);
        EXPECT_EQ(totalsOf(fresh, u"SATIŞ"_s), totalsOf(lines, u"SATIŞ"_s));
        for (int r = 0; r < lines.rowTotal(); ++r)
            ASSERT_EQ(fresh.rowCells(r), lines.rowCells(r)) << "line " << r + 1;
        QFile::remove(saved.path);
    }
}

} // namespace
} // namespace tavlix::test
