// DATA.xlsx as created by the program, read back by openpyxl; the column scan; the folder tree.
#include "store/DataWorkbook.h"
#include "store/FolderTree.h"
#include "support/Openpyxl.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix;
using namespace tavlix::store;

namespace {

QString hex(const Rgb& c) {
    return u"%1%2%3"_s.arg(c.r, 2, 16, QChar(u'0'))
        .arg(c.g, 2, 16, QChar(u'0'))
        .arg(c.b, 2, 16, QChar(u'0'))
        .toUpper();
}

} // namespace

TEST(DataWorkbook, CreatedWorkbookHasSheetsHeadersLabelsAndHeaderFormatting) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Data/DATA.xlsx"_s); // the folder is made as well
    ASSERT_TRUE(createDataWorkbook(path).ok());
    const QJsonObject wb = test::readWithOpenpyxl(path);

    QStringList sheets;
    for (const QJsonValue& v : wb[u"sheets"_s].toArray())
        sheets.append(v.toString());
    EXPECT_EQ(sheets,
              (QStringList{u"mDATA"_s, u"sDATA"_s, u"kodDATA"_s, u"prgDATA"_s, u"Sayfa1"_s}));
    EXPECT_EQ(wb[u"active"_s].toString(), u"mDATA"_s);
    EXPECT_TRUE(wb[u"cells"_s][u"Sayfa1"_s].toObject().isEmpty());

    const QJsonObject prg = wb[u"cells"_s][u"prgDATA"_s].toObject();
    ASSERT_EQ(prgLabels().size(), 22);
    for (int row = 2; row <= 23; ++row)
        EXPECT_EQ(prg[u"A%1"_s.arg(row)].toString(), prgLabels()[row - 2]) << row;
    EXPECT_EQ(prg[u"A22"_s].toString(), u"YAZI İLE TUTAR(E/H)BOŞ=E"_s);
    EXPECT_EQ(prg[u"A23"_s].toString(), u"HIZ DÜŞÜR %(TAM SAYI)"_s);
    EXPECT_EQ(prg.size(), 4 + 22); // nothing but headers and labels

    // Expected fills as an independent reader resolves them; 46 and 15 are palette colours.
    const std::map<QString, std::pair<QString, QString>> expected = {
        {u"prgDATA"_s, {u"00FF00"_s, u"000000"_s}},
        {u"kodDATA"_s, {u"FFFF00"_s, u"000000"_s}},
        {u"sDATA"_s, {u"00FF00"_s, u"FF6600"_s}},
        {u"mDATA"_s, {u"FF0000"_s, u"C0C0C0"_s}},
    };
    for (const HeaderStyle& style : headerStyles()) {
        SCOPED_TRACE(style.sheet.toStdString());
        const QJsonObject cells = wb[u"cells"_s][style.sheet].toObject();
        const QJsonObject styles = wb[u"styles"_s][style.sheet].toObject();
        const QJsonObject widths = wb[u"widths"_s][style.sheet].toObject();
        EXPECT_EQ(hex(style.fontColor), expected.at(style.sheet).first);
        for (int i = 0; i < style.headers.size(); ++i) {
            const QString ref = columnName(i + 1) + u"1"_s;
            EXPECT_EQ(cells[ref].toString(), style.headers[i]) << ref.toStdString();
            const QJsonObject st = styles[ref].toObject();
            EXPECT_TRUE(st[u"bold"_s].toBool()) << ref.toStdString();
            EXPECT_EQ(st[u"color"_s].toString(), expected.at(style.sheet).first);
            EXPECT_EQ(st[u"fill"_s].toString(), expected.at(style.sheet).second);
            EXPECT_EQ(st[u"vertical"_s].toString(), u"center"_s);
            // Auto-fit: each column about as wide as its header (proportional font: narrow
            // letters take less than a character unit).
            EXPECT_GE(widths[columnName(i + 1)].toDouble(), 0.8 * style.headers[i].size())
                << ref.toStdString();
        }
        EXPECT_FALSE(cells.contains(columnName(int(style.headers.size()) + 1) + u"1"_s));
        EXPECT_FALSE(styles.contains(u"A2"_s)); // only the header row is formatted
        EXPECT_GT(widths[u"A"_s].toDouble(), 10);
    }
    // Headers, and the VAT rates as numbers: today's and the earlier ones.
    const QJsonObject kod = wb[u"cells"_s][u"kodDATA"_s].toObject();
    EXPECT_EQ(kod.size(), 18 + 6);
    EXPECT_EQ(kod[u"R1"_s].toString(), u"HEADERS"_s);
    QList<double> rates;
    for (int row = 2; row <= 7; ++row)
        rates.append(kod[u"Q%1"_s.arg(row)].toDouble(-1));
    EXPECT_EQ(rates, (QList<double>{0, 1, 8, 10, 18, 20}));

    // Our own reader agrees, and finds every sheet by name.
    auto book = Workbook::open(path);
    ASSERT_TRUE(book.ok()) << book.message().toStdString();
    Worksheet* m = book.value()->sheet(DataSheet::Customers);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->text(1, CustomerCol::TaxOffice), u"VERGİ DAİRESİ*"_s);
    EXPECT_EQ(m->firstFreeRow(CustomerCol::TaxOffice), 2);
    EXPECT_EQ(book.value()->sheet(DataSheet::Stock)->text(1, StockCol::SpecialBaseAmount),
              u"ÖZEL MAT. TUTARI"_s);
    EXPECT_EQ(
        book.value()->sheet(DataSheet::Programs)->text(PrgRow::SlowDownPercent, PrgCol::Label),
        u"HIZ DÜŞÜR %(TAM SAYI)"_s);
}

