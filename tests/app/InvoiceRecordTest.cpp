// The invoice as one value: what the main window's record carries for an invoice composed
// through its windows.
#include "AppFixture.h"

#include "invoice/InvoiceRecord.h"
#include "widgets/ReportModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

using InvoiceRecordTest = AppFixture;

TEST_F(InvoiceRecordTest, CarriesHeaderLinesReturnReferencesSettingsAndTotals) {
    makeStandardData();
    setToday(QDate(2024, 5, 20));
    start();
    selectCompany(u"Alfa Ltd"_s);
    chooseType(u"İADE"_s);
    auto* combo5 = find<QComboBox>("Combo5");
    combo5->setCurrentIndex(1);
    leave(combo5);
    auto* combo6 = find<QComboBox>("Combo6");
    combo6->setCurrentIndex(1);
    leave(combo6);
    find<QLineEdit>("Text9")->setText(u"10:15:00"_s);
    find<QLineEdit>("Text11")->setText(u"İRS-5"_s);
    auto* combo3 = find<QComboBox>("Combo3");
    combo3->setEditText(u"Kara ve AB"_s);
    leave(combo3);
    const QList<QStringList> lines = {{u"1"_s, u"Vida"_s, u"2"_s, u"Adet"_s, u"10,00"_s, u"0"_s,
                                       u"0,00"_s, u"20,00"_s, u"18"_s, u"3,60"_s},
                                      {u"2"_s, u"Somun"_s, u"1"_s, u"Kutu"_s, u"5,00"_s, u"0"_s,
                                       u"0,00"_s, u"5,00"_s, u"8"_s, u"0,40"_s}};
    for (const QStringList& line : lines)
        m_window->lines().appendRow(line);
    m_window->yekunal();

    // Two purchase references through the return window.
    QTest::mouseClick(find<QPushButton>("Command5"), Qt::LeftButton);
    QWidget* form2 = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"Form2"_s && w->isVisible())
            form2 = w;
    }
    ASSERT_NE(form2, nullptr);
    for (const auto& [day, serial] : {std::pair{u"07"_s, u"ABC/7"_s}, {u"09"_s, u"ABD/12"_s}}) {
        form2->findChild<QComboBox*>(u"Combo3"_s)->setCurrentText(day);
        form2->findChild<QLineEdit*>(u"Text1"_s)->setText(serial);
        QTest::mouseClick(form2->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
    }

    const InvoiceRecord r = m_window->invoiceRecord();
    EXPECT_EQ(r.company, u"Alfa Ltd"_s);
    EXPECT_EQ(r.typeIndex, 1);
    EXPECT_EQ(r.typeText, u"İADE"_s);
    EXPECT_EQ(r.currency, u"Türk Lirası"_s);
    EXPECT_EQ(r.invoiceDate, u"19/05/2024"_s);
    EXPECT_EQ(r.dispatchDate, u"18/05/2024"_s);
    EXPECT_EQ(r.issueTime, u"10:15:00"_s);
    EXPECT_EQ(r.dispatchSerial, u"İRS-5"_s);
    EXPECT_EQ(r.customerName, u"Kara ve AB"_s);
    EXPECT_EQ(r.customerAddress, u"Adres 2"_s);
    EXPECT_EQ(r.customerCountry, u"Türkiye"_s);
    EXPECT_EQ(r.taxOffice, u"Konak"_s);
    EXPECT_EQ(r.taxNumber, u"2222222222"_s);
    EXPECT_EQ(r.customerEmail, u"b@x.example"_s);

    EXPECT_EQ(r.lineHeaders, m_window->lines().headers());
    EXPECT_EQ(r.lineHeaders.size(), 10);
    EXPECT_EQ(r.lines, lines);
    EXPECT_EQ(r.returnReferences, (QStringList{u"ABC2024000000007---07/05/2024"_s,
                                               u"ABD2024000000012---09/05/2024"_s}));

    EXPECT_EQ(r.settings.bookKeepingType, u"B"_s);
    EXPECT_EQ(r.settings.userNot1, u"Not bir"_s);
    EXPECT_EQ(r.settings.userNot3, u"Not üç"_s);

    // 25,00 goods + 4,00 VAT.
    ASSERT_FALSE(r.totals.isEmpty());
    EXPECT_EQ(r.totals.first(),
              (QStringList{u"1"_s, u"Mal / Hizmet Bedeli Toplamı :"_s, u"25,00"_s}));
    EXPECT_EQ(r.totals.last().mid(1), (QStringList{u"GENEL TOPLAM :"_s, u"29,00"_s}));
    EXPECT_EQ(r.kdvMatStr, u"KDV MATRAH [%1: 0,00][%8: 5,00][%10: 0,00][%18: 20,00][%20: 0,00]"_s);
    EXPECT_EQ(r.yazTopStr, u"Yalnız:YirmidokuzTL--Kr."_s);
    EXPECT_EQ(r.checkTotal, 2900);
    EXPECT_TRUE(r.notes.endsWith(r.yazTopStr)) << r.notes.toStdString();
}

} // namespace
} // namespace tavlix::test
