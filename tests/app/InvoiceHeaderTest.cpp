// The invoice header on the main window: type choice, currency, customer, dates, search, and
// deleting a line.
#include "AppFixture.h"

#include "invoice/InvoiceRecord.h"
#include "store/WorkbookStore.h"
#include "widgets/ReportModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

class InvoiceHeader : public AppFixture {
protected:
    void startWith(const QString& company = u"Alfa Ltd"_s) {
        makeStandardData();
        setToday(QDate(2024, 5, 20));
        start();
        selectCompany(company);
    }

    // A line as the line editor appends it: number, name, quantity, unit, price, discount rate,
    // discount, amount, VAT rate, VAT.
    void addLine(const QString& name, const QString& amount, const QString& vat = u"0,00"_s) {
        const int n = m_window->lines().rowTotal() + 1;
        m_window->lines().appendRow({QString::number(n), name, u"1"_s, u"Adet"_s, amount, u"0"_s,
                                     u"0,00"_s, amount, u"18"_s, vat});
    }
};

TEST_F(InvoiceHeader, ChoosingATypeEnablesEditingAndAddsItsColumns) {
    startWith();
    chooseType(u"TEVKİFAT"_s);
    EXPECT_TRUE(find<QPushButton>("Command7")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("Command8")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("Command9")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("Command9")->styleSheet().contains(u"#c0ffff"_s));
    EXPECT_TRUE(find<QPushButton>("Command7")->styleSheet().contains(u"#c0ffc0"_s));
    EXPECT_FALSE(find<QPushButton>("Command11")->isEnabled()) << "Excel Aç waits for a file";
    EXPECT_EQ(m_window->lines().columnTotal(), 13);
    EXPECT_EQ(m_window->lines().column(12).header, u"Tevkifat Tutarı"_s);
    EXPECT_EQ(m_window->lines().textColor(), QColor(0, 0, 255));
    EXPECT_FALSE(find<QPushButton>("Command5")->isVisibleTo(m_window.get()));

    chooseType(u"İADE"_s);
    EXPECT_EQ(m_window->lines().columnTotal(), 10);
    EXPECT_EQ(m_window->lines().textColor(), QColor(255, 0, 0));
    EXPECT_TRUE(find<QPushButton>("Command5")->isVisibleTo(m_window.get()));
    EXPECT_TRUE(find<QLabel>("Label20")->isVisibleTo(m_window.get()));
}

TEST_F(InvoiceHeader, AnotherTypeEmptiesTheBodyOnceTheUserAgrees) {
    startWith();
    chooseType(u"SATIŞ"_s);
    addLine(u"Kalem"_s, u"100,00"_s);
    m_window->yekunal();
    ASSERT_GT(m_window->totals().rowTotal(), 0);
    find<QLineEdit>("Text9")->setText(u"10:00:00"_s);
    find<QLineEdit>("Text11")->setText(u"A-1"_s);
    find<QPlainTextEdit>("Text6")->setPlainText(u"elle yazılmış not"_s);

    boxes->answer(QMessageBox::Yes);
    chooseType(u"İADE"_s);
    EXPECT_EQ(
        boxes->texts(),
        QStringList{u"Fatura türü değişirse fatura satırları silinecek. Devam edilsin mi?"_s});
    EXPECT_EQ(m_window->lines().rowTotal(), 0);
    EXPECT_EQ(m_window->totals().rowTotal(), 0);
    EXPECT_TRUE(find<QLineEdit>("Text9")->text().isEmpty());
    EXPECT_TRUE(find<QLineEdit>("Text11")->text().isEmpty());
    EXPECT_TRUE(m_window->kdvMatStr().isEmpty());
    EXPECT_FALSE(find<QPlainTextEdit>("Text6")->toPlainText().contains(u"elle"_s));
}

