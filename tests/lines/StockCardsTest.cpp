// Stock cards and code tables read from and written to DATA.xlsx.
#include "lines/StockCards.h"
#include "LinesFixture.h"
#include "store/WorkbookStore.h"
#include "support/Files.h"
#include "support/Openpyxl.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix;
using namespace tavlix::lines;
using tavlix::test::card;

namespace {

test::WorkbookContent codeTables() {
    test::WorkbookContent c;
    c.companies = {u"Alfa Ltd"_s, u""_s, u"Beta AŞ"_s};
    c.withholding = {{u"601"_s, u"YAPIM İŞLERİ"_s, u"40"_s},
                     {u"602"_s, u"ETÜT"_s, u"90"_s},
                     {u"603"_s, u""_s, u"50"_s},
                     {u"604"_s, u"SONRAKİ"_s, u"70"_s}};
    c.otherTaxes = {{u"0071"_s, u"ÖTV 1. LİSTE"_s}, {u"4080"_s, u"ÖİV"_s}};
    c.specialBaseReasons = {u"801-Milli Piyango"_s};
    c.units = {u"Adet"_s, u"kg"_s, u"KG"_s};
    c.vatRates = {u"0"_s, u"1"_s, u"8"_s, u"18"_s};
    return c;
}

} // namespace

TEST(StockCards, LoadsCodeTablesDownToTheFirstEmptyCell) {
    QTemporaryDir dir;
    const QString path = test::makeDataWorkbook(dir, codeTables());
    const auto data = loadEditorData(path, u"Alfa Ltd"_s, 21);
    ASSERT_TRUE(data.ok()) << data.message().toStdString();
    EXPECT_EQ(data->withholdingItems, (QStringList{u"YAPIM İŞLERİ % 40"_s, u"ETÜT % 90"_s}));
    EXPECT_EQ(data->otherTaxItems, (QStringList{u"0071-ÖTV 1. LİSTE%"_s, u"4080-ÖİV%"_s}));
    EXPECT_EQ(data->unitItems, (QStringList{u"Adet"_s, u"kg"_s, u"KG"_s}));
    EXPECT_EQ(data->vatRateItems, (QStringList{u"0"_s, u"1"_s, u"8"_s, u"18"_s}));
    EXPECT_EQ(data->specialBaseItems, QStringList{u"801-Milli Piyango"_s});
    EXPECT_FALSE(data->companiesListed);
}

TEST(StockCards, ListsTheCardsOfTheFilterAndTheSharedOnes) {
    QTemporaryDir dir;
    test::WorkbookContent c;
    c.companies = {u"Alfa Ltd"_s, u""_s, u"Beta AŞ"_s};
    c.cards = {card(u"A1"_s, u"Alfa Ltd"_s, u"Alfa vida"_s),
               card(u"S1"_s, u"Firmalarım"_s, u"Ortak civata"_s),
               card(u"B1"_s, u"Beta AŞ"_s, u"Beta somun"_s),
               card(u"A2"_s, u"alfa ltd"_s, u"Küçük harf"_s),
               card(u""_s, u"Alfa Ltd"_s, u"Kodsuz"_s),
               card(u"X1"_s, u"Alfa Ltd"_s, u""_s),
               card(u"A3"_s, u"Alfa Ltd"_s, u"Boş satırdan sonra"_s)};
    const QString path = test::makeDataWorkbook(dir, c);

    auto data = loadEditorData(path, u"Alfa Ltd"_s, 21);
    ASSERT_TRUE(data.ok()) << data.message().toStdString();
    EXPECT_EQ(data->cardNames, (QStringList{u"Alfa vida"_s, u"Ortak civata"_s, u"Kodsuz"_s}));
    EXPECT_EQ(data->cardCodes, (QStringList{u"A1"_s, u"S1"_s, u""_s}));

    data = loadEditorData(path, u"Beta AŞ"_s, 21);
    ASSERT_TRUE(data.ok());
    EXPECT_EQ(data->cardNames, (QStringList{u"Ortak civata"_s, u"Beta somun"_s}));

    data = loadEditorData(path, QString(), 4);
    ASSERT_TRUE(data.ok());
    EXPECT_TRUE(data->companiesListed);
    EXPECT_EQ(data->companies, (QStringList{u"Alfa Ltd"_s, u""_s, u"Beta AŞ"_s}));
    EXPECT_EQ(data->cardNames.size(), 5);
}

