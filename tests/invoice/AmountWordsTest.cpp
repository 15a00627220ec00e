#include "invoice/AmountWords.h"
#include "invoice/Money.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

struct WordsCase {
    const char* name;
    QString argument;
    QString expected;
};

class YaziytlTable : public ::testing::TestWithParam<WordsCase> {};

TEST_P(YaziytlTable, SpellsTheAmount) {
    const WordsCase& c = GetParam();
    EXPECT_EQ(YAZIYTL(c.argument).toStdString(), c.expected.toStdString());
    // The screen's form: the same words, with blanks.
    if (const auto value = money::read(c.argument)) {
        EXPECT_EQ(spokenAmount(*value).remove(u' '), QString(c.expected).remove(u' '));
    }
}

TEST(SpokenAmount, BlanksBetweenTheWords) {
    EXPECT_EQ(spokenAmount(52588.34), u"Elli iki bin beş yüz seksen sekiz TL Otuz dört Kr."_s);
    EXPECT_EQ(spokenAmount(-1000), u"Eksi Bin TL -- Kr."_s);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedResults, YaziytlTable,
    ::testing::Values(
        WordsCase{"grouped_with_kurus", u"1.234,50"_s, u"BinikiyüzotuzdörtTLElliKr."_s},
        WordsCase{"plain_with_kurus", u"1234,50"_s, u"BinikiyüzotuzdörtTLElliKr."_s},
        WordsCase{"twelve", u"12"_s, u"OnikiTL--Kr."_s},
        WordsCase{"only_kurus", u"0,05"_s, u"--TLBeşKr."_s},
        WordsCase{"zero", u"0"_s, u"--TL--Kr."_s},
        WordsCase{"hundred_without_bir", u"100"_s, u"YüzTL--Kr."_s},
        WordsCase{"thousand_without_bir", u"1000"_s, u"BinTL--Kr."_s},
        WordsCase{"thousand_one", u"1001"_s, u"BinbirTL--Kr."_s},
        WordsCase{"eleven_thousand", u"11000"_s, u"OnbirbinTL--Kr."_s},
        WordsCase{"hundred_one_thousand", u"101000"_s, u"YüzbirbinTL--Kr."_s},
        WordsCase{"two_hundred", u"200"_s, u"İkiyüzTL--Kr."_s},
        WordsCase{"three_million", u"3000000"_s, u"ÜçmilyonTL--Kr."_s},
        WordsCase{"one_million_keeps_bir", u"1000000"_s, u"BirmilyonTL--Kr."_s},
        WordsCase{"million_and_one", u"1000001"_s, u"BirmilyonbirTL--Kr."_s},
        WordsCase{"dotted_capital_i", u"2500000000,75"_s, u"İkimilyarbeşyüzmilyonTLYetmişbeşKr."_s},
        WordsCase{"largest_in_range", u"999.999.999.999.999"_s,
                  u"Dokuzyüzdoksandokuztrilyondokuzyüzdoksandokuzmilyardokuzyüzdoksandokuz"
                  u"milyondokuzyüzdoksandokuzbindokuzyüzdoksandokuzTL--Kr."_s},
        WordsCase{"negative", u"-5"_s, u"Eksi BeşTL--Kr."_s},
        WordsCase{"negative_grouped", u"-1.000,10"_s, u"Eksi BinTLOnKr."_s},
        WordsCase{"kurus_rounded_half_up", u"0,125"_s, u"--TLOnüçKr."_s},
        WordsCase{"not_a_number", u"abc"_s, u"GİRİLEN DEĞER SAYI DEĞİL!"_s},
        WordsCase{"empty", QString(), u"GİRİLEN DEĞER SAYI DEĞİL!"_s},
        WordsCase{"point_decimal_is_not_turkish", u"12.5a"_s, u"GİRİLEN DEĞER SAYI DEĞİL!"_s},
        WordsCase{"ten_to_fifteen", u"1000000000000000"_s,
                  u"TUTAR YAZIYA ÇEVRİLEMEYECEK KADAR BÜYÜK!"_s},
        WordsCase{"negative_ten_to_fifteen", u"-1.000.000.000.000.000,00"_s,
                  u"TUTAR YAZIYA ÇEVRİLEMEYECEK KADAR BÜYÜK!"_s}),
    [](const ::testing::TestParamInfo<WordsCase>& info) { return std::string(info.param.name); });

TEST(Yaziytl, DoubleOverloadMatchesTextAndRejectsNonFinite) {
    EXPECT_EQ(YAZIYTL(1234.5), YAZIYTL(u"1.234,50"_s));
    EXPECT_EQ(YAZIYTL(1e15), amountTooLargeText());
    EXPECT_EQ(YAZIYTL(std::numeric_limits<double>::infinity()), notNumericText());
    EXPECT_EQ(YAZIYTL(std::numeric_limits<double>::quiet_NaN()), notNumericText());
}

TEST(Yaziytl, OnlyTheNegativeSignCarriesABlank) {
    for (const QString& arg : {u"-987654321,12"_s, u"123456789012,34"_s, u"7"_s}) {
        QString words = YAZIYTL(arg);
        if (words.startsWith(u"Eksi "_s))
            words.remove(0, 5);
        EXPECT_FALSE(words.contains(u' ')) << arg.toStdString();
    }
}

struct CevirCase {
    QString digits;
    QString expected;
};

TEST(Cevir, GroupsLeadingZerosAndNonDigits) {
    const CevirCase cases[] = {
        {u"0"_s, u"--"_s},
        {QString(), u"--"_s},
        {u"000000000000000"_s, u"--"_s},
        {u"000000000001000"_s, u"Bin"_s},
        {u"1000000000000"_s, u"Birtrilyon"_s},
        {u"1001000"_s, u"Birmilyonbin"_s},
        {u"21000"_s, u"Yirmibirbin"_s},
        {u"110"_s, u"Yüzon"_s},
        {u"90"_s, u"Doksan"_s},
        {u"46"_s, u"Kırkaltı"_s},
        {u"1x2"_s, u"Yüziki"_s},
        // Leading zeros beyond fifteen places are no value; sixteen real digits are out of range.
        {u"0000000000000000005"_s, u"Beş"_s},
        {u"1234567890123456"_s, u"TUTAR YAZIYA ÇEVRİLEMEYECEK KADAR BÜYÜK!"_s},
    };
    for (const CevirCase& c : cases)
        EXPECT_EQ(Cevir(c.digits).toStdString(), c.expected.toStdString())
            << c.digits.toStdString();
}

} // namespace
} // namespace tavlix
