#include "invoice/HeaderRules.h"

#include "store/WorkbookStore.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

TEST(HeaderDates, InvoiceDatesNewestFirst) {
    const QDate today(2024, 3, 3);
    const QList<QDate> dates = invoiceDates(today);
    ASSERT_EQ(dates.size(), 8);
    EXPECT_EQ(dates.first(), today);
    EXPECT_EQ(dates.last(), QDate(2024, 2, 25));
    for (int k = 1; k < dates.size(); ++k)
        EXPECT_EQ(dates.at(k), dates.at(k - 1).addDays(-1));
}

TEST(HeaderDates, DispatchDatesFromTheChosenPosition) {
    const QDate today(2024, 6, 15);
    EXPECT_EQ(dispatchDates(today, 3),
              (QList<QDate>{QDate(2024, 6, 12), QDate(2024, 6, 11), QDate(2024, 6, 10),
                            QDate(2024, 6, 9), QDate(2024, 6, 8)}));
    EXPECT_EQ(dispatchDates(today, 0).size(), 8);
    EXPECT_EQ(dispatchDates(today, 7), QList<QDate>{QDate(2024, 6, 8)});
    EXPECT_TRUE(dispatchDates(today, -1).isEmpty());
    EXPECT_TRUE(dispatchDates(today, 8).isEmpty());
}

TEST(HeaderDates, AcrossTheEndOfFebruary) {
    EXPECT_EQ(dispatchDates(QDate(2023, 3, 1), 0).last(), QDate(2023, 2, 22));
    EXPECT_EQ(dispatchDates(QDate(2024, 3, 1), 0).last(), QDate(2024, 2, 23));
    EXPECT_EQ(invoiceDates(QDate(2023, 1, 3)).last(), QDate(2022, 12, 27));
}

TEST(HeaderDates, Texts) {
    EXPECT_EQ(dateText(QDate(2023, 3, 1)), u"01/03/2023"_s);
    EXPECT_EQ(shortDateText(QDate(2023, 3, 1)), u"01.03.2023"_s);
    EXPECT_EQ(dateText(QDate(2024, 12, 31)), u"31/12/2024"_s);
}

TEST(CustomerSearch, ContainsCaseInsensitivelyInListOrder) {
    const QStringList names = {u"Zed"_s, u"Abc"_s, u"A B"_s, QString(), u"xAB"_s, u"Kab Ltd"_s};
    EXPECT_EQ(filterCustomerNames(names, u"ab"_s), (QStringList{u"Abc"_s, u"xAB"_s, u"Kab Ltd"_s}));
    EXPECT_EQ(filterCustomerNames(names, QString()),
              (QStringList{u"Zed"_s, u"Abc"_s, u"A B"_s, u"xAB"_s, u"Kab Ltd"_s}));
    EXPECT_TRUE(filterCustomerNames(names, u"qq"_s).isEmpty());
    EXPECT_EQ(filterCustomerNames({u"ŞEKER A.Ş."_s}, u"şeker"_s), QStringList{u"ŞEKER A.Ş."_s});
    // Turkish case rules: dotted i and dotless ı are two letters in either case.
    const QStringList turkish = {u"ALİ VELİ"_s, u"IŞIK LTD"_s, u"Işıl Tekstil"_s, u"Bilgi A.Ş."_s};
    const std::pair<QString, QStringList> cases[] = {
        {u"ali"_s, {u"ALİ VELİ"_s}},
        {u"ışık"_s, {u"IŞIK LTD"_s}},
        {u"İŞ"_s, {}},
        {u"IŞ"_s, {u"IŞIK LTD"_s, u"Işıl Tekstil"_s}},
        {u"BİLGİ"_s, {u"Bilgi A.Ş."_s}},
    };
    for (const auto& [text, found] : cases)
        EXPECT_EQ(filterCustomerNames(turkish, text), found) << text.toStdString();
}

// mDATA: header row, then the cards in C..H.
std::unique_ptr<store::Workbook> customerBook() {
    auto book = store::Workbook::create();
    store::Worksheet* sheet = book->activeSheet();
    sheet->setName(u"mDATA"_s);
    const QStringList header = {u"NO"_s,   u"KOD"_s,     u"ÜNVAN"_s, u"ADRES"_s,
                                u"ÜLKE"_s, u"V.DAİRE"_s, u"VKN"_s,   u"MAIL"_s};
    for (int c = 0; c < header.size(); ++c)
        sheet->writeText(1, c + 1, header.at(c));
    auto card = [sheet](int row, const QString& name, const QString& address) {
        sheet->writeText(row, 3, name);
        sheet->writeText(row, 4, address);
        sheet->writeText(row, 5, u"Türkiye"_s);
        sheet->writeText(row, 6, u"Kadıköy"_s);
        sheet->writeNumber(row, 7, 1234567890);
        sheet->writeText(row, 8, u"a@b.com"_s);
    };
    card(2, u"Acme"_s, u"İlk adres"_s);
    card(3, u"Beta"_s, u"Beta adres"_s);
    card(7, u"Acme"_s, u"Son adres"_s);
    card(150, u"Geç Müşteri"_s, u"Uzak satır"_s);
    return book;
}

TEST(CustomerLookup, LastMatchingRowWinsAndLateRowsAreRead) {
    auto book = customerBook();
    const store::Worksheet& sheet = *book->activeSheet();

    const std::optional<CustomerRecord> acme = findCustomer(sheet, u"Acme"_s);
    ASSERT_TRUE(acme);
    EXPECT_EQ(acme->name, u"Acme"_s);
    EXPECT_EQ(acme->address, u"Son adres"_s);
    EXPECT_EQ(acme->country, u"Türkiye"_s);
    EXPECT_EQ(acme->taxOffice, u"Kadıköy"_s);
    EXPECT_EQ(acme->taxNumber, u"1234567890"_s);
    EXPECT_EQ(acme->email, u"a@b.com"_s);

    const std::optional<CustomerRecord> late = findCustomer(sheet, u"Geç Müşteri"_s);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->address, u"Uzak satır"_s);

    EXPECT_FALSE(findCustomer(sheet, u"acme"_s));  // exact comparison
    EXPECT_FALSE(findCustomer(sheet, u"ÜNVAN"_s)); // the header row is not a card
    EXPECT_FALSE(findCustomer(sheet, QString()));
}

TEST(CustomerLookup, NamesInSheetOrderWithoutGaps) {
    auto book = customerBook();
    EXPECT_EQ(customerNames(*book->activeSheet()),
              (QStringList{u"Acme"_s, u"Beta"_s, u"Acme"_s, u"Geç Müşteri"_s}));
    auto empty = store::Workbook::create();
    EXPECT_TRUE(customerNames(*empty->activeSheet()).isEmpty());
}

} // namespace
} // namespace tavlix
