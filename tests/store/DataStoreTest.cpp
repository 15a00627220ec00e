// DATA.xlsx as users leave it after editing it in a spreadsheet program, through the workbook
// service: formula rows, shared and array formulas, the calculation chain, lock files, sheet-name
// case, and a round trip through LibreOffice.
#include "LibreOffice.h"

#include "store/DataStore.h"
#include "store/XlsxPackage.h"
#include "support/Files.h"
#include "support/Openpyxl.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix;
using namespace tavlix::store;

namespace {

const QString kOpenElsewhere = u"DATA.xlsx başka bir programda açık. Kapatıp yeniden deneyin."_s;

NewCustomer newCustomer(const QString& address) {
    NewCustomer c;
    c.displayName = u"Yeni Müşteri "_s;
    c.address = address;
    c.country = u"TÜRKİYE"_s;
    c.taxOffice = u"Konak"_s;
    c.taxNumber = u"0987654321"_s;
    c.email = u"yeni@example.com"_s;
    return c;
}

const QStringList kNewCard = {u"K9"_s, u"Alfa Ltd"_s, u"Somun"_s, u"Adet"_s, u"2,5"_s};

QByteArray partOf(const QString& path, const QString& part) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    auto zip = detail::ZipArchive::fromBytes(f.readAll());
    if (!zip)
        return {};
    return zip.value()->read(part).value_or(QByteArray());
}

QString formulaL(int row) {
    return u"=IF(C%1=\"\",\"\",\"x\")"_s.arg(row);
}
QString formulaC(int row) {
    return u"=IF(A%1=\"\",\"\",A%1)"_s.arg(row);
}
QString formulaQ(int row) {
    return u"=IF(C%1=\"\",\"\",E%1*2)"_s.arg(row);
}

class EditedWorkbookTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath(u"DATA.xlsx"_s);
        ASSERT_TRUE(test::writeEditedDataWorkbook(path));
    }
    QStringList filesInDir() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_F(EditedWorkbookTest, NewCardsGoBelowFormulaRowsAndEveryFormulaSurvives) {
    const QByteArray chain = partOf(path, u"xl/calcChain.xml"_s);
    ASSERT_FALSE(chain.isEmpty());
    const DataStore data(path);
    // A control character must reach the file escaped, or no reader accepts the file.
    const auto added = data.addCustomer(newCustomer(u"Kat\u0001 3"_s));
    ASSERT_TRUE(added.ok()) << added.message().toStdString();
    EXPECT_FALSE(added->duplicate);
    EXPECT_EQ(added->row, 7) << "L2:L6 hold a formula filled down";
    const auto card = data.addStockCard(kNewCard);
    ASSERT_TRUE(card.ok()) << card.message().toStdString();
    EXPECT_EQ(card.value(), 6) << "C3:C5 hold a formula; Q beside the cards takes no row";

    const auto tables = data.editorTables(u"Alfa Ltd"_s, 21);
    ASSERT_TRUE(tables.ok());
    EXPECT_EQ(tables->cardNames, (QStringList{u"Vida"_s, u"Somun"_s}));
    const auto found = data.customer(u"Yeni Müşteri "_s);
    ASSERT_TRUE(found.ok() && found->has_value());
    EXPECT_EQ((*found)->address, u"Kat\u0001 3"_s);
    EXPECT_EQ(data.addCustomer(newCustomer(QString()))->duplicate, true);

    const QJsonObject book = test::readWithOpenpyxl(path);
    const QJsonObject m = book[u"cells"_s][u"mDATA"_s].toObject();
    const QJsonObject s = book[u"cells"_s][u"sDATA"_s].toObject();
    for (int row = 2; row <= 6; ++row)
        EXPECT_EQ(m[u"L%1"_s.arg(row)].toString(), formulaL(row)) << row;
    for (int row = 3; row <= 5; ++row)
        EXPECT_EQ(s[u"C%1"_s.arg(row)].toString(), formulaC(row)) << row;
    for (int row = 2; row <= 8; ++row)
        EXPECT_EQ(s[u"Q%1"_s.arg(row)].toString(), formulaQ(row)) << row;
    EXPECT_EQ(s[u"R2"_s].toString(), u"=E2:E3*2"_s);
    EXPECT_EQ(m[u"D2"_s].toString(), u"Cad.\u0007No:5"_s);
    EXPECT_EQ(m[u"C7"_s].toString(), u"Yeni Müşteri "_s);
    EXPECT_EQ(m[u"D7"_s].toString(), u"Kat\u0001 3"_s);
    EXPECT_EQ(m[u"G7"_s].toString(), u"0987654321"_s);
    EXPECT_EQ(s[u"C6"_s].toString(), u"Somun"_s);
    EXPECT_EQ(s[u"E6"_s].toString(), u"2,5"_s);
    EXPECT_EQ(s[u"C2"_s].toString(), u"Vida"_s);
    EXPECT_EQ(book[u"validations"_s][u"mDATA"_s].toArray(), QJsonArray{u"E2:E100"_s});

    // The chain still lists exactly the formula cells; spreadsheet programs recompute on open.
    EXPECT_EQ(partOf(path, u"xl/calcChain.xml"_s), chain);
    EXPECT_TRUE(partOf(path, u"xl/_rels/workbook.xml.rels"_s).contains("calcChain.xml"));
    EXPECT_TRUE(partOf(path, u"[Content_Types].xml"_s).contains("/xl/calcChain.xml"));
    EXPECT_TRUE(partOf(path, u"xl/workbook.xml"_s).contains("fullCalcOnLoad=\"1\""));
}

