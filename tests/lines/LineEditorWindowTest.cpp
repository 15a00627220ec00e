// Form7 on the offscreen platform: loading, the field rules, "SEÇ", adding lines and saving cards.
#include "lines/LineEditorWindow.h"
#include "LinesFixture.h"
#include "invoice/TaxesDialog.h"
#include "lines/AddLine.h"
#include "lines/StockCards.h"
#include "support/MessageBoxes.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;
using namespace tavlix;
using tavlix::test::card;

namespace {

// Card columns from 4 on: unit, price, discount, VAT, withholding code, withholding rate, …
test::WorkbookContent content() {
    test::WorkbookContent c;
    c.companies = {u"Alfa Ltd"_s, u"Beta AŞ"_s};
    c.withholding = {{u"601"_s, u"YAPIM İŞLERİ"_s, u"40"_s},
                     {u"602"_s, u"ETÜT"_s, u"90"_s},
                     {u"603"_s, u"HURDA"_s, u"5"_s},
                     {u"604"_s, u"DEMİR"_s, u"100"_s}};
    c.otherTaxes = {{u"0071"_s, u"ÖTV 1. LİSTE"_s}};
    c.units = {u"Adet"_s, u"kg"_s, u"KG"_s};
    c.vatRates = {u"0"_s, u"1"_s, u"8"_s, u"18"_s, u"20"_s};
    c.cards = {
        card(u"V1"_s, u"Alfa Ltd"_s, u"Vida"_s, {u"Adet"_s, u"12,5"_s, u"0"_s, u"18"_s}),
        card(u"T1"_s, u"Firmalarım"_s, u"Tevkifatlı iş"_s,
             {u"Adet"_s, u"1000"_s, u"0"_s, u"18"_s, u"YAPIM İŞLERİ % 50"_s, u"50"_s}),
        card(u"B1"_s, u"Beta AŞ"_s, u"Beta somun"_s, {u"kg"_s, u"3"_s, u"0"_s, u"8"_s}),
        card(u"Y1"_s, u"Firmalarım"_s, u"Yirmilik"_s,
             {u"KG"_s, u"2"_s, u"100"_s, u"20"_s, u""_s, u""_s, u""_s, u"123"_s}),
        card(u"V2"_s, u"Firmalarım"_s, u"Vida"_s, {u"Kutu"_s, u"40"_s, u"5"_s, u"8"_s}),
    };
    return c;
}

struct Editor {
    explicit Editor(const QString& type = u"SATIŞ"_s, test::WorkbookContent c = content())
        : path(test::makeDataWorkbook(dir, c))
        , host(path, type)
        , window(host) {
        host.company = u"Alfa Ltd"_s;
        // The focus starts in a field with no leave handler.
        edit("Text2")->setFocus();
        window.show();
    }

