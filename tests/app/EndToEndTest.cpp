// One invoice composed from start to end through the windows, as a user does it: company, type,
// customer, lines from a stock card and typed by hand, one deleted; the totals worked out by hand.
#include "AppFixture.h"

#include "store/WorkbookStore.h"
#include "widgets/ReportModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

class EndToEnd : public AppFixture {
protected:
    QWidget* form7 = nullptr;

    template <typename T> T* inEditor(const char* name) {
        return form7->findChild<T*>(QString::fromUtf8(name));
    }

    void typeLine(const QString& name, const QString& quantity, const QString& unit,
                  const QString& price, const QString& discount, const QString& vat) {
        inEditor<QLineEdit>("Text2")->setText(name);
        inEditor<QLineEdit>("Text3")->setText(quantity);
        inEditor<QComboBox>("Combo1")->setCurrentText(unit);
        inEditor<QLineEdit>("Text4")->setText(price);
        inEditor<QLineEdit>("Text5")->setText(discount);
        inEditor<QComboBox>("Combo2")->setCurrentText(vat);
        QTest::mouseClick(inEditor<QPushButton>("Command4"), Qt::LeftButton);
    }
};

TEST_F(EndToEnd, ComposeAnInvoiceAndCheckItsTotals) {
    makeStandardData(QString(), [](store::Workbook& book) {
        store::Worksheet& kod = *book.sheet(u"kodDATA"_s);
        kod.writeText(2, 15, u"Adet"_s);
        kod.writeText(3, 15, u"Saat"_s);
        const int rates[] = {0, 1, 8, 18};
        for (int i = 0; i < 4; ++i)
            kod.writeNumber(2 + i, 17, rates[i]);
        store::Worksheet& s = *book.sheet(u"sDATA"_s);
        s.writeText(2, 1, u"K-1"_s);
        s.writeText(2, 2, u"Firmalarım"_s);
        s.writeText(2, 3, u"Kalem"_s);
        s.writeText(2, 4, u"Adet"_s);
        s.writeNumber(2, 5, 12.5);
        s.writeNumber(2, 6, 0);
        s.writeNumber(2, 7, 18);
    });
    start();
    selectCompany(u"Alfa Ltd"_s);
    chooseType(u"SATIŞ"_s);
    auto* combo3 = find<QComboBox>("Combo3");
    combo3->setEditText(u"Abc Yapı "_s);
    leave(combo3);
    ASSERT_EQ(find<QLineEdit>("Text3")->text(), u"Çankaya"_s);

    QTest::mouseClick(find<QPushButton>("Command7"), Qt::LeftButton);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"Form7"_s)
            form7 = w;
    }
    ASSERT_NE(form7, nullptr);
    ASSERT_TRUE(form7->isVisible());

    // Line 1 from the stock card, by name.
    inEditor<QComboBox>("Combo8")->setCurrentText(u"Kalem"_s);
    QTest::mouseClick(inEditor<QPushButton>("Command1"), Qt::LeftButton);
    ASSERT_EQ(inEditor<QLineEdit>("Text2")->text(), u"Kalem"_s);
    inEditor<QLineEdit>("Text3")->setText(u"2"_s);
    QTest::mouseClick(inEditor<QPushButton>("Command4"), Qt::LeftButton);
    // Lines 2 and 3 typed by hand.
    typeLine(u"Danışmanlık"_s, u"3"_s, u"Saat"_s, u"100"_s, u"10"_s, u"8"_s);
    typeLine(u"Kargo"_s, u"1"_s, u"Adet"_s, u"50"_s, u"0"_s, u"18"_s);
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join(u" | "_s).toStdString();

    ReportModel& lines = m_window->lines();
    ASSERT_EQ(lines.rowTotal(), 3);
    EXPECT_EQ(lines.rowCells(1).mid(0, 10),
              (QStringList{u"2"_s, u"Danışmanlık"_s, u"3"_s, u"Saat"_s, u"100,00"_s, u"10"_s,
                           u"30,00"_s, u"270,00"_s, u"8"_s, u"21,60"_s}));

    boxes->answer(QMessageBox::Yes);
    m_window->lineClicked(2);
    ASSERT_EQ(lines.rowTotal(), 2);

    // Kalem 2 × 12,50 = 25,00 + VAT 18 % 4,50; Danışmanlık 3 × 100 = 300,00 − 30,00 discount,
    // 270,00 + VAT 8 % 21,60.
    ReportModel& totals = m_window->totals();
    QStringList amounts;
    for (int r = 0; r < totals.rowTotal(); ++r)
        amounts << totals.cell(r, 1) + totals.cell(r, 2);
    EXPECT_EQ(amounts,
              (QStringList{u"Mal / Hizmet Bedeli Toplamı :325,00"_s, u"İskontolar Toplamı :30,00"_s,
                           u"KDV Toplamı :26,10"_s, u"GENEL TOPLAM :321,10"_s}));
    EXPECT_EQ(m_window->kdvMatStr(),
              u"KDV MATRAH [%1: 0,00][%8: 270,00][%10: 0,00][%18: 25,00][%20: 0,00]"_s);
    EXPECT_EQ(m_window->yazTopStr(), u"Yalnız:ÜçyüzyirmibirTLOnKr."_s);
    EXPECT_EQ(m_window->checkTotal(), 32110);
    EXPECT_TRUE(
        find<QPlainTextEdit>("Text6")->toPlainText().endsWith(u"• Yalnız:ÜçyüzyirmibirTLOnKr."_s));
}

} // namespace
} // namespace tavlix::test
