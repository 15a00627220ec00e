// The xlsx store against an independent reader and writer (openpyxl).
#include "store/WorkbookStore.h"
#include "support/Files.h"
#include "support/Openpyxl.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix;
using namespace tavlix::store;

namespace {

std::unique_ptr<Workbook> openOrFail(const QString& path) {
    auto r = Workbook::open(path);
    EXPECT_TRUE(r.ok()) << r.message().toStdString();
    return r.ok() ? std::move(r).value() : nullptr;
}

QStringList toStringList(const QJsonValue& v) {
    QStringList out;
    for (const QJsonValue& x : v.toArray())
        out.append(x.toString());
    return out;
}

// A folder nobody may write into while the guard lives: by permissions, or (as root, whom
// permissions do not bind) by the immutable attribute.
struct ReadOnlyFolder {
    explicit ReadOnlyFolder(const QString& folder)
        : path(folder) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        if (!canWrite())
            active = true;
        else if (QProcess::execute(u"chattr"_s, {u"+i"_s, path}) == 0 && !canWrite())
            active = immutable = true;
    }
    ~ReadOnlyFolder() {
        if (immutable)
            QProcess::execute(u"chattr"_s, {u"-i"_s, path});
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool canWrite() const {
        QFile probe(path + u"/probe"_s);
        const bool ok = probe.open(QIODevice::WriteOnly);
        probe.remove();
        return ok;
    }
    QString path;
    bool active = false;
    bool immutable = false;
};

class WorkbookStoreTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(WorkbookStoreTest, NewWorkbookSavesTextsNumbersAndSheetsInOrder) {
    auto book = Workbook::create();
    ASSERT_EQ(book->sheetNames(), QStringList{u"Sayfa1"_s});
    Worksheet& second = book->addSheet();
    EXPECT_EQ(second.name(), u"Sayfa2"_s);
    second.setName(u"Özel Ünvan"_s);
    Worksheet& third = book->addSheet();
    EXPECT_EQ(third.name(), u"Sayfa2"_s); // the name became free again
    EXPECT_EQ(book->activeSheet(), &third);
    EXPECT_EQ(book->sheetNames(), (QStringList{u"Sayfa2"_s, u"Özel Ünvan"_s, u"Sayfa1"_s}));

    Worksheet* s = book->sheet(u"Özel Ünvan"_s);
    ASSERT_NE(s, nullptr);
    s->writeText(1, 1, u"Çağrı  "_s);
    s->writeText(2, 1, u"'0123"_s);
    s->writeNumber(3, 1, 12.5);
    s->writeNumber(4, 2, 18);
    s->writeText(5, 28, u"AB sütunu"_s);
    ASSERT_TRUE(book->saveAs(file(u"new.xlsx"_s)).ok());

