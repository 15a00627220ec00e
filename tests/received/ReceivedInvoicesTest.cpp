// The plain parts of the received-invoice download: months offered, the four ranges of a month,
// the list's path and the list workbook as an independent reader sees it.
#include "received/ReceivedInvoices.h"

#include "support/Openpyxl.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix::received {
namespace {

TEST(ReceivedInvoicesTest, PeriodsAreTheTwentyFiveMonthsBeforeTodayAndParseBack) {
    const QStringList periods = downloadPeriods(QDate(2023, 1, 17));
    ASSERT_EQ(periods.size(), 25);
    EXPECT_EQ(periods.first(), u"2022 Aralık "_s);
    EXPECT_EQ(periods.at(3), u"2022 Eylül "_s);
    EXPECT_EQ(periods.at(4), u"2022 Ağustos "_s);
    EXPECT_EQ(periods.last(), u"2020 Aralık "_s);
    // Every offered text is read back as the month it names.
    QDate expected(2022, 12, 1);
    for (const QString& period : periods) {
        const auto month = parsePeriod(period);
        ASSERT_TRUE(month.has_value()) << period.toStdString();
        EXPECT_EQ(QDate(month->year, month->month, 1), expected) << period.toStdString();
        expected = expected.addMonths(-1);
    }
    // The 31st of a month does not skip or repeat a shorter month.
    EXPECT_EQ(downloadPeriods(QDate(2024, 3, 31)).mid(0, 2),
              (QStringList{u"2024 Şubat "_s, u"2024 Ocak "_s}));
    for (const QString& bad : {u""_s, u"2022 Kasim "_s, u"yıl! Kasım "_s, u"2022 Kasım"_s})
        EXPECT_FALSE(parsePeriod(bad).has_value()) << bad.toStdString();
}

TEST(ReceivedInvoicesTest, MonthRangesEndOnTheRealLastDay) {
    EXPECT_EQ(monthRanges({2022, 11}), (QList<DateRange>{{u"01-11-2022"_s, u"08-11-2022"_s},
                                                         {u"09-11-2022"_s, u"16-11-2022"_s},
                                                         {u"17-11-2022"_s, u"24-11-2022"_s},
                                                         {u"25-11-2022"_s, u"30-11-2022"_s}}));
    const std::tuple<int, int, QString> lastEnds[] = {
        {2022, 9, u"30-09-2022"_s}, {2022, 12, u"31-12-2022"_s}, {2024, 2, u"29-02-2024"_s},
        {2023, 2, u"28-02-2023"_s}, {2000, 2, u"29-02-2000"_s},  {2100, 2, u"28-02-2100"_s},
        {2023, 1, u"31-01-2023"_s},
    };
    for (const auto& [year, month, end] : lastEnds) {
        const auto ranges = monthRanges({year, month});
        ASSERT_EQ(ranges.size(), 4);
        EXPECT_EQ(ranges.last().to, end);
    }
    EXPECT_EQ((QueryMonth{2022, 11}.yearMonth()), u"2022-11"_s);
}

TEST(ReceivedInvoicesTest, ListPathStaysInsideTheCompanyFolder) {
    EXPECT_EQ(receivedListPath(u"/p"_s, u"Deneme Ltd"_s, {2022, 11}),
              u"/p/Firmalarım/Deneme Ltd/Alış Faturaları/Deneme Ltd 2022-11 eArşivFat.xlsx"_s);
    for (const QString& bad : {u"../x"_s, u"a/b"_s, u""_s, u".."_s})
        EXPECT_FALSE(receivedListPath(u"/p"_s, bad, {2022, 11}).has_value()) << bad.toStdString();
    EXPECT_TRUE(purchaseWorkbooks(u"/p"_s, u"../x"_s).isEmpty());
}

class ReceivedListWorkbookTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const {
        return dir.filePath(u"Alış Faturaları/Deneme Ltd 2022-11 eArşivFat.xlsx"_s);
    }
};

TEST_F(ReceivedListWorkbookTest, HeadingsAndCellsAsTheSiteShowedThem) {
    const QList<QStringList> rows = {
        {u"Kuzey Kırtasiye Ltd. Şti."_s, u"0123456789"_s, u"KKT2022000000112"_s, u"01-11-2022"_s,
         u"00:05:00"_s, u"1.180,00"_s, u"1.180,00"_s, u"180,00"_s, u"TRY"_s, u""_s,
         u"ELEKTRONIK"_s},
        {u"Ege Enerji A.Ş."_s, u"4560012345"_s, u"EEA2022000004511"_s, u"08-11-2022"_s,
         u"23:58:01"_s, u"59"_s, u"59"_s, u"9"_s, u"TRY"_s, u"0004001234"_s, u"KAGIT"_s},
    };
    ASSERT_TRUE(writeReceivedInvoices(path(), rows).ok());

    const QJsonObject book = test::readWithOpenpyxl(path());
    const QString sheet = book[u"sheets"_s].toArray().first().toString();
    const QJsonObject cells = book[u"cells"_s][sheet].toObject();
    const QJsonObject styles = book[u"styles"_s][sheet].toObject();
    const QStringList& headings = receivedInvoiceHeadings();
    ASSERT_EQ(headings.size(), 11);
    for (int c = 0; c < 11; ++c) {
        const QString ref = QChar(u'A' + c) + u"1"_s;
        EXPECT_EQ(cells[ref].toString(), headings.at(c));
        const QJsonObject st = styles[ref].toObject();
        EXPECT_TRUE(st[u"bold"_s].toBool()) << ref.toStdString();
        EXPECT_EQ(st[u"color"_s].toString(), u"000000"_s) << ref.toStdString();
        EXPECT_EQ(st[u"fill"_s].toString(), u"FFCC99"_s) << ref.toStdString(); // index 40
    }
    EXPECT_FALSE(cells.contains(u"L1"_s));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 11; ++c) {
            const QString ref = QChar(u'A' + c) + QString::number(r + 2);
            const QString site = rows.at(r).at(c);
            if (site.isEmpty()) {
                EXPECT_FALSE(cells.contains(ref)) << ref.toStdString();
                continue;
            }
            // Text, never a number: the leading zero and the Turkish amounts stay as they were.
            ASSERT_TRUE(cells[ref].isString()) << ref.toStdString();
            EXPECT_EQ(cells[ref].toString(), site) << ref.toStdString();
        }
    }
    EXPECT_FALSE(cells.contains(u"A4"_s));
}

TEST_F(ReceivedListWorkbookTest, AnOlderListIsReplacedWholeAndAFailedSaveSaysSo) {
    ASSERT_TRUE(writeReceivedInvoices(path(), {QStringList(11, u"eski"_s)}).ok());
    ASSERT_TRUE(writeReceivedInvoices(path(), {}).ok());
    const QJsonObject book = test::readWithOpenpyxl(path());
    const QJsonObject cells = book[u"cells"_s].toObject().begin()->toObject();
    EXPECT_EQ(cells.size(), 11); // the headings only
    EXPECT_EQ(QDir(QFileInfo(path()).absolutePath()).entryList(QDir::Files).size(), 1)
        << "no temporary file left beside the list";

    // A folder where the list should go cannot be replaced: the error says so, nothing changes.
    const QString blocked = dir.filePath(u"engel.xlsx"_s);
    ASSERT_TRUE(QDir().mkpath(blocked + u"/içerik"_s));
    const auto failed = writeReceivedInvoices(blocked, {});
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(failed.message().isEmpty());
    EXPECT_TRUE(QFileInfo(blocked + u"/içerik"_s).isDir());
}

} // namespace
} // namespace tavlix::received
