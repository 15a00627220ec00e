#include "customers/CustomerCard.h"

#include "store/DataWorkbook.h"
#include "support/Files.h"
#include "support/Openpyxl.h"

#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix::customers {
namespace {

const QString kIllegal = u"illegal karekter !"_s;

TEST(CustomerCardTest, DisplayNameJoinsWithOneBlankBeforeTheSurname) {
    CustomerCard organisation;
    organisation.title = u"Deneme A.Ş."_s;
    EXPECT_EQ(displayName(organisation), u"Deneme A.Ş. "_s);
    CustomerCard person;
    person.firstName = u"Ayşe"_s;
    person.surname = u"Yılmaz"_s;
    EXPECT_EQ(displayName(person), u"Ayşe Yılmaz"_s);
}

TEST(CustomerCardTest, TaxNumberFilter) {
    struct Case {
        QString typed;
        QString text;
        bool statusChanged;
        QString status;
        bool lookup;
    };
    const Case cases[] = {
        {u"12a"_s, u"12"_s, true, kIllegal, false},
        // Pasted with a letter inside: only the digits before the first letter stay.
        {u"12a45"_s, u"12"_s, true, kIllegal, false},
        {u"1234567890x12"_s, u"1234567890"_s, true, kIllegal, true},
        {u"a"_s, u""_s, true, kIllegal, false},
        {u"12 3"_s, u"12"_s, true, kIllegal, false},
        {u"١٢"_s, u""_s, true, kIllegal, false},
        {u"123456789"_s, u"123456789"_s, true, u""_s, false},
        {u"1234567890"_s, u"1234567890"_s, true, u""_s, true},
        {u"12345678901"_s, u"12345678901"_s, true, u""_s, true},
        {u"123456789012"_s, u"123456789012"_s, true, u""_s, false},
        {u""_s, u""_s, false, u""_s, false},
        // A long paste is filtered in one pass (a filter that went once per character took
        // seconds here and ran out of stack).
        {u"1234567890"_s + QString(200000, u'x'), u"1234567890"_s, true, kIllegal, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.left(20).toStdString());
        const TaxNumberFilter f = filterTaxNumber(c.typed);
        EXPECT_EQ(f.text, c.text);
        EXPECT_EQ(f.statusChanged, c.statusChanged);
        EXPECT_EQ(f.status, c.status);
        EXPECT_EQ(f.lookupEnabled, c.lookup);
    }
}

class CustomerSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(u"DATA.xlsx"_s);
    }
    // A foreign-made workbook with an mDATA header, plus `rows` as Python statements on `ws`.
    void makeWorkbook(const QString& rows = {}) {
        ASSERT_TRUE(test::writeWithOpenpyxl(path, uR"(
wb = openpyxl.Workbook()
wb.active.title = 'kodDATA'
ws = wb.create_sheet('mDATA')
ws['F1'] = 'VERGİ DAİRESİ*'
ws['G1'] = 'VERGİ/TCK NO*'
)"_s + rows + u"\nwb.save(path)\n"_s));
    }
    QByteArray digest() const { return test::fileDigest(path); }
    static CustomerCard organisation(const QString& number) {
        CustomerCard c;
        c.title = u"Deneme"_s;
        c.address = u"Atatürk Cad. 1"_s;
        c.country = u"Türkiye"_s;
        c.taxOffice = u"Kadıköy"_s;
        c.taxNumber = number;
        c.email = u"a@b.c"_s;
        c.phone = u"0216"_s;
        c.fax = u"0217"_s;
        c.contact = u"Ali"_s;
        c.accountCode = u"120.01"_s;
        return c;
    }

    QTemporaryDir dir;
    QString path;
};

TEST_F(CustomerSaveTest, FirstCustomersGoIntoRowsTwoAndThreeWithTheNumberAsText) {
    ASSERT_TRUE(store::createDataWorkbook(path).ok());
    Result<SaveOutcome> first = saveCustomer(path, organisation(u"0123456789"_s));
    ASSERT_TRUE(first.ok()) << first.message().toStdString();
    EXPECT_EQ(first->kind, SaveOutcome::Kind::Saved);
    EXPECT_EQ(first->row, 2);
    CustomerCard person;
    person.firstName = u"Ayşe"_s;
    person.surname = u"Yılmaz"_s;
    person.country = u"Almanya"_s;
    person.taxOffice = u"Üsküdar"_s;
    person.taxNumber = u"12345678901"_s;
    Result<SaveOutcome> second = saveCustomer(path, person);
    ASSERT_TRUE(second.ok()) << second.message().toStdString();
    EXPECT_EQ(second->row, 3);

    const QJsonObject cells =
        test::readWithOpenpyxl(path)[u"cells"_s].toObject()[u"mDATA"_s].toObject();
    const std::pair<const char*, QString> expected[] = {
        {"C2", u"Deneme "_s},     {"D2", u"Atatürk Cad. 1"_s}, {"E2", u"Türkiye"_s},
        {"F2", u"Kadıköy"_s},     {"G2", u"0123456789"_s},     {"H2", u"a@b.c"_s},
        {"I2", u"0216"_s},        {"J2", u"0217"_s},           {"K2", u"Ali"_s},
        {"L2", u"120.01"_s},      {"C3", u"Ayşe Yılmaz"_s},    {"E3", u"Almanya"_s},
        {"G3", u"12345678901"_s}, {"F1", u"VERGİ DAİRESİ*"_s},
    };
    for (const auto& [ref, text] : expected) {
        const QJsonValue v = cells[QString::fromLatin1(ref)];
        EXPECT_TRUE(v.isString()) << ref; // G stays text
        EXPECT_EQ(v.toString(), text) << ref;
    }
    EXPECT_FALSE(cells.contains(u"A2"_s));
    EXPECT_FALSE(cells.contains(u"B2"_s));
    EXPECT_FALSE(cells.contains(u"D3"_s));
}