    template <typename T> T* get(const char* name) {
        auto* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* edit(const char* name) { return get<QLineEdit>(name); }
    QComboBox* box(const char* name) { return get<QComboBox>(name); }
    QString message() { return get<QLabel>("Label21")->text(); }
    void click(const char* name) { get<QPushButton>(name)->click(); }
    // Leaves `w` for real: into it, then on to the name field, as tabbing does.
    void leave(QWidget* w) {
        if (!window.isActiveWindow()) {
            QApplication::setActiveWindow(&window);
            EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        }
        w->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(w->hasFocus()) << w->objectName().toStdString();
        edit("Text2")->setFocus(Qt::TabFocusReason);
    }
    void pick(const QString& name) {
        box("Combo8")->setEditText(name);
        click("Command1");
    }
    void fillLine() {
        edit("Text2")->setText(u"Vida"_s);
        edit("Text3")->setText(u"2"_s);
        box("Combo1")->setEditText(u"Adet"_s);
        edit("Text4")->setText(u"12,50"_s);
        box("Combo2")->setEditText(u"18"_s);
    }

    QTemporaryDir dir;
    QString path;
    test::FakeHost host;
    LineEditorWindow window;
    test::MessageBoxes boxes;
};

QStringList items(QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

} // namespace

TEST(LineEditorWindow, LoadsOnShowForTheMainWindowsCompany) {
    Editor e;
    EXPECT_EQ(e.window.objectName(), u"Form7"_s);
    EXPECT_EQ(e.window.windowTitle(), u"Tavlix Stok Kartı"_s);
    EXPECT_TRUE(e.window.isWindow());
    EXPECT_EQ(e.edit("Text1")->text(), u"Alfa Ltd"_s);
    EXPECT_EQ(e.box("Combo7")->currentText(), u"Alfa Ltd"_s);
    EXPECT_EQ(items(e.box("Combo8")),
              (QStringList{u"Vida"_s, u"Tevkifatlı iş"_s, u"Yirmilik"_s, u"Vida"_s}));
    EXPECT_EQ(items(e.box("Combo6")), (QStringList{u"V1"_s, u"T1"_s, u"Y1"_s, u"V2"_s}));
    EXPECT_EQ(items(e.box("Combo3")).size(), 4);
    EXPECT_EQ(items(e.box("Combo4")), items(e.box("Combo5")));
    for (const char* name : {"Combo1", "Combo2", "Combo3", "Combo6", "Combo8"})
        EXPECT_TRUE(e.box(name)->currentText().isEmpty()) << name;
    EXPECT_EQ(e.edit("Text5")->text(), u"0"_s);
    EXPECT_FALSE(e.get<QCheckBox>("Check1")->isChecked());
    EXPECT_TRUE(e.edit("Text1")->isReadOnly());
    EXPECT_TRUE(e.edit("Text6")->isReadOnly());
    for (const char* name : {"Command1", "Command3", "Command4", "Command5"})
        EXPECT_NE(e.get<QPushButton>(name), nullptr);
}

TEST(LineEditorWindow, EmptyCompanyFilterListsEveryCardAndTheCompanies) {
    Editor e;
    e.host.lastColumn = 4;
    QComboBox* filter = e.box("Combo7");
    filter->setEditText(QString());
    e.leave(filter);
    EXPECT_EQ(e.window.companyFilter(), QString());
    EXPECT_EQ(items(filter), (QStringList{u"Alfa Ltd"_s, u"Beta AŞ"_s, u""_s}));
    EXPECT_TRUE(filter->currentText().isEmpty());
    EXPECT_EQ(items(e.box("Combo8")).size(), 5);

    filter->setCurrentIndex(1);
    e.leave(filter);
    EXPECT_EQ(e.edit("Text1")->text(), u"Beta AŞ"_s);
    EXPECT_EQ(items(e.box("Combo8")),
              (QStringList{u"Tevkifatlı iş"_s, u"Beta somun"_s, u"Yirmilik"_s, u"Vida"_s}));
}

TEST(LineEditorWindow, SelectFillsTheFieldsThroughTheirRules) {
    Editor e;
    e.edit("Text3")->setText(u"7"_s);
    e.pick(u"Vida"_s); // two cards named Vida: the lower one
    EXPECT_EQ(e.box("Combo9")->currentText(), u"V2"_s);
    EXPECT_EQ(e.box("Combo1")->currentText(), u"Kutu"_s);
    EXPECT_EQ(e.edit("Text4")->text(), u"40"_s);
    EXPECT_EQ(e.edit("Text5")->text(), u"5"_s);
    EXPECT_EQ(e.box("Combo2")->currentText(), u"8"_s);
    EXPECT_EQ(e.edit("Text3")->text(), u"7"_s); // the quantity is not part of a card
    EXPECT_TRUE(e.box("Combo8")->currentText().isEmpty());
    EXPECT_TRUE(e.box("Combo6")->currentText().isEmpty());

    e.pick(u"Yirmilik"_s);
    EXPECT_TRUE(e.box("Combo1")->currentText().isEmpty()); // "KG" is not a unit
    EXPECT_EQ(e.box("Combo2")->currentText(), u"20"_s);    // today's rate, though the book lists 18
    EXPECT_EQ(e.edit("Text5")->text(), u"10"_s);           // 100 shortened by the mask
    EXPECT_EQ(e.edit("Text7")->text(), u"12"_s);

    e.box("Combo6")->setEditText(u"T1"_s);
    e.click("Command1");
    EXPECT_EQ(e.edit("Text2")->text(), u"Tevkifatlı iş"_s);
    EXPECT_EQ(e.edit("Text6")->text(), u"50"_s);

    e.pick(u"Yok böyle kart"_s); // no match: fields as they were
    EXPECT_EQ(e.edit("Text2")->text(), u"Tevkifatlı iş"_s);

    e.click("Command1"); // both boxes empty: the empty row after the cards empties the fields
    EXPECT_TRUE(e.edit("Text2")->text().isEmpty());
    EXPECT_TRUE(e.edit("Text4")->text().isEmpty());
    EXPECT_TRUE(e.edit("Text1")->text().isEmpty());
}

TEST(LineEditorWindow, UnitVatAndWithholdingRules) {
    Editor e;
    QComboBox* unit = e.box("Combo1");
    const struct {
        QString typed;
        QString kept;
    } cases[] = {{u"k"_s, u""_s}, {u"g"_s, u"g"_s}, {u"m"_s, u"m"_s}, {u"Ad"_s, u""_s}};
    for (const auto& c : cases) {
        unit->setEditText(QString());
        QTest::keyClicks(unit->lineEdit(), c.typed);
        EXPECT_EQ(unit->currentText(), c.kept) << c.typed.toStdString();
    }
    unit->setCurrentIndex(unit->findText(u"Adet"_s));
    EXPECT_EQ(unit->currentText(), u"Adet"_s);
    unit->setCurrentIndex(unit->findText(u"KG"_s));
    EXPECT_EQ(unit->currentText(), QString());

    // The book lists 0, 1, 8 and 18; today's 10 and 20 are offered too, in order.
    QComboBox* vat = e.box("Combo2");
    EXPECT_EQ(items(vat), (QStringList{u"0"_s, u"1"_s, u"8"_s, u"10"_s, u"18"_s, u"20"_s}));
    const struct {
        QString typed;
        QString kept;
    } typedRates[] = {{u"18"_s, u"18"_s},
                      {u"20"_s, u"20"_s},
                      {u"10"_s, u"10"_s},
                      {u"21"_s, u""_s},
                      {u"5"_s, u""_s}};
    for (const auto& c : typedRates) {
        vat->setEditText(QString());
        QTest::keyClicks(vat->lineEdit(), c.typed);
        EXPECT_EQ(vat->currentText(), c.kept) << c.typed.toStdString();
    }
    vat->setCurrentIndex(vat->findText(u"8"_s));
    vat->setFocus();
    QTest::keyClick(vat, Qt::Key_Down);
    EXPECT_EQ(vat->currentText(), u"10"_s);
    vat->setEditText(QString());
    QTest::keyClicks(vat->lineEdit(), u"2"_s); // on the way to 20, and left there
    EXPECT_EQ(vat->currentText(), u"2"_s);
    e.leave(vat);
    EXPECT_EQ(vat->currentText(), QString());

    QComboBox* withholding = e.box("Combo3");
    const struct {
        int item;
        QString rate;
    } rates[] = {{1, u"90"_s}, {3, u"100"_s}, {2, u"% 5"_s}};
    for (const auto& r : rates) {
        withholding->setCurrentIndex(r.item);
        e.leave(withholding);
        EXPECT_EQ(e.edit("Text6")->text(), r.rate) << r.item;
    }

    QTest::keyClicks(e.edit("Text4"), u"12,345"_s);
    EXPECT_EQ(e.edit("Text4")->text(), u"12,34"_s);
    e.edit("Text5")->clear();
    QTest::keyClicks(e.edit("Text5"), u"1,234"_s);
    EXPECT_EQ(e.edit("Text5")->text(), u"1,23"_s);
}

TEST(LineEditorWindow, WithholdingCardRefusedOnSalesAcceptedOnWithholding) {
    for (const QString& type : {u"SATIŞ"_s, u"TEVKİFAT"_s}) {
        Editor e(type);
        e.pick(u"Tevkifatlı iş"_s);
        e.edit("Text3")->setText(u"1"_s);
        e.click("Command4");
        if (type == u"SATIŞ"_s) {
            EXPECT_EQ(e.boxes.texts(),
                      QStringList{QString::fromUtf16(tavlix::lines::kWithholdingRefusal)});
            EXPECT_EQ(e.boxes.icons().value(0), QMessageBox::Warning);
            EXPECT_EQ(e.host.model.rowTotal(), 0);
            EXPECT_EQ(e.host.totalsRuns, 0);
        } else {
            EXPECT_TRUE(e.boxes.texts().isEmpty());
            ASSERT_EQ(e.host.model.rowTotal(), 1);
            EXPECT_EQ(e.host.model.cell(0, 10), u"YAPIM İŞLERİ % 50"_s);
            EXPECT_EQ(e.host.model.cell(0, 11), u"50"_s);
            EXPECT_EQ(e.host.model.cell(0, 12), u"90,00"_s);
            EXPECT_EQ(e.host.totalsRuns, 1);
            EXPECT_EQ(e.host.totals.checkTotal, 118000); // 1.090,00 payable + 90,00 withheld
        }
    }
}

TEST(LineEditorWindow, ChecksShowOnTheMessageLine) {
    Editor e;
    e.fillLine();
    e.edit("Text2")->clear();
    e.edit("Text3")->setText(u"abc"_s);
    e.click("Command4");
    EXPECT_EQ(e.message(), u"Ürün/Hizmet Adı boş olamaz ... !"_s);

    e.edit("Text2")->setText(u"Vida"_s);
    e.click("Command4");
    EXPECT_EQ(e.message(), u"Miktar sayısal olmalıdır ...!"_s);
    EXPECT_TRUE(e.edit("Text3")->text().isEmpty());

    e.edit("Text3")->setText(u"0"_s);
    e.click("Command4");
    EXPECT_EQ(e.message(), u"Miktar pozitif olmalıdır ...!"_s);

    // The reset of a masked field does not wipe the message that explains it.
    e.edit("Text3")->setText(u"1"_s);
    e.edit("Text4")->setText(u"1,2,"_s);
    e.click("Command4");
    EXPECT_EQ(e.message(), u"Birim fiyat sayısal olmalıdır ...!"_s);
    EXPECT_TRUE(e.edit("Text4")->text().isEmpty());
    EXPECT_EQ(e.host.model.rowTotal(), 0);

    // Typing into a masked field clears the message line.
    QTest::keyClicks(e.edit("Text4"), u"5"_s);
    EXPECT_TRUE(e.message().isEmpty());
}

TEST(LineEditorWindow, LinesAreNumberedAndShareTheirTaxColumns) {
    Editor e;
    e.fillLine();
    e.box("Combo4")->setCurrentIndex(0);
    e.edit("Text7")->setText(u"4"_s);
    for (int n = 1; n <= 4; ++n)
        e.click("Command4");
    ASSERT_EQ(e.host.model.rowTotal(), 4);
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(e.host.model.cell(n - 1, 0), QString::number(n));
    EXPECT_EQ(e.host.model.columnTotal(), 12);
    EXPECT_EQ(e.host.model.column(10).header, u"0071-ÖTV 1. LİSTE%"_s);
    EXPECT_EQ(e.edit("Text8")->text(), u"0"_s); // an empty rate becomes 0
    EXPECT_EQ(e.host.totalsRuns, 4);
    EXPECT_EQ(e.host.model.cell(3, 11), u"1,00"_s); // 4 % of 25,00
    EXPECT_EQ(e.edit("Text2")->text(), u"Vida"_s);  // the fields stay for the next line

    // The taxes window lists the tax the lines brought as one the invoice has.
    TaxesDialog taxes(e.host);
    taxes.show();
    auto listed = [&](const char* name) {
        return taxes.findChild<QListWidget*>(QString::fromLatin1(name))
            ->findItems(QString(), Qt::MatchContains);
    };
    ASSERT_EQ(listed("List2").size(), 1);
    EXPECT_EQ(listed("List2").first()->text(), u"0071-ÖTV 1. LİSTE"_s);
    EXPECT_TRUE(listed("List1").isEmpty());
}

TEST(LineEditorWindow, TickedBoxStoresTheCardAfterTheTotals) {
    Editor e;
    e.fillLine();
    e.get<QCheckBox>("Check1")->setChecked(true);
    // Two cards are named Vida already; the new one, once stored, is the last match.
    bool storedAtTotals = true;
    e.host.onTotals = [&] {
        const auto found = lines::findStockCard(e.path, u"Vida"_s, {});
        ASSERT_TRUE(found.ok() && found.value());
        storedAtTotals = found.value()->unitPrice == u"12,50"_s;
    };
    e.click("Command4");
    EXPECT_EQ(e.host.totalsRuns, 1);
    EXPECT_FALSE(storedAtTotals);
    const auto found = lines::findStockCard(e.path, u"Vida"_s, {});
    ASSERT_TRUE(found.ok() && found.value());
    EXPECT_EQ(found.value()->unitPrice, u"12,50"_s);
    EXPECT_EQ(found.value()->filterCode, u"Alfa Ltd"_s);
    EXPECT_TRUE(e.edit("Text2")->text().isEmpty());
    EXPECT_EQ(e.edit("Text5")->text(), u"0"_s);
    EXPECT_TRUE(e.get<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(items(e.box("Combo8")).size(), 5);
}

TEST(LineEditorWindow, SaveFailureIsReportedAndKeepsTheFields) {
    Editor e;
    e.fillLine();
    QFile::remove(e.path);
    e.click("Command3");
    EXPECT_FALSE(e.message().isEmpty());
    EXPECT_EQ(e.edit("Text2")->text(), u"Vida"_s);
    EXPECT_FALSE(QFile::exists(e.path));
}

TEST(LineEditorWindow, CancelClearsTheLineButNotUnitAndVat) {
    Editor e;
    e.fillLine();
    e.box("Combo4")->setCurrentIndex(0);
    e.click("Command5");
    for (const char* name : {"Text2", "Text3", "Text4", "Text6", "Text7"})
        EXPECT_TRUE(e.edit(name)->text().isEmpty()) << name;
    EXPECT_EQ(e.edit("Text5")->text(), u"0"_s);
    EXPECT_TRUE(e.box("Combo4")->currentText().isEmpty());
    EXPECT_EQ(e.box("Combo1")->currentText(), u"Adet"_s);
    EXPECT_EQ(e.box("Combo2")->currentText(), u"18"_s);
    EXPECT_EQ(e.edit("Text1")->text(), u"Alfa Ltd"_s);
}

TEST(LineEditorWindow, AWindowChangeIsNotLeavingABox) {
    for (const char* name : {"Combo7", "Combo3"}) {
        SCOPED_TRACE(name);
        Editor e;
        QApplication::setActiveWindow(&e.window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&e.window));
        e.fillLine();
        e.box("Combo7")->setEditText(u"Beta AŞ"_s);
        e.box("Combo3")->setCurrentIndex(1);
        QComboBox* box = e.box(name);
        box->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(box->hasFocus());

        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        EXPECT_FALSE(box->hasFocus());
        QApplication::setActiveWindow(&e.window);
        EXPECT_TRUE(box->hasFocus());

        // Leaving the filter would reload and empty the line; leaving the withholding box
        // would fill its rate.
        EXPECT_EQ(e.edit("Text2")->text(), u"Vida"_s);
        EXPECT_EQ(e.edit("Text1")->text(), u"Alfa Ltd"_s);
        EXPECT_TRUE(e.edit("Text6")->text().isEmpty());
    }
}

TEST(LineEditorWindow, LeavingTheBoxesRunsTheirRulesAndReopeningReloads) {
    Editor e;
    e.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&e.window));
    QComboBox* withholding = e.box("Combo3");
    withholding->setFocus(Qt::TabFocusReason);
    withholding->setCurrentIndex(1);
    e.edit("Text2")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(e.edit("Text6")->text(), u"90"_s);

