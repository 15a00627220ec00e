// The issued invoices beside the saved workbooks: the Pdf folder read with the XML filed beside
// each PDF, newest first, and the tab that selects, opens and mails one.
#include "FilesFixture.h"

#include "files/IssuedInvoices.h"
#include "files/SavedInvoicesPanel.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

class IssuedInvoices : public FilesFixture {
protected:
    void SetUp() override {
        FilesFixture::SetUp();
        sales = path(u"Örnek Firma/Satış Faturaları"_s);
        for (const char16_t* sub : {u"Pdf", u"Xml", u"Html"})
            ASSERT_TRUE(QDir().mkpath(sales + u'/' + QString::fromUtf16(sub)));
        // Prefixed UBL with a company buyer.
        put(u"Pdf/GIB2026000000002-07-12-2026-AAA.pdf"_s, "%PDF-1.4 A");
        put(u"Html/GIB2026000000002-07-12-2026-AAA.html"_s, "<html></html>");
        put(u"Xml/GIB2026000000002-07-12-2026-AAA.xml"_s,
            "<inv:Invoice xmlns:inv=\"urn:ubl:Invoice-2\" "
            "xmlns:cac=\"urn:cac\" xmlns:cbc=\"urn:cbc\"><cbc:ID>GIB2026000000002</cbc:ID>"
            "<cbc:UUID>aaa</cbc:UUID>"
            "<cbc:IssueDate>2026-12-07</cbc:IssueDate><cac:AccountingSupplierParty><cac:Party>"
            "<cac:PartyName><cbc:Name>Satıcı</cbc:Name></cac:PartyName></cac:Party>"
            "</cac:AccountingSupplierParty><cac:AccountingCustomerParty><cac:Party>"
            "<cac:PartyIdentification><cbc:ID schemeID=\"VKN\">1234567890</cbc:ID>"
            "</cac:PartyIdentification><cac:PartyName><cbc:Name>Kara ve AB İnşaat</cbc:Name>"
            "</cac:PartyName></cac:Party></cac:AccountingCustomerParty></inv:Invoice>");
        // Unprefixed, a person as buyer, one day later.
        put(u"Pdf/GIB2026000000003-08-12-2026-BBB.pdf"_s, "%PDF-1.4 B");
        put(u"Xml/GIB2026000000003-08-12-2026-BBB.xml"_s,
            "<Invoice><ID>GIB2026000000003</ID><UUID>BBB</UUID><IssueDate>2026-12-08</IssueDate>"
            "<AccountingCustomerParty><Party><PartyIdentification><ID>12345678901</ID>"
            "</PartyIdentification><PartyName><Name></Name></PartyName><Person>"
            "<FirstName>Ayşe</FirstName><FamilyName>Yılmaz</FamilyName></Person></Party>"
            "</AccountingCustomerParty></Invoice>");
        // A broken XML, a PDF without one, and a file that is no PDF.
        put(u"Pdf/GIB2026000000001-01-12-2026-CCC.pdf"_s, "%PDF-1.4 C");
        put(u"Xml/GIB2026000000001-01-12-2026-CCC.xml"_s, "<Invoice><ID>kırık");
        put(u"Pdf/ELDEN.PDF"_s, "%PDF-1.4 D");
        put(u"Pdf/not.txt"_s, "x");
    }
    void put(const QString& name, const QByteArray& bytes) {
        QFile f(sales + u'/' + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString company() const { return path(u"Örnek Firma"_s); }

    QString sales;
};

TEST_F(IssuedInvoices, NewestFirstDescribedByTheirXml) {
    const QList<files::IssuedInvoice> list = files::listIssuedInvoices(company());
    QStringList captions;
    for (const auto& invoice : list)
        captions << invoice.caption();
    EXPECT_EQ(captions, QStringList({u"GIB2026000000003  08.12.2026  Ayşe Yılmaz"_s,
                                     u"GIB2026000000002  07.12.2026  Kara ve AB İnşaat"_s,
                                     u"GIB2026000000001-01-12-2026-CCC.pdf"_s, u"ELDEN.PDF"_s}));
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[0].taxNumber, u"12345678901"_s);
    EXPECT_EQ(list[1].taxNumber, u"1234567890"_s) << "the buyer's, not the seller's";
    EXPECT_EQ(list[1].buyer, u"Kara ve AB İnşaat"_s);
    EXPECT_EQ(list[1].htmlPath,
              QDir(sales).absoluteFilePath(u"Html/GIB2026000000002-07-12-2026-AAA.html"_s));
    EXPECT_EQ(list[2].number, u"GIB2026000000001"_s) << "from the name when the XML is broken";
    EXPECT_TRUE(list[2].buyer.isEmpty());
    EXPECT_TRUE(files::listIssuedInvoices(path(u"Başka Firma"_s)).isEmpty());
    EXPECT_TRUE(files::listIssuedInvoices(QString()).isEmpty());
}

// The user opens the tab and clicks an invoice: "Excel Aç" and "e-Mail Gönder" act on it, the
// workbook buttons stay off; a PDF gone from disk is no longer current.
TEST_F(IssuedInvoices, TabSelectsAndMailsAnIssuedInvoice) {
    files::SavedInvoicesPanel panel;
    QStringList mailed, workbookMails;
    files::SavedInvoicesHost host;
    host.typeChosen = [] { return true; };
    host.openIssuedMail = [&](const files::IssuedInvoice& i) { mailed << i.number; };
    host.openMail = [&](const QString& file) { workbookMails << file; };
    panel.setHost(std::move(host));
    panel.resize(400, 500);
    panel.showFolder(company());
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));

    auto* tabs = panel.findChild<QTabWidget*>(u"FilesTabs"_s);
    auto* list = panel.findChild<QTreeWidget*>(u"IssuedList"_s);
    auto button = [&](const char* name) {
        return panel.findChild<QPushButton*>(QString::fromUtf8(name));
    };
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    ASSERT_EQ(tabs->currentIndex(), 1);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_FALSE(button("Command15")->isEnabled()) << "nothing clicked yet";

    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_TRUE(panel.currentIssued().has_value());
    EXPECT_EQ(panel.currentIssued()->number, u"GIB2026000000002"_s);
    EXPECT_TRUE(button("Command11")->isEnabled());
    EXPECT_TRUE(button("Command15")->isEnabled());
    EXPECT_FALSE(button("Command10")->isEnabled()) << "an issued invoice is not deleted here";
    EXPECT_FALSE(button("Command3")->isEnabled());
    QTest::mouseClick(button("Command15"), Qt::LeftButton);
    EXPECT_EQ(mailed, QStringList{u"GIB2026000000002"_s});
    EXPECT_TRUE(workbookMails.isEmpty());

    // Gone from disk: the next look finds it missing and turns the buttons off.
    ASSERT_TRUE(QFile::remove(sales + u"/Pdf/GIB2026000000002-07-12-2026-AAA.pdf"_s));
    panel.refreshIssued();
    EXPECT_EQ(list->topLevelItemCount(), 3);
    EXPECT_FALSE(panel.currentIssued().has_value());
    EXPECT_FALSE(button("Command15")->isEnabled());

    // "Evet" after an upload: the tab shown, the new invoice selected and its mail opened.
    panel.mailIssued(sales + u"/Pdf/GIB2026000000003-08-12-2026-BBB.pdf"_s);
    EXPECT_EQ(mailed.last(), u"GIB2026000000003"_s);
    EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), 0);
    EXPECT_TRUE(button("Command15")->isEnabled());

    // Back on the workbooks, the issued invoice clicked before is not what the buttons act on.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(0)).center());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_FALSE(panel.currentIssued().has_value());
    EXPECT_FALSE(button("Command15")->isEnabled());
}