TEST_F(EditedWorkbookTest, WritesOverFormulasAreRefusedNamingTheCell) {
    const QByteArray before = test::fileDigest(path);
    const struct {
        QString sheet;
        int row;
        int column;
        QString text;
        QString cell;
    } cases[] = {
        {u"mDATA"_s, 2, 12, u"x"_s, u"mDATA!L2"_s},    // master of a shared group
        {u"mDATA"_s, 4, 12, QString(), u"mDATA!L4"_s}, // cleared member of the group
        {u"sDATA"_s, 2, 18, QString(), u"sDATA!R2"_s}, // array formula
        {u"sDATA"_s, 3, 18, u"1"_s, u"sDATA!R3"_s},    // inside the array's range
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell.toStdString());
        auto book = Workbook::open(path);
        ASSERT_TRUE(book.ok());
        Worksheet* sheet = (*book)->sheet(c.sheet);
        ASSERT_NE(sheet, nullptr);
        sheet->writeText(5, 1, u"kalır mı"_s);
        sheet->writeText(c.row, c.column, c.text);
        const Result<void> saved = (*book)->save();
        ASSERT_FALSE(saved.ok());
        EXPECT_TRUE(saved.message().contains(c.cell)) << saved.message().toStdString();
        EXPECT_EQ(test::fileDigest(path), before);
    }
}

TEST_F(EditedWorkbookTest, ASaveWhileAnotherProgramHoldsTheFileWritesNothing) {
    const QByteArray before = test::fileDigest(path);
    const DataStore data(path);
    for (const QString& lock : {u".~lock.DATA.xlsx#"_s, u"~$DATA.xlsx"_s}) {
        SCOPED_TRACE(lock.toStdString());
        QFile lockFile(dir.filePath(lock));
        ASSERT_TRUE(lockFile.open(QIODevice::WriteOnly));
        lockFile.close();
        const auto customer = data.addCustomer(newCustomer(u"Adres"_s));
        ASSERT_FALSE(customer.ok());
        EXPECT_EQ(customer.message(), kOpenElsewhere);
        const auto card = data.addStockCard(kNewCard);
        ASSERT_FALSE(card.ok());
        EXPECT_EQ(card.message(), kOpenElsewhere);
        EXPECT_EQ(test::fileDigest(path), before);
        QStringList expected = {lock, u"DATA.xlsx"_s};
        expected.sort();
        QStringList files = filesInDir();
        files.sort();
        EXPECT_EQ(files, expected) << "no temporary file is left";
        ASSERT_TRUE(lockFile.remove());
    }
    EXPECT_TRUE(data.addStockCard(kNewCard).ok());
}

TEST(DataStore, SheetNamesAreFoundWithoutRegardToCase) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"DATA.xlsx"_s);
    ASSERT_TRUE(test::writeWithOpenpyxl(path, uR"(
wb = openpyxl.Workbook()
prg = wb.active
prg.title = "PRGdata"
prg["B2"] = "Alfa Ltd"
kod = wb.create_sheet("KODDATA")
kod["H2"] = "SATIŞ"
wb.create_sheet("Sdata")["C1"] = "ÜRÜN/HİZMET ADI*"
m = wb.create_sheet("MDATA")
m["C2"] = "Eski "
m["F2"] = "Konak"
wb.save(path)
)"_s));
    const DataStore data(path);
    const auto startUp = data.startUpData(21);
    ASSERT_TRUE(startUp.ok()) << startUp.message().toStdString();
    EXPECT_EQ(startUp->companies, QStringList{u"Alfa Ltd"_s});
    EXPECT_EQ(startUp->invoiceTypes, QStringList{u"SATIŞ"_s});
    const auto selection = data.companySelection(u"Alfa Ltd"_s, 21);
    ASSERT_TRUE(selection.ok());
    EXPECT_TRUE(selection->settings.has_value());
    EXPECT_EQ(selection->customers, QStringList{u"Eski "_s});
    EXPECT_EQ(data.addCustomer(newCustomer(u"Adres"_s))->row, 3);
    EXPECT_EQ(data.addStockCard(kNewCard).value(), 2);
}

