// The unit list, the entry masks and the box rules of the line editor, as the user types.
#include "invoice/VatRates.h"
#include "lines/EntryMasks.h"
#include "lines/Units.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix::lines;
using tavlix::vatRateChoices;

namespace {

// Types `keys` one character at a time, the mask running after each keystroke.
QString typeInto(QString (*mask)(const QString&), const QString& keys) {
    QString text;
    for (QChar c : keys)
        text = mask(text + c);
    return text;
}

struct MaskCase {
    const char* name;
    QString typed;
    QString kept;
};

} // namespace

TEST(Units, ListHasTheFortyNineNamesInOrderWithoutDuplicates) {
    ASSERT_EQ(AcceptedUnitNames.size(), 49);
    EXPECT_EQ(AcceptedUnitNames.first(), u"Gün"_s);
    EXPECT_EQ(AcceptedUnitNames.at(6), u"Adet"_s);
    EXPECT_EQ(AcceptedUnitNames.at(31), u"Ton baş.taşıma kap."_s);
    EXPECT_EQ(AcceptedUnitNames.at(44), u"CM³"_s);
    EXPECT_EQ(AcceptedUnitNames.last(), u"ha"_s);
    EXPECT_EQ(QSet<QString>(AcceptedUnitNames.begin(), AcceptedUnitNames.end()).size(), 49);
}

TEST(Units, FieldKeepsOnlyExactNames) {
    const struct {
        QString text;
        bool kept;
    } cases[] = {
        {u"Adet"_s, true},      {u"A"_s, false},         {u"g"_s, true},   {u"m"_s, true},
        {u"k"_s, false},        {u"kg"_s, true},         {u"KG"_s, false}, {u"Kg"_s, false},
        {u"adet"_s, false},     {u"Adet "_s, false},     {u"CM³"_s, true}, {u"cm3"_s, true},
        {u"Gross ton"_s, true}, {u"gross ton"_s, false}, {u""_s, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isAcceptedUnit(c.text), c.kept) << c.text.toStdString();
        EXPECT_EQ(unitFieldText(c.text), c.kept ? c.text : QString()) << c.text.toStdString();
    }
}

TEST(EntryMasks, PercentFieldAsTyped) {
    const MaskCase cases[] = {
        {"two digits", u"18"_s, u"18"_s},
        {"third integer digit", u"123"_s, u"12"_s},
        {"third decimal", u"1,234"_s, u"1,23"_s},
        {"second comma", u"1,,"_s, u"1,"_s},
        {"letter first", u"a"_s, u""_s},
        {"letter then digit", u"a5"_s, u"5"_s},
        {"minus sign", u"-5"_s, u"5"_s},
        {"one decimal", u"7,5"_s, u"7,5"_s},
        {"two decimals", u"12,25"_s, u"12,25"_s},
        {"third decimal after two digits", u"12,255"_s, u"12,25"_s},
        {"comma after two digits then comma", u"12,,"_s, u"12,"_s},
        {"comma after decimal", u"1,2,"_s, u"1,2"_s},
        {"point", u"1.5"_s, u"15"_s},
        {"trailing comma", u"7,"_s, u"7,"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(typeInto(&PercentEntryMask, c.typed), c.kept) << c.name;
}

TEST(EntryMasks, AmountFieldAsTyped) {
    const MaskCase cases[] = {
        {"whole number", u"1000"_s, u"1000"_s},
        {"third decimal", u"12,345"_s, u"12,34"_s},
        {"comma after decimal is accepted", u"1,2,"_s, u"1,2,"_s},
        {"point at the end", u"12."_s, u"12"_s},
        {"point inside", u"1.5"_s, u"15"_s},
        {"double comma", u"1,,"_s, u"1,"_s},
        {"letter first", u"x1"_s, u"1"_s},
        {"minus", u"-3"_s, u"3"_s},
        {"blank", u"12 5"_s, u"125"_s},
        {"two decimals", u"1500,50"_s, u"1500,50"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(typeInto(&AmountEntryMask, c.typed), c.kept) << c.name;
}

TEST(EntryMasks, WholeTextsSetByTheProgram) {
    const struct {
        QString (*mask)(const QString&);
        QString text;
        QString kept;
    } cases[] = {
        {&PercentEntryMask, u"100"_s, u"10"_s},   {&PercentEntryMask, u"12,5"_s, u"12,5"_s},
        {&PercentEntryMask, u"abc"_s, u""_s},     {&PercentEntryMask, u"7,555"_s, u"7,55"_s},
        {&AmountEntryMask, u"12,5"_s, u"12,5"_s}, {&AmountEntryMask, u"12,3456"_s, u"12,34"_s},
        {&AmountEntryMask, u"abc"_s, u""_s},      {&AmountEntryMask, u"0,25"_s, u"0,25"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.mask(c.text), c.kept) << c.text.toStdString();
}

TEST(FieldRules, VatRateBoxKeepsTodaysRatesAndTheWorkbooksOwn) {
    const struct {
        const char* name;
        QStringList workbook;
        QStringList choices;
    } workbooks[] = {
        {"kept from earlier years",
         {u"0"_s, u"1"_s, u"8"_s, u"18"_s},
         {u"0"_s, u"1"_s, u"8"_s, u"10"_s, u"18"_s, u"20"_s}},
        {"today's, unsorted, with a blank and a word",
         {u"20"_s, u" 10"_s, u"yok"_s, u"1"_s},
         {u"0"_s, u"1"_s, u"10"_s, u"20"_s}},
        {"none listed", {}, {u"0"_s, u"1"_s, u"10"_s, u"20"_s}},
    };
    for (const auto& w : workbooks) {
        SCOPED_TRACE(w.name);
        const QStringList choices = vatRateChoices(w.workbook);
        EXPECT_EQ(choices, w.choices);
        for (const QString& kept : choices)
            EXPECT_EQ(vatRateFieldText(kept, choices), kept);
        for (const QString& refused : {u"21"_s, u"2"_s, u" 18"_s, u"20,0"_s, u"%20"_s})
            EXPECT_EQ(vatRateFieldText(refused, choices), QString()) << refused.toStdString();
        // While typed, the beginning of a rate stays: "2" on the way to "20".
        EXPECT_EQ(vatRateEntryText(u"2"_s, choices), u"2"_s);
        EXPECT_EQ(vatRateEntryText(u"21"_s, choices), QString());
    }
}

TEST(FieldRules, WithholdingRateFromTheBoxText) {
    const struct {
        QString box;
        QString rate;
    } cases[] = {
        {u"YAPIM İŞLERİ % 90"_s, u"90"_s},
        {u"DEMİR-ÇELİK % 100"_s, u"100"_s},
        {u"HURDA % 5"_s, u"% 5"_s},
        {u""_s, u""_s},
        {u"50"_s, u"50"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withholdingRateFromBox(c.box), c.rate) << c.box.toStdString();
}