// The state column shows what the journal holds; the refresh asks for the month of the invoice
// clicked; a journal that cannot be read shows no state and breaks nothing.
TEST_F(IssuedInvoices, StateColumnFollowsTheJournal) {
    const auto filed = files::filedInvoicesOfMonth(company(), 2026, 12);
    QStringList seen;
    for (const auto& f : filed)
        seen << f.ettn + u' ' + f.number + u' ' + f.date.toString(u"dd.MM"_s);
    EXPECT_EQ(seen,
              (QStringList{u"AAA GIB2026000000002 07.12"_s, u"BBB GIB2026000000003 08.12"_s}));
    EXPECT_TRUE(files::filedInvoicesOfMonth(company(), 2026, 11).isEmpty());

    files::SavedInvoicesPanel panel;
    QList<std::pair<int, int>> asked;
    files::SavedInvoicesHost host;
    host.refreshStates = [&](int year, int month) {
        asked.append({year, month});
        QList<portal::JournalEntry> journal;
        for (const auto& [ettn, state] :
             {std::pair{u"AAA"_s, u"Onaylandı"_s}, std::pair{u"BBB"_s, u"Silinmiş"_s}}) {
            portal::JournalEntry e;
            e.ettn = ettn;
            e.approvalState = state;
            journal << e;
        }
        ASSERT_TRUE(portal::writeJournal(portal::journalPathIn(company()), journal));
    };
    panel.setHost(std::move(host));
    panel.showFolder(company());
    panel.show();
    auto* list = panel.findChild<QTreeWidget*>(u"IssuedList"_s);
    auto* tabs = panel.findChild<QTabWidget*>(u"FilesTabs"_s);
    auto* refresh = panel.findChild<QPushButton*>(u"cmdPortalDurum"_s);
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    const auto states = [&] {
        QStringList s;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            s << list->topLevelItem(i)->text(1);
        return s;
    };
    EXPECT_EQ(states(), (QStringList{u""_s, u""_s, u""_s, u""_s}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(1)).center());
    QTest::mouseClick(refresh, Qt::LeftButton);
    EXPECT_EQ(asked, (QList<std::pair<int, int>>{{2026, 12}}));
    EXPECT_EQ(states(), (QStringList{u"Silinmiş"_s, u"Onaylandı"_s, u""_s, u""_s}));
    EXPECT_EQ(panel.currentIssued()->number, u"GIB2026000000002"_s) << "the selection stays";

    QFile broken(portal::journalPathIn(company()));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("kırık");
    broken.close();
    panel.refreshIssued();
    EXPECT_EQ(states(), (QStringList{u""_s, u""_s, u""_s, u""_s}));
}

} // namespace
} // namespace tavlix::test