TEST(StockCards, WorkbookFailuresBecomeMessages) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"yok.xlsx"_s);
    EXPECT_FALSE(loadEditorData(missing, u"A"_s, 21).ok());
    EXPECT_FALSE(findStockCard(missing, u"A"_s, {}).ok());
    const auto saved = saveStockCard(missing, StockCard{});
    ASSERT_FALSE(saved.ok());
    EXPECT_FALSE(saved.message().isEmpty());
    EXPECT_FALSE(QFile::exists(missing));

    // Not a workbook at all: refused, the file left as it was.
    const QString junk = dir.filePath(u"DATA.xlsx"_s);
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a zip");
    }
    const QByteArray before = test::fileDigest(junk);
    EXPECT_FALSE(saveStockCard(junk, StockCard{}).ok());
    EXPECT_EQ(test::fileDigest(junk), before);

    // A workbook without the sheets names what is missing.
    QTemporaryDir other;
    test::WorkbookContent c;
    const QString path = test::makeDataWorkbook(other, c);
    auto wb = store::Workbook::open(path);
    ASSERT_TRUE(wb.ok());
    wb.value()->sheet(u"sDATA"_s)->setName(u"başka"_s);
    ASSERT_TRUE(wb.value()->save().ok());
    const auto load = loadEditorData(path, u"A"_s, 21);
    ASSERT_FALSE(load.ok());
    EXPECT_TRUE(load.message().contains(u"sDATA"_s)) << load.message().toStdString();
}

TEST(StockCards, SelectByNameOrCode) {
    QTemporaryDir dir;
    test::WorkbookContent c;
    c.cards = {
        card(u"K1"_s, u"Firmalarım"_s, u"Vida"_s, {u"Adet"_s, u"1,5"_s}),
        card(u"K2"_s, u"Firmalarım"_s, u"Somun"_s, {u"kg"_s, u"2"_s}),
        card(u"K3"_s, u"Firmalarım"_s, u"Vida"_s, {u"Kutu"_s, u"12,5"_s, u"100"_s, u"20"_s}),
        card(u""_s, u"Firmalarım"_s, u"Pul"_s, {u"Adet"_s, u"3"_s}),
        card(u"K5"_s, u"Firmalarım"_s, u"Perçin"_s, {u"Adet"_s, u"4"_s}),
    };
    const QString path = test::makeDataWorkbook(dir, c);

    const struct {
        const char* name;
        QString nameKey, codeKey;
        std::optional<QString> foundName, unitPrice;
    } cases[] = {
        {"last of two names wins", u"Vida"_s, {}, u"Vida"_s, u"12,5"_s},
        {"code", {}, u"K2"_s, u"Somun"_s, u"2"_s},
        {"name wins over code", u"Somun"_s, u"K1"_s, u"Somun"_s, u"2"_s},
        {"code below an empty code", {}, u"K5"_s, std::nullopt, std::nullopt},
        {"name below an empty code", u"Perçin"_s, {}, u"Perçin"_s, u"4"_s},
        {"no match", u"Yok"_s, {}, std::nullopt, std::nullopt},
        {"header is no card", u"S3"_s, {}, std::nullopt, std::nullopt},
        // Both keys empty search the code column for an empty code: the first card without one.
        {"both empty", {}, {}, u"Pul"_s, u"3"_s},
    };
    for (const auto& t : cases) {
        const auto found = findStockCard(path, t.nameKey, t.codeKey);
        ASSERT_TRUE(found.ok()) << t.name;
        ASSERT_EQ(found.value().has_value(), t.foundName.has_value()) << t.name;
        if (!t.foundName)
            continue;
        EXPECT_EQ(found.value()->name, *t.foundName) << t.name;
        EXPECT_EQ(found.value()->unitPrice, *t.unitPrice) << t.name;
    }
    const auto vida = findStockCard(path, u"Vida"_s, {});
    EXPECT_EQ(vida.value()->cells().mid(0, 8),
              (QStringList{u"K3"_s, u"Firmalarım"_s, u"Vida"_s, u"Kutu"_s, u"12,5"_s, u"100"_s,
                           u"20"_s, u""_s}));
}

