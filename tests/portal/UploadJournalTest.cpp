// The upload journal: rows read back by an independent reader, a journal that cannot be read
// kept aside rather than written over, and which invoice counts as issued.
#include "portal/UploadJournal.h"

#include "support/Files.h"
#include "support/Openpyxl.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;

namespace {

JournalEntry prepared() {
    JournalEntry e;
    e.uploadedAt = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
    e.invoiceDate = u"08/12/2026"_s;
    e.typeText = u"SATIŞ"_s;
    e.buyerTaxNumber = u"1234567890"_s;
    e.buyerName = u"=ÖRNEK TİCARET"_s; // a name that a spreadsheet would take for a formula
    e.tavlixTotal = 123456789;
    e.portalTotal = 123456788;
    e.portalNumber = u"GIB2026000000007"_s;
    e.ettn = u"0E0E0E0E-0000-4000-8000-000000000001"_s;
    e.outcome = QString::fromUtf16(kJournalPrepared);
    e.sourceWorkbook = u"ACME 08-12-2026  SATIŞ .xlsx"_s;
    return e;
}

class UploadJournal : public ::testing::Test {
protected:
    QString path() const { return dir.path() + u"/Satış Faturaları/Yüklemeler.xlsx"_s; }
    QTemporaryDir dir;
};

TEST_F(UploadJournal, RowsReadBackByOpenpyxlAndByTheProgram) {
    JournalEntry refused = prepared();
    refused.outcome = QString::fromUtf16(kJournalNotSaved);
    refused.portalTotal.reset();
    refused.portalNumber.clear();
    refused.ettn.clear();
    refused.sourceWorkbook.clear();
    ASSERT_TRUE(appendJournalEntry(path(), prepared()));
    ASSERT_TRUE(appendJournalEntry(path(), refused));

    const QJsonObject cells =
        tavlix::test::readWithOpenpyxl(path())[u"cells"_s][u"Yüklemeler"_s].toObject();
    EXPECT_EQ(cells[u"A2"_s].toString(), u"2026-12-08 14:05:09"_s);
    EXPECT_EQ(cells[u"E2"_s].toString(), u"=ÖRNEK TİCARET"_s);
    EXPECT_DOUBLE_EQ(cells[u"F2"_s].toDouble(), 1234567.89);
    EXPECT_DOUBLE_EQ(cells[u"G2"_s].toDouble(), 1234567.88);
    EXPECT_EQ(cells[u"J2"_s].toString(), u"hazırlandı"_s);
    EXPECT_EQ(cells[u"J3"_s].toString(), u"kaydedilmedi"_s);
    EXPECT_TRUE(cells[u"G3"_s].isUndefined()) << "no portal total read: the cell stays empty";

    const auto read = readJournal(path());
    ASSERT_TRUE(read) << read.message().toStdString();
    ASSERT_EQ(read->size(), 2);
    const JournalEntry& first = read->at(0);
    EXPECT_EQ(first.uploadedAt, prepared().uploadedAt);
    EXPECT_EQ(first.buyerName, prepared().buyerName);
    EXPECT_EQ(first.tavlixTotal, 123456789);
    EXPECT_EQ(first.portalTotal, std::optional<tavlix::money::Kurus>(123456788));
    EXPECT_EQ(first.sourceWorkbook, prepared().sourceWorkbook);
    EXPECT_FALSE(read->at(1).portalTotal.has_value());
}

// Each journal cannot be read: the append keeps it byte for byte under a time stamp, says so, and
// begins a new journal holding the new row only.
TEST_F(UploadJournal, UnreadableJournalIsKeptAside) {
    struct Case {
        const char* name;
        std::function<void()> make;
    };
    const QList<Case> cases{
        {"not a workbook", [&] { tavlix::test::writeFile(path(), "PK\x03\x04 kırık"); }},
        {"another program's sheet",
         [&] {
             tavlix::test::writeWithOpenpyxl(path(), u"wb = openpyxl.Workbook()\n"
                                                     u"wb.active.title = 'Yüklemeler'\n"
                                                     u"wb.active['A1'] = 'Tarih'\n"
                                                     u"wb.save(path)\n"_s);
         }},
        {"a total edited into a word",
         [&] {
             ASSERT_TRUE(appendJournalEntry(path(), prepared()));
             tavlix::test::writeWithOpenpyxl(path(), u"wb = openpyxl.load_workbook(path)\n"
                                                     u"wb.active['F2'] = 'bin lira'\n"
                                                     u"wb.save(path)\n"_s);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(QFileInfo(path()).absolutePath());
        c.make();
        const QByteArray before = tavlix::test::readAll(path());
        ASSERT_FALSE(readJournal(path()));

        const auto added = appendJournalEntry(path(), prepared());
        ASSERT_FALSE(added) << "the user must hear of it";
        EXPECT_TRUE(added.message().contains(u"Yüklemeler.xlsx.2"_s))
            << added.message().toStdString();
        const QStringList aside =
            QDir(QFileInfo(path()).absolutePath()).entryList({u"Yüklemeler.xlsx.*"_s}, QDir::Files);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(tavlix::test::readAll(QFileInfo(path()).absolutePath() + u'/' + aside.first()),
                  before);
        const auto fresh = readJournal(path());
        ASSERT_TRUE(fresh) << fresh.message().toStdString();
        EXPECT_EQ(fresh->size(), 1);
    }
}

TEST_F(UploadJournal, IssuedOnlyByAPreparedRowOfTheSameInvoice) {
    tavlix::InvoiceRecord invoice;
    invoice.invoiceDate = u"08/12/2026"_s;
    invoice.typeText = u"SATIŞ"_s;
    invoice.taxNumber = u"1234567890 "_s;
    invoice.checkTotal = 123456789;
    JournalEntry older = prepared();
    older.portalNumber = u"GIB2026000000001"_s;
    JournalEntry refused = prepared();
    refused.outcome = QString::fromUtf16(kJournalNotSaved);
    refused.portalNumber = u"yok"_s;

    ASSERT_TRUE(findIssued({older, prepared(), refused}, invoice));
    EXPECT_EQ(findIssued({older, prepared(), refused}, invoice)->portalNumber,
              u"GIB2026000000007"_s)
        << "the newest prepared row, not a later refusal";
    struct Case {
        const char* name;
        std::function<void(tavlix::InvoiceRecord&)> change;
    };
    const QList<Case> others{
        {"one kuruş more", [](auto& i) { ++i.checkTotal; }},
        {"another day", [](auto& i) { i.invoiceDate = u"09/12/2026"_s; }},
        {"another type", [](auto& i) { i.typeText = u"İADE"_s; }},
        {"another buyer", [](auto& i) { i.taxNumber = u"12345678901"_s; }},
    };
    for (const Case& c : others) {
        tavlix::InvoiceRecord other = invoice;
        c.change(other);
        EXPECT_FALSE(findIssued({older, prepared()}, other)) << c.name;
    }
    EXPECT_FALSE(findIssued({refused}, invoice)) << "a refused upload issued nothing";
}

} // namespace
