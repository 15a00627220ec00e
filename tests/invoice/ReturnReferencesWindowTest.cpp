#include "invoice/ReturnReferencesWindow.h"
#include "invoice/RecordingHost.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

class ReturnReferencesWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.todayDate = QDate(2024, 2, 10);
        window = std::make_unique<ReturnReferencesWindow>(host);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T> T* find(const char* name) {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QComboBox* combo(const char* name) { return find<QComboBox>(name); }
    QLineEdit* serial() { return find<QLineEdit>("Text1"); }
    QString status() { return find<QLabel>("Label4")->text(); }
    QListWidget* list() { return find<QListWidget>("aList1"); }
    void chooseDay(const QString& day) { combo("Combo3")->setCurrentText(day); }
    void type(const QString& text) {
        serial()->clear();
        // QTest::keyClicks takes ASCII only; other letters go in as key events with their text.
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, serial(), Qt::Key_unknown, QString(c), {});
    }
    void clickAdd() { QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton); }
    QStringList entries() {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
    void addReference(const QString& day, const QString& text) {
        chooseDay(day);
        type(text);
        clickAdd();
    }

    test::RecordingHost host;
    std::unique_ptr<ReturnReferencesWindow> window;
};

TEST_F(ReturnReferencesWindowTest, LoadShowsTheCurrentYearAndMonth) {
    EXPECT_EQ(window->objectName(), u"Form2"_s);
    EXPECT_EQ(window->windowTitle(), u"Tavlix-Alış Fatura Bilgi Girişi"_s);
    EXPECT_EQ(status(), u"Önce tarih seçiniz..."_s);
    QComboBox* year = combo("Combo1");
    ASSERT_EQ(year->count(), 5);
    EXPECT_EQ(year->itemText(0), u"2020"_s);
    EXPECT_EQ(year->currentText(), u"2024"_s);
    EXPECT_EQ(combo("Combo2")->currentText(), u"02"_s);
    EXPECT_EQ(combo("Combo3")->count(), 29);
    EXPECT_FALSE(serial()->isEnabled());
    EXPECT_TRUE(find<QLineEdit>("Text2")->isHidden());
    for (const char* name : {"Label1", "Label2", "Label3", "Frame2"})
        EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;

    // The days follow the year as well as the month.
    combo("Combo1")->setCurrentText(u"2023"_s);
    EXPECT_EQ(combo("Combo3")->count(), 28);
    combo("Combo1")->setCurrentText(u"2024"_s);
    EXPECT_EQ(combo("Combo3")->count(), 29);
    combo("Combo2")->setCurrentText(u"04"_s);
    EXPECT_EQ(combo("Combo3")->count(), 30);
    EXPECT_EQ(combo("Combo3")->currentIndex(), -1);
}

TEST_F(ReturnReferencesWindowTest, AWindowChangeKeepsTheChosenDay) {
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    chooseDay(u"05"_s);
    combo("Combo2")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(combo("Combo3")->currentText().isEmpty()) << "tabbing into the month refills";
    chooseDay(u"05"_s);
    for (QComboBox* box : {combo("Combo2"), combo("Combo3")}) {
        SCOPED_TRACE(box->objectName().toStdString());
        box->setFocus(Qt::TabFocusReason);
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(box->hasFocus());
        EXPECT_EQ(combo("Combo3")->currentText(), u"05"_s);
    }
}

TEST_F(ReturnReferencesWindowTest, TypingIsFiltered) {
    chooseDay(u"05"_s);
    ASSERT_TRUE(serial()->isEnabled());
    type(u"1ABC"_s);
    // "1" is emptied at once; the letters typed afterwards stay.
    EXPECT_EQ(serial()->text(), u"ABC"_s);
    EXPECT_EQ(status(), u"Seri no alanı bir harf ile başlamalıdır..."_s);
    serial()->setText(u"1ABC"_s);
    EXPECT_EQ(serial()->text(), QString());
    type(u"AĞ B"_s);
    EXPECT_EQ(serial()->text(), u"AB"_s);
    EXPECT_EQ(serial()->cursorPosition(), 2);
    EXPECT_TRUE(find<QPushButton>("Command1")->isEnabled());
}

TEST_F(ReturnReferencesWindowTest, AddRefusesAndAcceptsWithStatusOnly) {
    addReference(u"05"_s, u"GIB2023"_s);
    EXPECT_EQ(status(), u"eArşiv seri no 16 hane olmalıdır..!  (9) hane noksan.."_s);
    EXPECT_EQ(serial()->text(), u"GIB2023"_s);
    EXPECT_TRUE(entries().isEmpty());

    addReference(u"07"_s, u"ABC/7"_s);
    EXPECT_EQ(entries(), QStringList{u"ABC2024000000007---07/02/2024"_s});
    EXPECT_EQ(status(), u"Eklenen : 1"_s);
    EXPECT_EQ(host.returnCount, u"1"_s);
    EXPECT_EQ(host.lastSerial, u"ABC2024000000007"_s);
    EXPECT_EQ(host.lastDate, u"07/02/2024"_s);
    EXPECT_EQ(serial()->text(), QString());
    EXPECT_TRUE(find<QPushButton>("Command3")->isEnabled());

    addReference(u"08"_s, u"ABC2024000000007"_s);
    EXPECT_EQ(status(), u"Bu serino zaten eklenmiş...!"_s);
    EXPECT_EQ(serial()->text(), u"ABC2024000000007"_s);
    EXPECT_EQ(entries().size(), 1);
    EXPECT_EQ(host.returnCount, u"1"_s);
}

TEST_F(ReturnReferencesWindowTest, SerialLabelGivesTheTemplateWhichIsIgnored) {
    chooseDay(u"05"_s);
    combo("Combo1")->setCurrentText(u"2023"_s);
    QTest::mouseClick(find<QLabel>("Label1"), Qt::LeftButton);
    EXPECT_EQ(serial()->text(), u"GIB2023000000000"_s);
    chooseDay(u"05"_s);
    clickAdd();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(status(), QString());
}

TEST_F(ReturnReferencesWindowTest, RemoveHideCloseAndCompanySelection) {
    addReference(u"01"_s, u"ABC/1"_s);
    addReference(u"02"_s, u"ABC/2"_s);
    ASSERT_EQ(entries().size(), 2);

    QListWidget* l = list();
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(0)).center());
    EXPECT_EQ(serial()->text(), u"ABC2024000000001"_s);
    QPushButton* remove = find<QPushButton>("Command2");
    ASSERT_TRUE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(entries(), QStringList{u"ABC2024000000002---02/02/2024"_s});
    EXPECT_EQ(status(), u"Eklenen : 1"_s);
    EXPECT_EQ(host.returnCount, u"1"_s);
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_EQ(serial()->text(), QString());

    QTest::mouseClick(find<QPushButton>("Command3"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->references().size(), 1);
    window->show();
    EXPECT_EQ(entries().size(), 1);

    host.returnCount.clear();
    window->close();
    EXPECT_EQ(host.returnCount, u"0"_s);
    window->show();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(status(), u"Önce tarih seçiniz..."_s);
    EXPECT_FALSE(serial()->isEnabled());
    EXPECT_NE(serial()->palette().color(QPalette::Base),
              serial()->palette().color(QPalette::ToolTipBase));

    addReference(u"01"_s, u"ABC/1"_s);
    ASSERT_FALSE(entries().isEmpty());
    window->clearForCompanySelection();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(status(), QString());
}

} // namespace
} // namespace tavlix