namespace {

// One CSV file of LibreOffice as rows of cells (quoted fields, doubled quotes).
QList<QStringList> readCsv(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(f.readAll());
    QList<QStringList> rows(1);
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                cell += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            rows.last().append(cell);
            cell.clear();
        } else if (c == u'\n') {
            rows.last().append(cell);
            cell.clear();
            rows.append(QStringList());
        } else if (c != u'\r') {
            cell += c;
        }
    }
    rows.last().append(cell);
    return rows;
}

QString at(const QList<QStringList>& rows, int row, int column) {
    return row - 1 < rows.size() && column - 1 < rows[row - 1].size() ? rows[row - 1][column - 1]
                                                                      : QString();
}

} // namespace

TEST_F(EditedWorkbookTest, LibreOfficeSavesTavlixWritesLibreOfficeReadsEverythingBack) {
    if (!test::haveLibreOffice())
        GTEST_SKIP() << "libreoffice-calc-nogui is not installed (scripts/setup installs it)";
    const QString saved = dir.filePath(u"lo"_s);
    ASSERT_TRUE(QDir().mkpath(saved));
    ASSERT_TRUE(test::convertWithLibreOffice(path, u"xlsx:Calc MS Excel 2007 XML"_s, saved));
    const QString edited = saved + u"/DATA.xlsx"_s;
    ASSERT_TRUE(QFile::exists(edited));

    const DataStore data(edited);
    const auto added = data.addCustomer(newCustomer(u"Kat 3"_s));
    ASSERT_TRUE(added.ok()) << added.message().toStdString();
    EXPECT_EQ(added->row, 7);
    const auto card = data.addStockCard(kNewCard);
    ASSERT_TRUE(card.ok()) << card.message().toStdString();
    EXPECT_EQ(card.value(), 6);

    const QString csv = dir.filePath(u"csv"_s);
    ASSERT_TRUE(QDir().mkpath(csv));
    // Comma, quote, UTF-8, formulas instead of their results, every sheet into its own file.
    ASSERT_TRUE(test::convertWithLibreOffice(
        edited,
        u"csv:Text - txt - csv (StarCalc):44,34,76,1,,1055,false,true,false,true,false,-1"_s, csv));
    const auto m = readCsv(csv + u"/DATA-mDATA.csv"_s);
    const auto s = readCsv(csv + u"/DATA-sDATA.csv"_s);
    const auto prg = readCsv(csv + u"/DATA-prgDATA.csv"_s);
    const auto kod = readCsv(csv + u"/DATA-kodDATA.csv"_s);

    for (int row = 2; row <= 6; ++row)
        EXPECT_EQ(at(m, row, 12), formulaL(row)) << row;
    for (int row = 3; row <= 5; ++row)
        EXPECT_EQ(at(s, row, 3), formulaC(row)) << row;
    for (int row = 2; row <= 8; ++row)
        EXPECT_EQ(at(s, row, 17), formulaQ(row)) << row;
    EXPECT_EQ(at(s, 2, 18), u"{=E2:E3*2}"_s);

    const std::tuple<const QList<QStringList>*, int, int, QString> values[] = {
        {&m, 2, 3, u"Acme A.Ş. "_s},
        {&m, 3, 7, u"12345678901"_s},
        {&m, 7, 3, u"Yeni Müşteri "_s},
        {&m, 7, 4, u"Kat 3"_s},
        {&m, 7, 6, u"Konak"_s},
        {&m, 7, 7, u"0987654321"_s},
        {&s, 2, 3, u"Vida"_s},
        {&s, 2, 5, u"10.5"_s},
        {&s, 6, 1, u"K9"_s},
        {&s, 6, 3, u"Somun"_s},
        {&s, 6, 5, u"2,5"_s},
        {&prg, 2, 2, u"Alfa Ltd"_s},
        {&prg, 2, 3, u"Beta AŞ"_s},
        {&kod, 2, 6, u"ÖTV 1. Liste"_s},
        {&kod, 2, 17, u"18"_s},
    };
    for (const auto& [rows, row, column, text] : values)
        EXPECT_EQ(at(*rows, row, column), text) << row << "," << column;
}