// Saving and uploading read Text8 and Text10: they hold the dates the boxes show (today at first,
// no dispatch date until one is picked), whether or not the user went through the boxes; a
// customer search keeps them.
TEST_F(InvoiceHeader, TheInvoiceCarriesTheDatesItsBoxesShow) {
    const struct {
        int invoicePick, dispatchPick; // Combo5, Combo6 positions picked before the type; -1: none
        bool search;                   // the customer search opened after the type
        QString invoiceDate, dispatchDate;
    } cases[] = {{-1, -1, false, u"20/05/2024"_s, {}},
                 {-1, -1, true, u"20/05/2024"_s, {}},
                 {3, -1, false, u"17/05/2024"_s, {}},
                 {3, 1, true, u"17/05/2024"_s, u"16/05/2024"_s}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.invoicePick << c.dispatchPick << c.search);
        m_window.reset();
        startWith();
        for (const auto& [name, pick] :
             {std::pair{"Combo5", c.invoicePick}, {"Combo6", c.dispatchPick}}) {
            if (pick >= 0) {
                find<QComboBox>(name)->setCurrentIndex(pick);
                leave(find<QComboBox>(name));
            }
        }
        chooseType(u"SATIŞ"_s);
        if (c.search)
            QTest::mouseClick(find<QLabel>("Label19"), Qt::LeftButton);
        const InvoiceRecord r = m_window->invoiceRecord();
        EXPECT_EQ(r.invoiceDate, c.invoiceDate);
        EXPECT_EQ(r.dispatchDate, c.dispatchDate);
    }
}

TEST_F(InvoiceHeader, TaxpayerKindSInEitherCaseIsRefused) {
    for (const QString& kind : {u"S"_s, u"s"_s}) {
        SCOPED_TRACE(kind.toStdString());
        m_window.reset();
        boxes->clear();
        makeStandardData(QString(), [&](store::Workbook& book) {
            book.sheet(u"prgDATA"_s)->writeText(10, 2, kind);
        });
        start();
        selectCompany(u"Alfa Ltd"_s);
        chooseType(u"SATIŞ"_s);
        EXPECT_EQ(boxes->texts(),
                  QStringList{u"Bu belge türü Mükellefiyetinize uygun değildir !"_s});
        EXPECT_EQ(find<QComboBox>("Combo1")->currentText(), u"Fatura Türü Seçin"_s);
        EXPECT_FALSE(find<QPushButton>("Command7")->isEnabled());
    }
}

TEST_F(InvoiceHeader, DispatchDatesFollowTheInvoiceDatePosition) {
    startWith();
    auto* combo5 = find<QComboBox>("Combo5");
    combo5->setCurrentIndex(3);
    leave(combo5);
    EXPECT_EQ(find<QLineEdit>("Text8")->text(), u"17/05/2024"_s);
    EXPECT_FALSE(combo5->isVisibleTo(m_window.get()));
    EXPECT_FALSE(find<QLineEdit>("Text8")->isEnabled());
    auto* combo6 = find<QComboBox>("Combo6");
    EXPECT_EQ(items(combo6), (QStringList{u"17.05.2024"_s, u"16.05.2024"_s, u"15.05.2024"_s,
                                          u"14.05.2024"_s, u"13.05.2024"_s}));
    combo6->setCurrentIndex(2);
    leave(combo6);
    EXPECT_EQ(find<QLineEdit>("Text10")->text(), u"15/05/2024"_s);
}

TEST_F(InvoiceHeader, CustomerCardIsLoadedAndTheLaterOfTwoEqualNamesWins) {
    makeStandardData(QString(), [](store::Workbook& book) {
        store::Worksheet& m = *book.sheet(u"mDATA"_s);
        m.writeText(5, 3, u"Abc Yapı "_s);
        m.writeText(5, 4, u"Yeni Adres"_s);
        m.writeText(5, 6, u"Yeni Daire"_s);
        m.writeText(5, 7, u"'0123456789"_s);
    });
    start();
    selectCompany(u"Alfa Ltd"_s);
    auto* combo3 = find<QComboBox>("Combo3");
    combo3->setEditText(u"Abc Yapı "_s);
    leave(combo3);
    EXPECT_EQ(find<QLineEdit>("Text2")->text(), u"Yeni Adres"_s);
    EXPECT_EQ(find<QLineEdit>("Text3")->text(), u"Yeni Daire"_s);
    EXPECT_EQ(find<QLineEdit>("Text4")->text(), u"0123456789"_s);
    EXPECT_FALSE(combo3->isEnabled());
    EXPECT_FALSE(find<QComboBox>("Combo4")->isEnabled());
}