    QComboBox* filter = e.box("Combo7");
    filter->setFocus(Qt::TabFocusReason);
    filter->setEditText(u"Beta AŞ"_s);
    e.edit("Text2")->setText(u"silinecek"_s);
    e.edit("Text3")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(e.edit("Text1")->text(), u"Beta AŞ"_s);
    EXPECT_TRUE(e.edit("Text2")->text().isEmpty());

    // Closed and shown again: loaded afresh for the main window's current company.
    e.get<QCheckBox>("Check1")->setChecked(true);
    e.window.close();
    e.host.company = u"Gama"_s;
    e.window.show();
    EXPECT_EQ(e.edit("Text1")->text(), u"Gama"_s);
    EXPECT_FALSE(e.get<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(items(e.box("Combo8")), (QStringList{u"Tevkifatlı iş"_s, u"Yirmilik"_s, u"Vida"_s}));

    // Shown again while open: nothing is reloaded.
    e.edit("Text2")->setText(u"kalır"_s);
    e.window.show();
    EXPECT_EQ(e.edit("Text2")->text(), u"kalır"_s);
}

TEST(LineEditorWindow, WorkbookFailuresShowOnTheMessageLine) {
    Editor e;
    QFile::remove(e.path);
    e.pick(u"Vida"_s);
    EXPECT_FALSE(e.message().isEmpty());
    e.window.load();
    EXPECT_FALSE(e.message().isEmpty());
    EXPECT_EQ(e.edit("Text1")->text(), u"Alfa Ltd"_s);
}

// Esc closes an open drop-down list alone; with a line half typed it only hides the window, which
// shows the line again; with nothing typed it closes, and the next show loads afresh.
TEST(LineEditorWindow, EscClosesTheOpenListFirstAndKeepsWhatWasTyped) {
    Editor e;
    QApplication::setActiveWindow(&e.window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&e.window));
    e.edit("Text2")->setFocus();
    QTest::keyClicks(e.edit("Text2"), u"Vida"_s);
    QComboBox* unit = e.box("Combo1");
    unit->setFocus();
    QTest::mouseClick(unit, Qt::LeftButton, {}, QPoint(unit->width() - 6, unit->height() / 2));
    QWidget* popup = unit->view()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    ASSERT_EQ(QApplication::activePopupWidget(), popup);