    const QJsonObject wb = test::readWithOpenpyxl(file(u"new.xlsx"_s));
    EXPECT_EQ(toStringList(wb[u"sheets"_s]),
              (QStringList{u"Sayfa2"_s, u"Özel Ünvan"_s, u"Sayfa1"_s}));
    EXPECT_EQ(wb[u"active"_s].toString(), u"Sayfa2"_s);
    const QJsonObject cells = wb[u"cells"_s][u"Özel Ünvan"_s].toObject();
    EXPECT_EQ(cells[u"A1"_s].toString(), u"Çağrı  "_s);
    EXPECT_EQ(cells[u"A2"_s].toString(), u"0123"_s);
    EXPECT_DOUBLE_EQ(cells[u"A3"_s].toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(cells[u"B4"_s].toDouble(), 18);
    EXPECT_EQ(cells[u"AB5"_s].toString(), u"AB sütunu"_s);
}

// A workbook as another producer writes it: shared strings (openpyxl's default), numbers,
// booleans, a formula with its cached value, a second sheet, a column width and a bold cell.
TEST_F(WorkbookStoreTest, ReadsForeignWorkbookAndKeepsUntouchedPartsOnSave) {
    const QString path = file(u"foreign.xlsx"_s);
    ASSERT_TRUE(test::writeWithOpenpyxl(path, uR"(
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Veriler"
ws["A1"] = "Başlık"
ws["A1"].font = Font(bold=True, color="FF0000")
ws["B1"] = 12.5
ws["C1"] = 18
ws["D1"] = True
ws["A2"] = "ikinci satır"
ws["B3"] = -0.25
ws.column_dimensions["A"].width = 33
other = wb.create_sheet("Diğer")
other["C5"] = "dokunulmadı"
other["C6"] = 1234567.891
other.print_area = "A1:C6"
wb.save(path)
)"_s));
    auto book = openOrFail(path);
    ASSERT_TRUE(book);
    EXPECT_EQ(book->sheetNames(), (QStringList{u"Veriler"_s, u"Diğer"_s}));
    Worksheet* ws = book->sheet(u"Veriler"_s);
    ASSERT_NE(ws, nullptr);

    struct Case {
        int row, column;
        const char16_t* text;
        CellValue::Kind kind;
    };
    const Case cases[] = {
        {1, 1, u"Başlık", CellValue::Kind::Text},
        {1, 2, u"12,5", CellValue::Kind::Number},
        {1, 3, u"18", CellValue::Kind::Number},
        {1, 4, u"DOĞRU", CellValue::Kind::Boolean},
        {2, 1, u"ikinci satır", CellValue::Kind::Text},
        {3, 2, u"-0,25", CellValue::Kind::Number},
        {3, 1, u"", CellValue::Kind::Empty},
        {99, 99, u"", CellValue::Kind::Empty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " column " << c.column);
        EXPECT_EQ(ws->text(c.row, c.column), QString::fromUtf16(c.text));
        EXPECT_EQ(ws->value(c.row, c.column).kind, c.kind);
    }
    EXPECT_EQ(ws->lastRow(), 3);
    EXPECT_EQ(book->sheet(u"Diğer"_s)->text(6, 3), u"1234567,891"_s);

    ws->writeText(2, 1, u"değişti"_s);
    ws->writeText(1, 2, QString()); // clears the number
    book->addSheet();               // goes before "Veriler", the active sheet
    ASSERT_TRUE(book->save().ok());

    const QJsonObject wb = test::readWithOpenpyxl(path);
    const QJsonObject cells = wb[u"cells"_s][u"Veriler"_s].toObject();
    EXPECT_EQ(cells[u"A1"_s].toString(), u"Başlık"_s);
    EXPECT_EQ(cells[u"A2"_s].toString(), u"değişti"_s);
    EXPECT_FALSE(cells.contains(u"B1"_s));
    EXPECT_DOUBLE_EQ(cells[u"C1"_s].toDouble(), 18);
    EXPECT_EQ(cells[u"D1"_s].toBool(), true);
    const QJsonObject a1 = wb[u"styles"_s][u"Veriler"_s][u"A1"_s].toObject();
    EXPECT_TRUE(a1[u"bold"_s].toBool());
    EXPECT_EQ(a1[u"color"_s].toString(), u"FF0000"_s);
    EXPECT_DOUBLE_EQ(wb[u"widths"_s][u"Veriler"_s][u"A"_s].toDouble(), 33);
    const QJsonObject other = wb[u"cells"_s][u"Diğer"_s].toObject();
    EXPECT_EQ(other[u"C5"_s].toString(), u"dokunulmadı"_s);
    EXPECT_DOUBLE_EQ(other[u"C6"_s].toDouble(), 1234567.891);
    EXPECT_EQ(toStringList(wb[u"sheets"_s]), (QStringList{u"Sayfa2"_s, u"Veriler"_s, u"Diğer"_s}));
    // Sheet-local names follow their sheet when a sheet is inserted before it.
    EXPECT_TRUE(test::writeWithOpenpyxl(path, uR"(
wb = openpyxl.load_workbook(path)
assert "$A$1:$C$6" in str(wb["Diğer"].print_area), wb["Diğer"].print_area
assert wb["Veriler"].print_area is None
assert wb["Sayfa2"].print_area is None
)"_s));
}

// Hand-written parts cover what openpyxl does not write: inline strings, rich-text shared
// strings, formula strings with cached values, escapes, sheets found through the relationships
// rather than by file name, and cells without a reference.
TEST_F(WorkbookStoreTest, ReadsInlineRichTextAndFormulaCells) {
    const QString path = file(u"hand.xlsx"_s);
    ASSERT_TRUE(test::writeWithOpenpyxl(path, uR"(
import zipfile
ct = '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/veri.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/strings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>'
rels = '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>'
wbx = '<?xml version="1.0"?><x:workbook xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:rel="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><x:sheets><x:sheet name="mDATA" sheetId="7" rel:id="rIdA"/></x:sheets></x:workbook>'
wbrels = '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rIdA" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/veri.xml"/><Relationship Id="rIdB" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="strings.xml"/></Relationships>'
sst = '<?xml version="1.0"?><x:sst xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:si><x:r><x:rPr><x:b/></x:rPr><x:t>Kalın </x:t></x:r><x:r><x:t xml:space="preserve">ve ince</x:t></x:r><x:rPh sb="0" eb="1"><x:t>fonetik</x:t></x:rPh></x:si><x:si><x:t>satır_x000D_sonu</x:t></x:si></x:sst>'
sheet = '<?xml version="1.0"?><x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:sheetData><x:row r="1"><x:c r="A1" t="s"><x:v>0</x:v></x:c><x:c r="B1" t="inlineStr"><x:is><x:t>satır içi</x:t></x:is></x:c><x:c r="C1" t="str"><x:f>A1&amp;"!"</x:f><x:v>Kalın ve ince!</x:v></x:c><x:c r="D1"><x:f>2*3</x:f><x:v>6</x:v></x:c></x:row><x:row r="2"><x:c r="A2" t="s"><x:v>1</x:v></x:c><x:c t="e"><x:v>#N/A</x:v></x:c><x:c t="b"><x:v>0</x:v></x:c></x:row></x:sheetData></x:worksheet>'
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
    for name, data in [("[Content_Types].xml", ct), ("_rels/.rels", rels), ("xl/workbook.xml", wbx), ("xl/_rels/workbook.xml.rels", wbrels), ("xl/strings.xml", sst), ("xl/worksheets/veri.xml", sheet)]:
        z.writestr(name, data)
)"_s));
    auto book = openOrFail(path);
    ASSERT_TRUE(book);
    auto sheet = book->requireSheet(u"mDATA"_s);
    ASSERT_TRUE(sheet.ok()) << sheet.message().toStdString();
    Worksheet* ws = sheet.value();
    EXPECT_EQ(ws->text(1, 1), u"Kalın ve ince"_s);
    EXPECT_EQ(ws->text(1, 2), u"satır içi"_s);
    EXPECT_EQ(ws->text(1, 3), u"Kalın ve ince!"_s);
    EXPECT_EQ(ws->text(1, 4), u"6"_s);
    EXPECT_EQ(ws->text(2, 1), u"satır\rsonu"_s);
    EXPECT_EQ(ws->text(2, 2), u"#N/A"_s);
    EXPECT_EQ(ws->text(2, 3), u"YANLIŞ"_s);

    // A write over a formula refuses the save and names the cell; the file stays as it was.
    const QByteArray before = test::fileDigest(path);
    ws->writeNumber(1, 4, 7);
    const Result<void> refused = book->save();
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.message().contains(u"mDATA!D1"_s)) << refused.message().toStdString();
    EXPECT_EQ(test::fileDigest(path), before);

    // Writing into the prefixed document keeps the file readable.
    book = openOrFail(path);
    ws = book->sheet(u"MDATA"_s); // sheet names compare without regard to case
    ASSERT_NE(ws, nullptr);
    EXPECT_TRUE(ws->hasFormula(1, 4));
    EXPECT_FALSE(ws->hasFormula(1, 2));
    ws->writeText(3, 2, u"yeni"_s);
    book->addSheet();
    ASSERT_TRUE(book->save().ok());
    const QJsonObject wb = test::readWithOpenpyxl(path);
    EXPECT_EQ(toStringList(wb[u"sheets"_s]), (QStringList{u"Sayfa2"_s, u"mDATA"_s}));
    const QJsonObject cells = wb[u"cells"_s][u"mDATA"_s].toObject();
    EXPECT_EQ(cells[u"D1"_s].toString(), u"=2*3"_s);
    EXPECT_EQ(cells[u"B3"_s].toString(), u"yeni"_s);
    EXPECT_EQ(cells[u"B1"_s].toString(), u"satır içi"_s);
}

// Bad files give a Turkish message and are left byte for byte as they were.
TEST_F(WorkbookStoreTest, UnreadableFilesAreReportedAndLeftUnchanged) {
    const QString zipNoWorkbook = file(u"nowb.xlsx"_s);
    ASSERT_TRUE(test::writeWithOpenpyxl(zipNoWorkbook, uR"(
import zipfile
with zipfile.ZipFile(path, "w") as z:
    z.writestr("[Content_Types].xml", '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>')
    z.writestr("docProps/app.xml", "<Properties/>")
)"_s));
    const QString brokenXml = file(u"broken.xlsx"_s);
    ASSERT_TRUE(test::writeWithOpenpyxl(brokenXml, uR"(
import zipfile
wb = openpyxl.Workbook(); wb.save(path)
src = zipfile.ZipFile(path).read
parts = {n: zipfile.ZipFile(path).read(n) for n in zipfile.ZipFile(path).namelist()}
parts["xl/worksheets/sheet1.xml"] = parts["xl/worksheets/sheet1.xml"][:-20]
with zipfile.ZipFile(path, "w") as z:
    for n, d in parts.items(): z.writestr(n, d)
)"_s));
    const QString truncated = file(u"truncated.xlsx"_s);
    ASSERT_TRUE(test::writeWithOpenpyxl(truncated, uR"(
import io
buf = io.BytesIO(); openpyxl.Workbook().save(buf)
open(path, "wb").write(buf.getvalue()[: len(buf.getvalue()) // 2])
)"_s));
    const QString textFile = file(u"text.xlsx"_s);
    {
        QFile f(textFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("MÜŞTERİ;VERGİ NO\nAli;123\n");
    }

    const struct {
        QString path;
        ErrorCode code;
    } cases[] = {
        {file(u"yok.xlsx"_s), ErrorCode::NotFound}, {textFile, ErrorCode::BadFormat},
        {truncated, ErrorCode::BadFormat},          {zipNoWorkbook, ErrorCode::BadFormat},
        {brokenXml, ErrorCode::BadFormat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const QByteArray before = test::fileDigest(c.path);
        auto r = Workbook::open(c.path);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().code, c.code);
        EXPECT_TRUE(r.message().startsWith(u"Çalışma kitabı açılamadı: "_s + c.path))
            << r.message().toStdString();
        EXPECT_EQ(test::fileDigest(c.path), before);
    }
    EXPECT_FALSE(QFile::exists(file(u"yok.xlsx"_s)));
}

TEST_F(WorkbookStoreTest, MissingSheetNamesSheetAndFile) {
    const QString path = file(u"DATA.xlsx"_s);
    ASSERT_TRUE(test::writeWithOpenpyxl(path, u"wb = openpyxl.Workbook(); wb.active.title = "
                                              u"'sDATA'; wb.save(path)"_s));
    const QByteArray before = test::fileDigest(path);
    auto book = openOrFail(path);
    ASSERT_TRUE(book);
    auto r = book->requireSheet(u"mDATA"_s);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().code, ErrorCode::NotFound);
    EXPECT_EQ(r.message(), u"mDATA sayfası bulunamadı (DATA.xlsx)"_s);
    book.reset();
    EXPECT_EQ(test::fileDigest(path), before);
}

TEST_F(WorkbookStoreTest, FailedSaveLeavesOldFileAndSaysWhy) {
    const QString folder = file(u"salt-okunur"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + u"/DATA.xlsx"_s;
    auto book = Workbook::create();
    book->activeSheet()->writeText(1, 1, u"eski"_s);
    ASSERT_TRUE(book->saveAs(path).ok());
    const QByteArray before = test::fileDigest(path);

    // Saving into a folder that does not exist, and over a folder, fail without side effects.
    auto r = book->saveAs(file(u"yok/DATA.xlsx"_s));
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.message().startsWith(u"Çalışma kitabı kaydedilemedi: "_s));
    EXPECT_EQ(book->path(), path);
    ASSERT_TRUE(QDir().mkpath(file(u"klasor.xlsx"_s)));
    EXPECT_FALSE(book->saveAs(file(u"klasor.xlsx"_s)).ok());

    book->activeSheet()->writeText(1, 1, u"yeni"_s);
    const ReadOnlyFolder readOnly(folder);
    if (!readOnly.active)
        GTEST_SKIP() << "the folder cannot be made read-only for this user";
    r = book->save();
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.message().contains(path)) << r.message().toStdString();
    EXPECT_EQ(test::fileDigest(path), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{u"DATA.xlsx"_s});
}

TEST_F(WorkbookStoreTest, FirstFreeRowAndLastRowFollowTheKeyColumn) {
    auto book = Workbook::create();
    Worksheet* ws = book->activeSheet();
    EXPECT_EQ(ws->firstFreeRow(6), 1);
    EXPECT_EQ(ws->lastRow(), 0);
    ws->writeText(1, 6, u"VERGİ DAİRESİ*"_s);
    ws->writeText(2, 6, u"Kadıköy"_s);
    ws->writeText(3, 3, u"vergi dairesi boş"_s);
    ws->writeText(4, 6, u"Üsküdar"_s);
    EXPECT_EQ(ws->firstFreeRow(6), 3);
    EXPECT_EQ(ws->lastRow(), 4);
    ws->writeText(4, 6, u""_s);
    EXPECT_EQ(ws->lastRow(), 3);
    EXPECT_EQ(ws->value(4, 6).kind, CellValue::Kind::Empty);
}

TEST(ColumnNames, LettersAndNumbersRoundTrip) {
    const std::pair<int, const char16_t*> cases[] = {
        {1, u"A"}, {16, u"P"}, {26, u"Z"}, {27, u"AA"}, {52, u"AZ"}, {703, u"AAA"}, {16384, u"XFD"},
    };
    for (const auto& [n, letters] : cases) {
        EXPECT_EQ(columnName(n), QString::fromUtf16(letters));
        EXPECT_EQ(columnNumber(QString::fromUtf16(letters)), n);
    }
    EXPECT_EQ(columnNumber(u"A1"_s), 0);
    EXPECT_EQ(columnNumber(u""_s), 0);
    EXPECT_EQ(columnNumber(u"XFE"_s), 0);
}

TEST_F(WorkbookStoreTest, FormatRangeKeepsExistingStylesAndRejectsBadReferences) {
    const QString path = file(u"styled.xlsx"_s);
    ASSERT_TRUE(test::writeWithOpenpyxl(path, uR"(
from openpyxl.styles import Alignment
wb = openpyxl.Workbook(); ws = wb.active
ws["A1"] = "kırmızı"; ws["A1"].font = Font(color="FF0000")
ws["B1"] = "ortalı"; ws["B1"].alignment = Alignment(horizontal="center")
ws["C3"] = "dokunma"; ws["C3"].font = Font(italic=True, bold=True)
ws["D5"] = "sütun aralığının ortasında uzun bir metin"
ws.column_dimensions.group("B", "F", outline_level=1)
ws.column_dimensions["B"].width = 20
wb.save(path)
)"_s));
    auto book = openOrFail(path);
    ASSERT_TRUE(book);
    Worksheet* ws = book->activeSheet();
    RangeFormat f;
    f.fillPaletteIndex = 15;
    f.centerVertically = true;
    ASSERT_TRUE(ws->formatRange(u"B1"_s, u"A2"_s, f).ok()); // corners in any order
    RangeFormat bad;
    bad.fillPaletteIndex = 57;
    EXPECT_FALSE(ws->formatRange(u"A1"_s, u"B1"_s, bad).ok());
    EXPECT_FALSE(ws->formatRange(u"1A"_s, u"B1"_s, f).ok());
    EXPECT_FALSE(ws->formatRange(u"A1"_s, u"ZZZZ1"_s, f).ok());
    EXPECT_FALSE(ws->formatRange(u"A1"_s, u"XFD1048576"_s, f).ok()); // refused, not attempted
    // Fitting one column of a B:F width entry splits the entry around it.
    RangeFormat fit;
    fit.autoFitColumns = true;
    ASSERT_TRUE(ws->formatRange(u"D5"_s, u"D5"_s, fit).ok());
    ASSERT_TRUE(book->save().ok());

    const QJsonObject read = test::readWithOpenpyxl(path);
    const QJsonObject widths = read[u"widths"_s][u"Sheet"_s].toObject();
    for (const QString& column : {u"B"_s, u"C"_s, u"E"_s, u"F"_s})
        EXPECT_DOUBLE_EQ(widths[column].toDouble(), 20) << column.toStdString();
    EXPECT_GT(widths[u"D"_s].toDouble(), 30);
    EXPECT_FALSE(widths.contains(u"A"_s));
    EXPECT_FALSE(widths.contains(u"G"_s));
    const QJsonObject styles = read[u"styles"_s][u"Sheet"_s].toObject();
    const QJsonObject a1 = styles[u"A1"_s].toObject();
    EXPECT_EQ(a1[u"color"_s].toString(), u"FF0000"_s);
    EXPECT_EQ(a1[u"fill"_s].toString(), u"C0C0C0"_s);
    EXPECT_EQ(a1[u"vertical"_s].toString(), u"center"_s);
    const QJsonObject b1 = styles[u"B1"_s].toObject();
    EXPECT_EQ(b1[u"horizontal"_s].toString(), u"center"_s);
    EXPECT_EQ(b1[u"vertical"_s].toString(), u"center"_s);
    EXPECT_EQ(styles[u"A2"_s].toObject()[u"fill"_s].toString(), u"C0C0C0"_s);
    EXPECT_TRUE(styles[u"C3"_s].toObject()[u"bold"_s].toBool());
    EXPECT_FALSE(styles[u"C3"_s].toObject().contains(u"fill"_s));
}

TEST(Palette, StandardColourIndexes) {
    const std::pair<int, unsigned> cases[] = {{1, 0x000000},  {3, 0xFF0000},  {15, 0xC0C0C0},
                                              {33, 0x00CCFF}, {40, 0xFFCC99}, {46, 0xFF6600},
                                              {56, 0x333333}};
    for (const auto& [index, rgb] : cases) {
        const auto c = paletteColor(index);
        ASSERT_TRUE(c.has_value()) << index;
        EXPECT_EQ(unsigned(c->r << 16 | c->g << 8 | c->b), rgb) << index;
    }
    EXPECT_FALSE(paletteColor(0).has_value());
    EXPECT_FALSE(paletteColor(57).has_value());
}
