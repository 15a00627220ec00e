#include "invoice/ReturnReferences.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix::returns {
namespace {

const QString kMustBeLetter = u"Seri no alanı bir harf ile başlamalıdır..."_s;

TEST(ReturnReferencesTest, YearsRunFromFourYearsAgo) {
    EXPECT_EQ(yearList(QDate(2024, 2, 10)),
              QStringList({u"2020"_s, u"2021"_s, u"2022"_s, u"2023"_s, u"2024"_s}));
    EXPECT_EQ(monthList().first(), u"01"_s);
    EXPECT_EQ(monthList().last(), u"12"_s);
    EXPECT_EQ(monthList().size(), 12);
}

TEST(ReturnReferencesTest, DaysFollowTheMonthAndTheLeapYearRule) {
    struct Case {
        QString year;
        QString month;
        int days;
    };
    const Case cases[] = {
        {u"2024"_s, u"02"_s, 29}, {u"2023"_s, u"02"_s, 28}, {u"2020"_s, u"02"_s, 29},
        {u"2028"_s, u"02"_s, 29}, {u"2032"_s, u"02"_s, 29}, {u"2100"_s, u"02"_s, 28},
        {u"2000"_s, u"02"_s, 29}, {u"2023"_s, u"04"_s, 30}, {u"2023"_s, u"11"_s, 30},
        {u"2023"_s, u"01"_s, 31}, {u"2023"_s, u"08"_s, 31}, {u"2023"_s, u"12"_s, 31},
        {u"2023"_s, u""_s, 0},    {u""_s, u"02"_s, 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.year + u"-"_s + c.month).toStdString());
        const QStringList days = dayList(c.year, c.month);
        ASSERT_EQ(days.size(), c.days);
        if (c.days > 0) {
            EXPECT_EQ(days.first(), u"01"_s);
            EXPECT_EQ(days.at(8), u"09"_s);
            EXPECT_EQ(days.last(), QString::number(c.days));
        }
    }
}

TEST(ReturnReferencesTest, SerialFilter) {
    struct Case {
        QString typed;
        QString text;
        bool refused; // the status asks for a leading letter
    };
    const Case cases[] = {
        {u"1ABC"_s, u""_s, true},
        {u"1"_s, u""_s, true},
        {u"/"_s, u""_s, true},
        {u"AĞ"_s, u"A"_s, false},
        {u"A B"_s, u"AB"_s, false},
        {u"Ğ"_s, u""_s, false},
        {u"abc/12"_s, u"abc/12"_s, false},
        {u"GIB2023-00_1"_s, u"GIB2023001"_s, false},
        // The blank goes first; the digit then leading the text empties it as well.
        {u" 1A"_s, u""_s, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const SerialFilter f = filterSerial(c.typed);
        EXPECT_EQ(f.text, c.text);
        EXPECT_EQ(f.status, c.refused ? kMustBeLetter : QString());
    }
}

TEST(ReturnReferencesTest, AddChecksTheSerialRulesInOrder) {
    const QStringList existing = {u"ABC2024000000007---05/02/2024"_s};
    struct Case {
        const char* name;
        QString serial;
        QString day;
        AddResult::Kind kind;
        QString status;
        QString reference;
    };
    const Case cases[] = {
        {"seven characters",
         u"GIB2023"_s,
         u"05"_s,
         AddResult::Kind::Refused,
         u"eArşiv seri no 16 hane olmalıdır..!  (9) hane noksan.."_s,
         {}},
        {"eighteen characters",
         u"GIB202300000000012"_s,
         u"05"_s,
         AddResult::Kind::Refused,
         u"eArşiv seri no 16 hane olmalıdır..!  (2) hane fazla.."_s,
         {}},
        {"GIB short form is checked before expansion",
         u"GIB/7"_s,
         u"05"_s,
         AddResult::Kind::Refused,
         u"eArşiv seri no 16 hane olmalıdır..!  (11) hane noksan.."_s,
         {}},
        {"lower-case gib is a portal serial",
         u"gib2023"_s,
         u"05"_s,
         AddResult::Kind::Refused,
         u"eArşiv seri no 16 hane olmalıdır..!  (9) hane noksan.."_s,
         {}},
        {"untouched template", u"GIB2024000000000"_s, u"05"_s, AddResult::Kind::Ignored, {}, {}},
        {"short form", u"XYZ/7"_s, u"05"_s, AddResult::Kind::Added, u"Eklenen : 2"_s,
         u"XYZ2024000000007---05/02/2024"_s},
        {"lower case is upper-cased", u"gib2024000000123"_s, u"06"_s, AddResult::Kind::Added,
         u"Eklenen : 2"_s, u"GIB2024000000123---06/02/2024"_s},
        {"full portal serial", u"GIB2024000000123"_s, u"06"_s, AddResult::Kind::Added,
         u"Eklenen : 2"_s, u"GIB2024000000123---06/02/2024"_s},
        {"same reference",
         u"ABC/7"_s,
         u"05"_s,
         AddResult::Kind::Refused,
         u"Bu fatura zaten eklenmiş...!"_s,
         {}},
        {"same serial, other date",
         u"ABC2024000000007"_s,
         u"06"_s,
         AddResult::Kind::Refused,
         u"Bu serino zaten eklenmiş...!"_s,
         {}},
        {"no day", u"ABC/8"_s, u""_s, AddResult::Kind::Incomplete, {}, {}},
        {"no serial", u""_s, u"05"_s, AddResult::Kind::Incomplete, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AddResult r = addReference({c.serial, c.day, u"02"_s, u"2024"_s, existing});
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.reference, c.reference);
        if (c.kind == AddResult::Kind::Added) {
            EXPECT_EQ(r.serial, serialOf(c.reference));
            EXPECT_EQ(r.date, c.reference.mid(19));
        }
    }
}

TEST(ReturnReferencesTest, ShortFormFillsWithZerosAndTheShownYear) {
    EXPECT_EQ(addReference({u"ABC/7"_s, u"01"_s, u"03"_s, u"2024"_s, {}}).reference,
              u"ABC2024000000007---01/03/2024"_s);
    EXPECT_EQ(addReference({u"ABC/123"_s, u"01"_s, u"03"_s, u"2023"_s, {}}).serial,
              u"ABC2023000000123"_s);
    // Too long to fill: nothing is cut.
    EXPECT_EQ(addReference({u"ABCDE/1234567890"_s, u"01"_s, u"03"_s, u"2023"_s, {}}).serial,
              u"ABCDE20231234567890"_s);
}

} // namespace
} // namespace tavlix::returns
