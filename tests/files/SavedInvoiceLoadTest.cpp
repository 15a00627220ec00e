// A saved workbook read into the record a set uploads: the same lines, taxes and totals as the
// invoice that was saved, and every workbook that cannot be sent named with its reason.
#include "FilesFixture.h"

#include "files/InvoiceWorkbook.h"
#include "files/SavedInvoiceLoad.h"
#include "store/WorkbookStore.h"

#include <QFile>

using namespace Qt::StringLiterals;
using namespace tavlix::files;

namespace tavlix::test {
namespace {

class SavedInvoiceLoad : public FilesFixture {};

TEST_F(SavedInvoiceLoad, ComesBackAsSavedWithTheCompanysSettings) {
    ReportModel lines;
    // As the line editor left it: the import must compute the same cells again.
    layOut(lines, u"SATIŞ"_s, {u"V0059-KONAKLAMA VERGİSİ"_s},
           {{u"1"_s, u"Kalem"_s, u"3"_s, u"Adet"_s, u"12,50"_s, u"10"_s, u"3,75"_s, u"33,75"_s,
             u"20"_s, u"6,75"_s, u"2,000"_s, u"0,68"_s}});
    InvoiceRecord saved = invoiceOf(lines, u"SATIŞ"_s);
    saved.customerTitle = u"ÖRNEK TİCARET"_s;
    saved.taxNumber = u"1234567890"_s;
    const QString file = path(u"satış.xlsx"_s);
    ASSERT_TRUE(writeInvoiceWorkbook(saved, file));
    CompanySettings settings;
    settings.portalUser = u"33333333"_s;
    settings.userNot1 = u"Teşekkürler"_s;
    saved.settings = settings;

    const auto loaded = loadSavedInvoice(file, u"Alfa Ltd"_s, settings);
    ASSERT_TRUE(loaded) << loaded.message().toStdString();
    EXPECT_EQ(loaded->lineHeaders, saved.lineHeaders);
    EXPECT_EQ(loaded->lines, saved.lines);
    EXPECT_EQ(loaded->checkTotal, 4118); // 33,75 + 6,75 + 0,68
    EXPECT_EQ(loaded->company, u"Alfa Ltd"_s);
    EXPECT_EQ(loaded->settings.portalUser, u"33333333"_s);
    EXPECT_TRUE(loaded->notes.contains(u"Teşekkürler"_s));
    EXPECT_EQ(loaded->sourceWorkbook, u"satış.xlsx"_s);
}

TEST_F(SavedInvoiceLoad, WhatCannotBeSentSaysWhy) {
    const QString bare = path(u"şablon.xlsx"_s);
    {
        auto book = store::Workbook::create();
        book->activeSheet()->setName(u"Sayfa1"_s);
        book->activeSheet()->writeText(1, 1, u"s"_s);
        ASSERT_TRUE(book->saveAs(bare));
    }
    ReportModel withholding;
    layOut(withholding, u"TEVKİFAT"_s, {},
           {{u"1"_s, u"Kalem"_s, u"1"_s, u"Adet"_s, u"10,00"_s, u"0"_s, u""_s, u""_s, u"20"_s,
             u""_s, u"601"_s, u"0"_s, u""_s}});
    const QString zeroRate = path(u"tevkifat.xlsx"_s);
    ASSERT_TRUE(writeInvoiceWorkbook(invoiceOf(withholding, u"TEVKİFAT"_s), zeroRate));
    InvoiceRecord other = invoiceOf(withholding, u"TEVKİFAT"_s);
    other.typeText = u"BAŞKA"_s;
    const QString unknownType = path(u"başka.xlsx"_s);
    ASSERT_TRUE(writeInvoiceWorkbook(other, unknownType));
    const QString broken = path(u"bozuk.xlsx"_s);
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("PK no zip");
    }

    const struct {
        QString file;
        QString reason;
    } cases[] = {{bare, u"\"Fatura Bilgileri\" sayfası yok"_s},
                 {zeroRate, u"tevkifat oranı 0'dan büyük olmalıdır"_s},
                 {unknownType, u"fatura türü bilinmiyor"_s},
                 {broken, QString()},
                 {path(u"yok.xlsx"_s), QString()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const auto loaded = loadSavedInvoice(c.file, u"Alfa Ltd"_s, {});
        ASSERT_FALSE(loaded);
        EXPECT_FALSE(loaded.message().isEmpty());
        EXPECT_TRUE(loaded.message().contains(c.reason)) << loaded.message().toStdString();
    }
}

} // namespace
} // namespace tavlix::test