TEST_F(InvoiceHeader, SearchFindsNamesContainingTheTextAndTakesOne) {
    startWith();
    auto* label19 = find<QLabel>("Label19");
    QTest::mouseClick(label19, Qt::LeftButton);
    auto* list3 = find<QListWidget>("List3");
    EXPECT_TRUE(list3->isVisibleTo(m_window.get()));
    EXPECT_EQ(find<QComboBox>("Combo3")->count(), 0);
    auto* text19 = find<QLineEdit>("Text19");
    ASSERT_TRUE(text19->isEnabled());
    QTest::keyClicks(text19, u"ab"_s);
    EXPECT_EQ(items(list3), (QStringList{u"Abc Yapı "_s, u"Kara ve AB"_s}));

    emit list3->itemDoubleClicked(list3->item(1));
    EXPECT_EQ(find<QComboBox>("Combo3")->currentText(), u"Kara ve AB"_s);
    EXPECT_FALSE(list3->isVisibleTo(m_window.get()));
    EXPECT_FALSE(text19->isEnabled());
    EXPECT_EQ(find<QLineEdit>("Text3")->text(), u"Konak"_s);
}

TEST_F(InvoiceHeader, TurkishLiraEmptiesAndDisablesTheExchangeRate) {
    startWith();
    auto* combo2 = find<QComboBox>("Combo2");
    auto* text7 = find<QLineEdit>("Text7");
    combo2->setCurrentIndex(combo2->findText(u"Euro"_s));
    leave(combo2);
    EXPECT_TRUE(text7->isEnabled());
    text7->setText(u"35,12"_s);
    combo2->setCurrentIndex(combo2->findText(u"Türk Lirası"_s));
    leave(combo2);
    EXPECT_TRUE(text7->text().isEmpty());
    EXPECT_FALSE(text7->isEnabled());
}

TEST_F(InvoiceHeader, DeletingALineAsksAndRenumbers) {
    startWith();
    chooseType(u"SATIŞ"_s);
    for (int i = 1; i <= 4; ++i)
        addLine(u"Kalem %1"_s.arg(i), u"10,00"_s, u"1,80"_s);
    m_window->yekunal();

    boxes->answer(QMessageBox::No);
    m_window->lineClicked(1);
    EXPECT_EQ(boxes->last(), u"2 nolu satırı sil !"_s);
    EXPECT_EQ(m_window->lines().rowTotal(), 4);

    boxes->answer(QMessageBox::Yes);
    m_window->lineClicked(1);
    ReportModel& lines = m_window->lines();
    ASSERT_EQ(lines.rowTotal(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(lines.cell(r, 0), QString::number(r + 1));
    EXPECT_EQ(lines.cell(1, 1), u"Kalem 3"_s);
    EXPECT_EQ(lines.cell(2, 1), u"Kalem 4"_s);
    EXPECT_EQ(m_window->totals().cell(m_window->totals().rowTotal() - 1, 2), u"35,40"_s);
}

TEST_F(InvoiceHeader, DeletingTheOnlyLineLeavesZeroTotals) {
    startWith();
    chooseType(u"SATIŞ"_s);
    addLine(u"Tek"_s, u"50,00"_s);
    m_window->yekunal();
    boxes->answer(QMessageBox::Yes);
    m_window->lineClicked(0);
    EXPECT_EQ(m_window->lines().rowTotal(), 0);
    EXPECT_EQ(m_window->totals().cell(m_window->totals().rowTotal() - 1, 2), u"0,00"_s);
    EXPECT_EQ(m_window->kdvMatStr(), u"KDV MATRAH [%1: 0,00][%10: 0,00][%20: 0,00]"_s);
}

} // namespace
} // namespace tavlix::test