TEST(DataWorkbook, CreationReportsAFolderThatCannotBeMade) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(u"Data"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    const Result<void> r = createDataWorkbook(dir.filePath(u"Data/DATA.xlsx"_s));
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.message().startsWith(u"Çalışma kitabı kaydedilemedi"_s));
}

TEST(DataWorkbook, ReadColumnUntilEmptyStopsAtTheFirstGap) {
    auto book = Workbook::create();
    Worksheet* ws = book->activeSheet();
    ws->writeText(1, KodCol::InvoiceTypeName, u"FATURA TÜR ADI"_s);
    ws->writeText(2, KodCol::InvoiceTypeName, u"SATIŞ"_s);
    ws->writeText(3, KodCol::InvoiceTypeName, u"İADE"_s);
    ws->writeNumber(4, KodCol::InvoiceTypeName, 18);
    ws->writeText(6, KodCol::InvoiceTypeName, u"gap'in altında"_s);
    EXPECT_EQ(readColumnUntilEmpty(*ws, KodCol::InvoiceTypeName),
              (QStringList{u"SATIŞ"_s, u"İADE"_s, u"18"_s}));
    EXPECT_EQ(readColumnUntilEmpty(*ws, KodCol::InvoiceTypeName, 1).size(), 4);
    EXPECT_TRUE(readColumnUntilEmpty(*ws, KodCol::VatRate).isEmpty());
    EXPECT_EQ(readColumnUntilEmpty(*ws, KodCol::InvoiceTypeName, 6),
              QStringList{u"gap'in altında"_s});
}

TEST(FolderTree, NewCompaniesGetTheWholeTreeExistingOnesAreLeftAlone) {
    QTemporaryDir dir;
    const QString program = dir.path();
    // An existing company folder that lacks Pdf gets nothing new.
    const QString old = companyFolder(program, u"Eski Ltd"_s);
    ASSERT_TRUE(QDir().mkpath(old + u"/Satış Faturaları/Zip"_s));

    const FolderTreeReport report =
        checkNewUser(program, {u"Eski Ltd"_s, u"Yeni Şirket A.Ş."_s, u"İkinci"_s});
    EXPECT_TRUE(report.ok());
    for (const QString& company : {u"Yeni Şirket A.Ş."_s, u"İkinci"_s}) {
        for (const QString& sub : companySubfolders()) {
            EXPECT_TRUE(QFileInfo(companyFolder(program, company) + u'/' + sub).isDir())
                << sub.toStdString();
        }
    }
    EXPECT_EQ(companySubfolders().size(), 7);
    EXPECT_FALSE(QFileInfo::exists(old + u"/Satış Faturaları/Pdf"_s));
    EXPECT_FALSE(QFileInfo::exists(old + u"/Alış Faturaları"_s));
}

TEST(FolderTree, UnsafeNamesAreRefusedAndMakeNothing) {
    const struct {
        QString name;
        bool safe;
    } cases[] = {
        {u"Ak Gıda"_s, true},
        {u"A.Ş. (Merkez)"_s, true},
        {u""_s, false},
        {u"   "_s, false},
        {u"."_s, false},
        {u".."_s, false},
        {u"../dışarı"_s, false},
        {u"a/b"_s, false},
        {u"a\\b"_s, false},
        {u"sekme\tadı"_s, false},
        {u"satır\nsonu"_s, false},
        {QString(300, u'x'), false},
    };
    QTemporaryDir dir;
    QStringList names;
    QStringList unsafe;
    for (const auto& c : cases) {
        EXPECT_EQ(isSafeFolderName(c.name), c.safe) << c.name.toStdString();
        names.append(c.name);
        if (!c.safe)
            unsafe.append(c.name);
    }
    const FolderTreeReport report = checkNewUser(dir.path(), names);
    EXPECT_EQ(report.refusedNames, unsafe);
    EXPECT_TRUE(report.failedFolders.isEmpty());
    const QStringList made =
        QDir(dir.filePath(u"Firmalarım"_s)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(made, (QStringList{u"A.Ş. (Merkez)"_s, u"Ak Gıda"_s}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"Firmalarım"_s}); // "../dışarı" made nothing beside it
}

TEST(FolderTree, FoldersThatCannotBeMadeAreReported) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"Firmalarım"_s)));
    QFile blocker(dir.filePath(u"Firmalarım/Dosya"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file with the company's name
    blocker.close();
    const FolderTreeReport report = checkNewUser(dir.path(), {u"Dosya"_s, u"Sağlam"_s});
    EXPECT_EQ(report.failedFolders, QStringList{companyFolder(dir.path(), u"Dosya"_s)});
    EXPECT_TRUE(
        QFileInfo(companyFolder(dir.path(), u"Sağlam"_s) + u"/Satış Faturaları/Pdf"_s).isDir());
}
