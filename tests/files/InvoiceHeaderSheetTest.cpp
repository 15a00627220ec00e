// The header sheet of a saved invoice: written beside "Sayfa1" and read back whole (by the program
// and by openpyxl); a workbook without it, with rows of its own or missing reads as what it is.
#include "FilesFixture.h"

#include "files/InvoiceHeaderSheet.h"
#include "files/InvoiceWorkbook.h"
#include "support/Openpyxl.h"

#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;
using namespace tavlix::files;

namespace tavlix::test {
namespace {

class HeaderSheet : public FilesFixture {};

TEST_F(HeaderSheet, SavedHeaderComesBackWhole) {
    ReportModel lines;
    layOut(lines, u"İADE"_s, {}, {{u"1"_s, u"Kalem"_s, u"1"_s, u"Adet"_s, u"10,00"_s}});
    InvoiceRecord saved = invoiceOf(lines, u"İADE"_s);
    int n = 0;
    for (QString* f : {&saved.taxOffice, &saved.customerCountry, &saved.customerEmail,
                       &saved.invoiceDate, &saved.issueTime, &saved.dispatchDate,
                       &saved.dispatchSerial, &saved.currency, &saved.exchangeRate})
        *f = u"değer %1"_s.arg(++n);
    saved.customerAddress = u"'Moda' Cad. 1"_s;
    saved.notes = u"• Not bir\n  • Not iki"_s;
    saved.returnReferences = {u"A1---01/12/2026"_s, u"A2---02/12/2026"_s};
    const auto header = [](const InvoiceRecord& r) {
        return QStringList{r.typeText,          r.customerName,    r.customerTitle,
                           r.customerFirstName, r.customerSurname, r.taxNumber,
                           r.taxOffice,         r.customerAddress, r.customerCountry,
                           r.customerEmail,     r.invoiceDate,     r.issueTime,
                           r.dispatchDate,      r.dispatchSerial,  r.currency,
                           r.exchangeRate,      r.notes,           QString::number(r.typeIndex)} +
               r.returnReferences;
    };
    saved.typeIndex = 1;
    for (const bool person : {false, true}) {
        SCOPED_TRACE(person ? "person" : "company");
        saved.customerName = person ? u"AYŞE YILDIRIM"_s : u"ÖRNEK TİCARET A.Ş."_s;
        saved.customerTitle = person ? QString() : saved.customerName;
        saved.customerFirstName = person ? u"AYŞE"_s : QString();
        saved.customerSurname = person ? u"YILDIRIM"_s : QString();
        saved.taxNumber = person ? u"01234567890"_s : u"1234567890"_s; // a leading zero stays
        const QString file = path(u"%1.xlsx"_s.arg(person));
        ASSERT_TRUE(writeInvoiceWorkbook(saved, file));
        const auto read = readInvoiceHeader(file);
        ASSERT_TRUE(read.ok() && read->has_value()) << read.message().toStdString();
        EXPECT_EQ(header(**read), header(saved));

        // Another reader: "Sayfa1" first and active, the header as label/value text cells.
        const QJsonObject book = readWithOpenpyxl(file);
        EXPECT_EQ(book[u"sheets"_s].toArray(), (QJsonArray{u"Sayfa1"_s, u"Fatura Bilgileri"_s}));
        EXPECT_EQ(book[u"active"_s].toString(), u"Sayfa1"_s);
        const QJsonObject cells = book[u"cells"_s][u"Fatura Bilgileri"_s].toObject();
        EXPECT_EQ(cells[u"A6"_s].toString() + cells[u"B6"_s].toString(),
                  u"Vergi No"_s + saved.taxNumber);
        EXPECT_EQ(cells[u"B17"_s].toString(), saved.notes);
        EXPECT_EQ(book[u"cells"_s][u"Sayfa1"_s][u"B2"_s].toString(), u"Kalem"_s);
    }
}

TEST_F(HeaderSheet, OtherWorkbooksReadAsWhatTheyHold) {
    ASSERT_TRUE(writeWithOpenpyxl(path(u"eski.xlsx"_s),
                                  u"wb = openpyxl.Workbook(); wb.active.title = 'Sayfa1'\n"
                                  u"wb.save(path)"_s));
    ASSERT_TRUE(writeWithOpenpyxl(
        path(u"elle.xlsx"_s),
        u"wb = openpyxl.Workbook(); ws = wb.create_sheet('fatura bilgileri')\n"
        u"for row in [['Kendi notum', 'x'], ['Vergi No', 1234567890], [' Alıcı ', ' ÖRNEK '],\n"
        u"            ['İade Faturası', None], ['Fatura Türü', 'BAŞKA']]: ws.append(row)\n"
        u"wb.save(path)"_s));

    const auto old = readInvoiceHeader(path(u"eski.xlsx"_s));
    EXPECT_TRUE(old.ok() && !old->has_value());
    const auto byHand = readInvoiceHeader(path(u"elle.xlsx"_s));
    ASSERT_TRUE(byHand.ok() && byHand->has_value());
    EXPECT_EQ((*byHand)->taxNumber, u"1234567890"_s) << "a number cell as its digits";
    EXPECT_EQ((*byHand)->customerName, u"ÖRNEK"_s);
    EXPECT_TRUE((*byHand)->returnReferences.isEmpty());
    EXPECT_EQ((*byHand)->typeIndex, -1);
    EXPECT_FALSE(readInvoiceHeader(path(u"yok.xlsx"_s)).ok());
}

} // namespace
} // namespace tavlix::test