TEST(StockCards, SaveAppendsAfterTheLastNamedCard) {
    QTemporaryDir dir;
    test::WorkbookContent c;
    for (int i = 2; i <= 9; ++i)
        c.cards.append(card(u"K%1"_s.arg(i), u"Firmalarım"_s, u"Kart %1"_s.arg(i)));
    const QString path = test::makeDataWorkbook(dir, c);

    StockCard s;
    const QStringList cells = {
        u"0042"_s,   u"Alfa Ltd"_s, u"Yeni kart"_s, u"Adet"_s,    u"12,50"_s,
        u"5"_s,      u"18"_s,       u"ETÜT % 90"_s, u"90"_s,      u"0071-ÖTV 1. LİSTE%"_s,
        u"7,5"_s,    u""_s,         u"0"_s,         u"7318.15"_s, u"801-Milli Piyango"_s,
        u"1500,50"_s};
    s = StockCard::fromCells(cells);
    const auto row = saveStockCard(path, s);
    ASSERT_TRUE(row.ok()) << row.message().toStdString();
    EXPECT_EQ(row.value(), 10);

    const QJsonObject book = test::readWithOpenpyxl(path);
    const QJsonObject sheet = book[u"cells"_s].toObject()[u"sDATA"_s].toObject();
    for (int col = 1; col <= 16; ++col) {
        const QString ref = store::columnName(col) + u"10"_s;
        EXPECT_EQ(sheet[ref].toString(), cells.at(col - 1)) << ref.toStdString();
    }
    EXPECT_EQ(sheet[u"C9"_s].toString(), u"Kart 9"_s);
    EXPECT_TRUE(book[u"sheets"_s].toArray().contains(u"kodDATA"_s));

    // A card without a name takes the first free row and is overwritten by the next save.
    ASSERT_EQ(saveStockCard(path, StockCard::fromCells({u"N1"_s})).value(), 11);
    ASSERT_EQ(saveStockCard(path, StockCard::fromCells({u"N2"_s, {}, u"Adlı"_s})).value(), 11);
    const auto again = findStockCard(path, {}, u"N2"_s);
    ASSERT_TRUE(again.ok() && again.value().has_value());
    EXPECT_EQ(again.value()->name, u"Adlı"_s);
}

TEST(StockCards, LookupAndSaveReachBeyondRow32767) {
    QTemporaryDir dir;
    test::WorkbookContent c;
    constexpr int kCards = 32800;
    c.cards.reserve(kCards);
    for (int i = 0; i < kCards; ++i)
        c.cards.append({u"K%1"_s.arg(i), u"Firmalarım"_s, u"Kart %1"_s.arg(i)});
    const QString path = test::makeDataWorkbook(dir, c);

    const auto byName = findStockCard(path, u"Kart %1"_s.arg(kCards - 1), {});
    ASSERT_TRUE(byName.ok() && byName.value().has_value());
    EXPECT_EQ(byName.value()->stockCode, u"K%1"_s.arg(kCards - 1));
    const auto byCode = findStockCard(path, {}, u"K%1"_s.arg(kCards - 1));
    ASSERT_TRUE(byCode.ok() && byCode.value().has_value());

    const auto row = saveStockCard(path, StockCard::fromCells({u"Y"_s, {}, u"Yeni"_s}));
    ASSERT_TRUE(row.ok());
    EXPECT_EQ(row.value(), kCards + 2);
    const auto listed = loadEditorData(path, u"Firma"_s, 21);
    ASSERT_TRUE(listed.ok());
    EXPECT_EQ(listed->cardNames.size(), kCards);
}