    QTest::keyClick(QApplication::activePopupWidget()->focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_TRUE(e.window.isVisible()) << "Esc over the list closed the editor";
    EXPECT_EQ(e.edit("Text2")->text(), u"Vida"_s);

    const struct {
        QString name; // typed before Esc
        QString shownAgain;
    } cases[] = {{u"Vida"_s, u"Vida"_s}, {QString(), QString()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        e.edit("Text2")->setText(c.name);
        e.box("Combo7")->setEditText(u"Beta AŞ"_s);
        QApplication::setActiveWindow(&e.window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&e.window));
        QTest::keyClick(&e.window, Qt::Key_Escape);
        EXPECT_FALSE(e.window.isVisible());
        e.window.show();
        EXPECT_EQ(e.edit("Text2")->text(), c.shownAgain);
        // A close loads afresh for the main window's company; a hide leaves the filter as typed.
        EXPECT_EQ(e.box("Combo7")->currentText(), c.name.isEmpty() ? u"Alfa Ltd"_s : u"Beta AŞ"_s);
    }
}

// A list opens on the value in its box, not on the entry chosen last (Enter would take that), and
// shows every entry whole; a box shows a short entry whole and a long one as tooltip.
TEST(LineEditorWindow, ListsOpenOnTheBoxValueAndShowTheirEntriesWhole) {
    test::WorkbookContent c = content();
    const QString longest =
        u"601 YAPIM İŞLERİ İLE BU İŞLERLE BİRLİKTE İFA EDİLEN MÜHENDİSLİK-MİMARLIK "
        u"VE ETÜT-PROJE HİZMETLERİ"_s;
    c.withholding.push_back({u"601"_s, longest, u"40"_s});
    c.otherTaxes.push_back({u"0059"_s, u"KONAKLAMA VERGİSİ"_s});
    Editor e(u"SATIŞ"_s, c);
    QApplication::setActiveWindow(&e.window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&e.window));
    const struct {
        const char* box;
        QString chosen; // picked from the list first
        QString value;  // then put into the box; Enter in the opened list keeps it
    } cases[] = {{"Combo2", u"10"_s, u"20"_s},
                 {"Combo2", u"10"_s, u""_s},
                 {"Combo1", u"kg"_s, u"Adet"_s},
                 {"Combo3", u"ETÜT % 90"_s, longest + u" % 40"_s},
                 {"Combo4", u"0071-ÖTV 1. LİSTE%"_s, u"0059-KONAKLAMA VERGİSİ%"_s}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.box) + " " + k.value.toStdString());
        QComboBox* box = e.box(k.box);
        box->setCurrentIndex(box->findText(k.chosen));
        box->setEditText(k.value);
        box->setFocus();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 6, box->height() / 2));
        QAbstractItemView* list = box->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
        // An empty box opens at the top, as any list does.
        EXPECT_EQ(list->currentIndex().data().toString(),
                  k.value.isEmpty() ? box->itemText(0) : k.value);
        for (int row = 0; row < box->count(); ++row) {
            const QString entry = box->itemText(row);
            EXPECT_GE(list->viewport()->width(), list->fontMetrics().horizontalAdvance(entry));
            EXPECT_EQ(box->itemData(row, Qt::ToolTipRole).toString(), entry);
        }
        QTest::keyClick(list, k.value.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
        EXPECT_FALSE(list->window()->isVisible());
        EXPECT_EQ(box->currentText(), k.value);
        const bool whole = box->lineEdit()->fontMetrics().horizontalAdvance(k.value) <
                           box->lineEdit()->width() - 6;
        EXPECT_EQ(box->lineEdit()->toolTip(), whole ? QString() : k.value);
        EXPECT_TRUE(whole || k.value.size() > 60) << "a short entry is shown whole";
    }
}
