// "Excel Kaydet": the file name, the workbook as an independent reader sees it, the same-name
// question, failures, the folder listing and "Excel SiL".
#include "FilesFixture.h"

#include "files/InvoiceWorkbook.h"
#include "support/Files.h"
#include "support/Openpyxl.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <deque>

using namespace Qt::StringLiterals;
using namespace tavlix::files;

namespace tavlix::test {
namespace {

const QString kTax = u"V0059-KONAKLAMA VERGİSİ"_s;

const QStringList kLine = {u"1"_s, u"Danışmanlık"_s, u"2"_s,        u"Saat"_s, u"1.250,00"_s,
                           u"0"_s, u"0,00"_s,        u"2.500,00"_s, u"18"_s,   u"450,00"_s};

class SavedInvoice : public FilesFixture {};

TEST_F(SavedInvoice, FileNameFollowsCompanyDateSerialTypeAndTaxCodes) {
    struct Case {
        const char* name;
        QString date;
        QString serial;
        QStringList taxes;
        QString expected;
    };
    const Case cases[] = {
        {"plain", u"07/12/2026"_s, QString(), {}, u"ACME 07-12-2026  SATIŞ .xlsx"_s},
        {"one extra tax",
         u"07/12/2026"_s,
         QString(),
         {kTax},
         u"ACME 07-12-2026  SATIŞ V0059-.xlsx"_s},
        {"two extra taxes",
         u"07/12/2026"_s,
         QString(),
         {kTax, u"V0021-BANKA VE SİGORTA MUAMELELERİ VERGİSİ"_s},
         u"ACME 07-12-2026  SATIŞ V0059-V0021-.xlsx"_s},
        {"serial with a slash",
         u"07/12/2026"_s,
         u"A/2026/15"_s,
         {},
         u"ACME 07-12-2026 A-2026-15 SATIŞ .xlsx"_s},
        {"date not a date", u"7 Aralık"_s, QString(), {}, u"ACME 7 Aralık  SATIŞ .xlsx"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportModel lines;
        layOut(lines, u"SATIŞ"_s, c.taxes);
        InvoiceRecord invoice = invoiceOf(lines, u"SATIŞ"_s);
        invoice.invoiceDate = c.date;
        invoice.dispatchSerial = c.serial;
        EXPECT_EQ(invoiceFileName(invoice), c.expected);
    }
}

TEST_F(SavedInvoice, WorkbookHasHeadersInRowOneAndLinesFromColumnB) {
    ReportModel lines;
    QStringList second = kLine;
    second[0] = u"2"_s;
    second[1] = u"'Tırnaklı' ürün"_s;
    layOut(lines, u"SATIŞ"_s, {kTax}, {kLine, second});
    const SaveResult saved =
        saveInvoiceWorkbook(invoiceOf(lines, u"SATIŞ"_s), m_dir.path(), prompt);
    ASSERT_EQ(saved.outcome, SaveOutcome::Saved) << prompt.last().toStdString();
    EXPECT_TRUE(prompt.messages.isEmpty());

    const QJsonObject book = readWithOpenpyxl(saved.path);
    EXPECT_EQ(book[u"sheets"_s].toArray().first().toString(), u"Sayfa1"_s);
    const QJsonObject cells = book[u"cells"_s][u"Sayfa1"_s].toObject();
    EXPECT_EQ(cells[u"A1"_s].toString(), u"s"_s);
    EXPECT_EQ(cells[u"K1"_s].toString(), u"V0059-KONAKLAMA VERGİSİ%"_s);
    EXPECT_FALSE(cells.contains(u"A2"_s)) << "the line number is not written";
    EXPECT_EQ(cells[u"B2"_s].toString(), u"Danışmanlık"_s);
    EXPECT_EQ(cells[u"E2"_s].toString(), u"1.250,00"_s) << "cells as the list shows them";
    EXPECT_EQ(cells[u"K2"_s].toString(), u"0,000"_s);
    EXPECT_EQ(cells[u"B3"_s].toString(), u"'Tırnaklı' ürün"_s);
    const QJsonObject a1 = book[u"styles"_s][u"Sayfa1"_s][u"A1"_s].toObject();
    EXPECT_TRUE(a1[u"bold"_s].toBool());
    EXPECT_EQ(a1[u"color"_s].toString(), u"0000FF"_s);
    EXPECT_EQ(a1[u"horizontal"_s].toString(), u"center"_s);
    EXPECT_EQ(a1[u"vertical"_s].toString(), u"center"_s);
    EXPECT_GT(book[u"widths"_s][u"Sayfa1"_s][u"B"_s].toDouble(), 10) << "columns fitted";
}

// A name that exists offers "Üzerine Yaz", "Yeni Adla Kaydet" (default) and "İptal": only the
// first touches the old file, the second keeps both under " (2)", " (3)" …
TEST_F(SavedInvoice, SameNameOffersThreeChoicesAndANewNameKeepsBoth) {
    ReportModel lines;
    layOut(lines, u"SATIŞ"_s, {}, {kLine});
    const InvoiceRecord invoice = invoiceOf(lines, u"SATIŞ"_s);
    const QString name = invoiceFileName(invoice), stem = name.chopped(5);
    QFile old(path(name));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("eski dosya") > 0);
    old.close();
    const QByteArray before = fileDigest(path(name));
    const struct {
        std::deque<int> picks; // empty: the default
        SaveOutcome outcome;
        QString written;
    } cases[] = {{{2}, SaveOutcome::Kept, {}},
                 {{}, SaveOutcome::Saved, stem + u" (2).xlsx"_s},
                 {{1}, SaveOutcome::Saved, stem + u" (3).xlsx"_s},
                 {{0}, SaveOutcome::Saved, name}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        prompt = {};
        prompt.picks = c.picks;
        const SaveResult saved = saveInvoiceWorkbook(invoice, m_dir.path(), prompt);
        EXPECT_EQ(saved.outcome, c.outcome);
        EXPECT_EQ(prompt.offered,
                  (QList<QStringList>{{u"Üzerine Yaz"_s, u"Yeni Adla Kaydet"_s, u"İptal"_s}}));
        EXPECT_TRUE(prompt.questions.value(0).startsWith(name + u" zaten var."_s));
        EXPECT_EQ(fileDigest(path(name)) == before, c.written != name) << "only Üzerine Yaz";
        if (!c.written.isEmpty()) {
            EXPECT_EQ(
                readWithOpenpyxl(path(c.written))[u"cells"_s][u"Sayfa1"_s][u"B2"_s].toString(),
                u"Danışmanlık"_s);
        }
    }
    EXPECT_EQ(savedInvoiceNames(m_dir.path()).size(), 3);
}

TEST_F(SavedInvoice, FailedSaveIsToldNeverSilent) {
    ReportModel lines;
    layOut(lines, u"SATIŞ"_s, {}, {kLine});
    InvoiceRecord tooLong = invoiceOf(lines, u"SATIŞ"_s);
    tooLong.company = QString(300, u'Ş'); // more than a file name may hold
    const QString gone = path(u"silinmiş"_s);
    QDir().mkpath(gone);
    QDir(gone).removeRecursively();

    struct Case {
        const char* name;
        InvoiceRecord invoice;
        QString folder;
    };
    const Case cases[] = {{"folder removed", invoiceOf(lines, u"SATIŞ"_s), gone},
                          {"name refused by the file system", tooLong, m_dir.path()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.messages.clear();
        EXPECT_EQ(saveInvoiceWorkbook(c.invoice, c.folder, prompt).outcome, SaveOutcome::Failed);
        ASSERT_EQ(prompt.messages.size(), 1);
        EXPECT_TRUE(prompt.last().startsWith(u"Fatura kaydedilemedi"_s))
            << prompt.last().toStdString();
    }
    EXPECT_TRUE(savedInvoiceNames(m_dir.path()).isEmpty()) << "no temporary file left behind";
}

TEST_F(SavedInvoice, ListTakesXlsxInAnyCaseAndExcelSilRemovesTheFile) {
    for (const char* name :
         {"a.xlsx", "B.XLSX", "c.Xlsx", "d.xls", "e.xlsx.bak", "f.csv",
          "Demo 2026-11 Aylık Özet.xlsx", "Toplu Yükleme 2026-12-09 10.15.xlsx"}) {
        QFile f(path(QString::fromUtf8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QDir(m_dir.path()).mkdir(u"klasör.xlsx"_s);
    QStringList listed = savedInvoiceNames(m_dir.path());
    listed.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, (QStringList{u"a.xlsx"_s, u"B.XLSX"_s, u"c.Xlsx"_s}));

    // The trash of this test's own home, so nothing lands in the real one.
    const QString home = path(u"ev"_s);
    QDir().mkpath(home); // its data folder is made by the deletion itself
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_DATA_HOME", (home + u"/.local/share"_s).toUtf8());
    EXPECT_TRUE(removeSavedInvoice(path(u"B.XLSX"_s)));
    EXPECT_FALSE(removeSavedInvoice(path(u"B.XLSX"_s))) << "already gone";
    EXPECT_FALSE(removeSavedInvoice(QString()));
    qputenv("HOME", oldHome);
    if (oldData.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldData);
    EXPECT_FALSE(savedInvoiceNames(m_dir.path()).contains(u"B.XLSX"_s));
    EXPECT_TRUE(QFile::exists(home + u"/.local/share/Trash/files/B.XLSX"_s)) << "in the trash";
}

} // namespace
} // namespace tavlix::test
