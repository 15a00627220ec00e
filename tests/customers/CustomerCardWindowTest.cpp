#include "customers/CustomerCardWindow.h"

#include "invoice/RecordingHost.h"
#include "support/Openpyxl.h"

#include <QComboBox>
#include <QGroupBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

class CustomerCardWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        host.workbookPath = dir.filePath(u"DATA.xlsx"_s);
        ASSERT_TRUE(test::writeWithOpenpyxl(host.workbookPath, uR"(
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'mDATA'
ws['C1'] = 'MÜŞTERİ SOYADI*'
ws['F1'] = 'VERGİ DAİRESİ*'
ws['G1'] = 'VERGİ/TCK NO*'
wb.save(path)
)"_s));
        host.countryList = {u"Almanya"_s, u"Türkiye"_s};
        window = std::make_unique<CustomerCardWindow>(host);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T> T* find(const QString& name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit* text(int n) { return find<QLineEdit>(u"Text%1"_s.arg(n)); }
    QPushButton* button(int n) { return find<QPushButton>(u"Command%1"_s.arg(n)); }
    QString status() { return find<QLabel>(u"Label14"_s)->text(); }
    // QTest::keyClicks takes ASCII only; each character goes in as a key event with its text.
    void typeInto(int n, const QString& s) {
        for (QChar c : s)
            QTest::sendKeyEvent(QTest::Click, text(n), Qt::Key_unknown, QString(c), {});
    }
    void choose(const char* option) {
        QRadioButton* b = find<QRadioButton>(QString::fromLatin1(option));
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    void fillOrganisation(const QString& number) {
        choose("Option1");
        typeInto(1, u"Deneme"_s);
        typeInto(4, u"Adres"_s);
        typeInto(5, u"Kadıköy"_s);
        typeInto(6, number);
        typeInto(7, u"a@b.c"_s);
    }
    QJsonObject cells() {
        return test::readWithOpenpyxl(host.workbookPath)[u"cells"_s]
            .toObject()[u"mDATA"_s]
            .toObject();
    }

    QTemporaryDir dir;
    test::RecordingHost host;
    std::unique_ptr<CustomerCardWindow> window;
};

TEST_F(CustomerCardWindowTest, LoadStateAndCustomerTypes) {
    EXPECT_EQ(window->objectName(), u"Form4"_s);
    EXPECT_EQ(window->windowTitle(), u"Tavlix-Yeni Müşteri Kartı"_s);
    EXPECT_FALSE(find<QGroupBox>(u"Frame1"_s)->isVisible());
    EXPECT_FALSE(find<QRadioButton>(u"Option1"_s)->isChecked());
    EXPECT_FALSE(find<QRadioButton>(u"Option2"_s)->isChecked());
    QComboBox* country = find<QComboBox>(u"Combo1"_s);
    EXPECT_EQ(country->currentText(), u"Türkiye"_s);
    EXPECT_EQ(country->count(), 2);
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_FALSE(button(3)->isEnabled());
    EXPECT_FALSE(button(4)->isEnabled());
    EXPECT_EQ(button(2)->text(), u"KAPAT"_s);
    EXPECT_EQ(button(4)->text(), u"Seç ve KAYDET"_s);

    choose("Option2");
    EXPECT_TRUE(find<QGroupBox>(u"Frame1"_s)->isVisible());
    EXPECT_FALSE(text(1)->isVisible());
    EXPECT_TRUE(text(2)->isVisible());
    EXPECT_EQ(find<QLabel>(u"Label1"_s)->text(), QString());
    EXPECT_EQ(find<QLabel>(u"Label2"_s)->text(), u"ADI"_s);
    typeInto(2, u"Ayşe"_s);

    choose("Option1");
    EXPECT_TRUE(text(1)->isVisible());
    EXPECT_FALSE(text(2)->isVisible());
    EXPECT_EQ(text(2)->text(), QString());
    EXPECT_EQ(find<QLabel>(u"Label1"_s)->text(), u"ÜNVANI"_s);
    EXPECT_EQ(find<QLabel>(u"Label3"_s)->text(), QString());
}

TEST_F(CustomerCardWindowTest, TaxNumberTypingAndLookupButton) {
    choose("Option1");
    typeInto(6, u"12a"_s);
    EXPECT_EQ(text(6)->text(), u"12"_s);
    EXPECT_EQ(status(), u"illegal karekter !"_s);
    typeInto(6, u"3"_s);
    EXPECT_EQ(status(), QString());

    text(6)->clear();
    text(6)->insert(u"12a45"_s); // a paste
    EXPECT_EQ(text(6)->text(), u"12"_s);
    EXPECT_EQ(status(), u"illegal karekter !"_s);

    struct Case {
        int digits;
        bool enabled;
    };
    for (const Case c : {Case{9, false}, Case{10, true}, Case{11, true}, Case{12, false}}) {
        SCOPED_TRACE(c.digits);
        text(6)->clear();
        typeInto(6, u"123456789012"_s.left(c.digits));
        EXPECT_EQ(button(3)->isEnabled(), c.enabled);
    }
}

TEST_F(CustomerCardWindowTest, SavesNeedATaxOffice) {
    choose("Option1");
    typeInto(1, u"Deneme"_s);
    typeInto(4, u"Adres"_s);
    typeInto(6, u"1234567890"_s);
    typeInto(7, u"a@b.c"_s);
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_FALSE(button(4)->isEnabled());
    typeInto(5, u"K"_s);
    EXPECT_TRUE(button(1)->isEnabled());
    EXPECT_TRUE(button(4)->isEnabled());
    QTest::keyClick(text(5), Qt::Key_Backspace);
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_FALSE(button(4)->isEnabled());
}

TEST_F(CustomerCardWindowTest, SaveAndNewWritesTheRowAndClearsTheCard) {
    fillOrganisation(u"1234567890"_s);
    QTest::mouseClick(button(1), Qt::LeftButton);
    EXPECT_EQ(status(), QString());
    for (int n = 1; n <= 11; ++n)
        EXPECT_EQ(text(n)->text(), QString()) << n;
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_TRUE(window->isVisible());
    QJsonObject c = cells();
    EXPECT_EQ(c[u"C2"_s].toString(), u"Deneme "_s);
    EXPECT_EQ(c[u"E2"_s].toString(), u"Türkiye"_s);
    EXPECT_EQ(c[u"G2"_s].toString(), u"1234567890"_s);

    // The same number again: refused, nothing written, the card cleared all the same.
    fillOrganisation(u"1234567890"_s);
    QTest::mouseClick(button(1), Qt::LeftButton);
    EXPECT_EQ(status(), u"Bu Vergi Kimlik No daha önce kaydedilmiş..!"_s);
    EXPECT_EQ(text(1)->text(), QString());
    EXPECT_FALSE(cells().contains(u"C3"_s));
}

TEST_F(CustomerCardWindowTest, SelectWithoutNumberKeepsTheCardOpenUntilClosed) {
    fillOrganisation(QString());
    QTest::mouseClick(button(4), Qt::LeftButton);
    EXPECT_EQ(status(), u"Vergi no alanı boş bırakılamaz..!"_s);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(text(1)->text(), u"Deneme"_s);
    ASSERT_EQ(host.customers.size(), 1);
    EXPECT_EQ(host.customers.first().name, u"Deneme "_s);
    EXPECT_EQ(host.searchHidden, 0);
    EXPECT_FALSE(cells().contains(u"C2"_s));

    QTest::mouseClick(button(2), Qt::LeftButton); // KAPAT
    EXPECT_FALSE(window->isVisible());
    for (int n = 1; n <= 11; ++n)
        EXPECT_EQ(text(n)->text(), QString()) << n;
    EXPECT_TRUE(find<QRadioButton>(u"Option1"_s)->isChecked());
}

TEST_F(CustomerCardWindowTest, SelectAndSaveHandsTheCustomerOverAndHides) {
    fillOrganisation(u"12345678901"_s);
    QTest::mouseClick(button(4), Qt::LeftButton);
    ASSERT_EQ(host.customers.size(), 1);
    const CustomerFields& f = host.customers.first();
    EXPECT_EQ(f.name, u"Deneme "_s);
    EXPECT_EQ(f.address, u"Adres"_s);
    EXPECT_EQ(f.country, u"Türkiye"_s);
    EXPECT_EQ(f.taxOffice, u"Kadıköy"_s);
    EXPECT_EQ(f.taxNumber, u"12345678901"_s);
    EXPECT_EQ(f.email, u"a@b.c"_s);
    EXPECT_EQ(host.searchHidden, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(cells()[u"G2"_s].toString(), u"12345678901"_s);
}

TEST_F(CustomerCardWindowTest, AFailedSaveKeepsWhatWasTyped) {
    host.workbookPath = dir.filePath(u"yok/DATA.xlsx"_s);
    fillOrganisation(u"1234567890"_s);
    QTest::mouseClick(button(4), Qt::LeftButton);
    EXPECT_FALSE(status().isEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(text(6)->text(), u"1234567890"_s);
    EXPECT_TRUE(button(1)->isEnabled());
    EXPECT_EQ(host.searchHidden, 0);
}

} // namespace
} // namespace tavlix