TEST_F(CustomerSaveTest, RefusalsLeaveTheFileByteForByte) {
    // A number typed by hand into column G is still the same tax number.
    makeWorkbook(uR"(
ws['C2'] = 'Eski '
ws['F2'] = 'Kadıköy'
ws['G2'] = 1234567890
ws['C3'] = 'Yeni '
ws['F3'] = 'Beşiktaş'
ws['G3'] = '5555555555'
)"_s);
    const QByteArray before = digest();
    ASSERT_FALSE(before.isEmpty());
    struct Case {
        QString number;
        SaveOutcome::Kind kind;
        QString status;
    };
    const Case cases[] = {
        {u"1234567890"_s, SaveOutcome::Kind::Duplicate,
         u"Bu Vergi Kimlik No daha önce kaydedilmiş..!"_s},
        {u"5555555555"_s, SaveOutcome::Kind::Duplicate,
         u"Bu Vergi Kimlik No daha önce kaydedilmiş..!"_s},
        {u""_s, SaveOutcome::Kind::EmptyNumber, u"Vergi no alanı boş bırakılamaz..!"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number.toStdString());
        Result<SaveOutcome> r = saveCustomer(path, organisation(c.number));
        ASSERT_TRUE(r.ok()) << r.message().toStdString();
        EXPECT_EQ(r->kind, c.kind);
        EXPECT_EQ(r->status, c.status);
        EXPECT_EQ(digest(), before);
    }
    Result<SaveOutcome> other = saveCustomer(path, organisation(u"1234567891"_s));
    ASSERT_TRUE(other.ok());
    EXPECT_EQ(other->row, 4);
}

TEST_F(CustomerSaveTest, ARowTypedInWithoutTaxOfficeIsKept) {
    makeWorkbook(uR"(
ws['C2'] = 'Elle '
ws['G2'] = '555'
ws['C4'] = 'Aşağıda '
ws['F4'] = 'Konak'
ws['G4'] = '777'
)"_s);
    Result<SaveOutcome> r = saveCustomer(path, organisation(u"999"_s));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->row, 3) << "the first row with no cell filled";
    const QJsonObject cells =
        test::readWithOpenpyxl(path)[u"cells"_s].toObject()[u"mDATA"_s].toObject();
    EXPECT_EQ(cells[u"C2"_s].toString(), u"Elle "_s);
    EXPECT_EQ(cells[u"C3"_s].toString(), u"Deneme "_s);
    EXPECT_EQ(cells[u"C4"_s].toString(), u"Aşağıda "_s);

    Result<SaveOutcome> again = saveCustomer(path, organisation(u"777"_s));
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->kind, SaveOutcome::Kind::Duplicate) << "numbers below a gap count too";
}

TEST_F(CustomerSaveTest, BrokenOrForeignWorkbooksGiveAMessage) {
    Result<SaveOutcome> missing = saveCustomer(path, organisation(u"1234567890"_s));
    ASSERT_FALSE(missing.ok());
    EXPECT_FALSE(missing.message().isEmpty());

    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a workbook");
    junk.close();
    Result<SaveOutcome> broken = saveCustomer(path, organisation(u"1234567890"_s));
    ASSERT_FALSE(broken.ok());
    EXPECT_FALSE(broken.message().isEmpty());
    ASSERT_TRUE(junk.open(QIODevice::ReadOnly));
    EXPECT_EQ(junk.readAll(), QByteArray("not a workbook"));
    junk.close();

    ASSERT_TRUE(test::writeWithOpenpyxl(path, u"openpyxl.Workbook().save(path)\n"_s));
    const QByteArray before = digest();
    Result<SaveOutcome> noSheet = saveCustomer(path, organisation(u"1234567890"_s));
    ASSERT_FALSE(noSheet.ok());
    EXPECT_TRUE(noSheet.message().contains(u"mDATA"_s));
    EXPECT_EQ(digest(), before);
}

} // namespace
} // namespace tavlix::customers
