// Choosing a company: its settings, the customer list, the folder, and the window put back to
// "no invoice type chosen".
#include "AppFixture.h"

#include "store/WorkbookStore.h"
#include "widgets/ReportModel.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

using CompanySelection = AppFixture;

TEST_F(CompanySelection, LoadsSettingsCustomersFolderAndResetsTheInvoice) {
    makeStandardData();
    QFile(programPath() + u"/Firmalarım/x.xlsx"_s).open(QIODevice::WriteOnly);
    start();
    QDir().mkpath(programPath() + u"/Firmalarım/Alfa Ltd"_s);
    QFile saved(programPath() + u"/Firmalarım/Alfa Ltd/Fatura 1.xlsx"_s);
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
    saved.close();
    selectCompany(u"Alfa Ltd"_s);

    EXPECT_EQ(m_window->companySettings().bookKeepingType, u"B"_s);
    EXPECT_EQ(items(find<QComboBox>("Combo3")),
              (QStringList{u"Abc Yapı "_s, u"Kara ve AB"_s, u"A Bulut"_s}));
    EXPECT_EQ(find<QListWidget>("List2")->count(), 3);
    EXPECT_EQ(find<QLabel>("Label12")->text(), programPath() + u"/Firmalarım/Alfa Ltd"_s);
    ASSERT_EQ(find<QListWidget>("List1")->count(), 1);
    EXPECT_EQ(find<QListWidget>("List1")->item(0)->text(), u"Fatura 1.xlsx"_s);
    EXPECT_EQ(find<QComboBox>("Combo1")->currentText(), u"Fatura Türü Seçin"_s);
    EXPECT_FALSE(find<QPushButton>("Command7")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("Command5")->isVisible());
    EXPECT_EQ(find<QLabel>("Label20")->text(), u"0"_s);
    EXPECT_TRUE(find<QPlainTextEdit>("Text6")->toPlainText().startsWith(u"• Not bir"_s));
    EXPECT_EQ(find<QLineEdit>("Text600")->text(), u"• Not bir\r\n• Not iki\r\n• Not üç\r\n"_s);
}

TEST_F(CompanySelection, ChoosingACompanyAgainGivesTheSameCustomerList) {
    makeStandardData();
    start();
    selectCompany(u"Alfa Ltd"_s);
    const QStringList first = items(find<QComboBox>("Combo3"));
    selectCompany(u"Beta AŞ"_s);
    selectCompany(u"Alfa Ltd"_s);
    EXPECT_EQ(items(find<QComboBox>("Combo3")), first);
    EXPECT_EQ(find<QListWidget>("List2")->count(), first.size());
}

TEST_F(CompanySelection, LeftmostOfTwoEqualNamesWins) {
    makeStandardData(QString(), [](store::Workbook& book) {
        store::Worksheet& prg = *book.sheet(u"prgDATA"_s);
        prg.writeText(2, 4, u"Alfa Ltd"_s);
        prg.writeText(10, 4, u"D"_s);
    });
    start();
    selectCompany(u"Alfa Ltd"_s);
    EXPECT_EQ(m_window->companySettings().bookKeepingType, u"B"_s);
}

TEST_F(CompanySelection, EmptyFootnotesGiveThreeBulletLines) {
    makeStandardData();
    start();
    selectCompany(u"Beta AŞ"_s);
    EXPECT_EQ(find<QLineEdit>("Text600")->text(), u"• \r\n• \r\n• \r\n"_s);
}

TEST_F(CompanySelection, UnknownNameKeepsThePreviousSettings) {
    makeStandardData();
    start();
    selectCompany(u"Beta AŞ"_s);
    selectCompany(u"Firmalarım"_s);
    EXPECT_EQ(m_window->companySettings().bookKeepingType, u"İ"_s);
    EXPECT_EQ(find<QComboBox>("Combo3")->count(), 3) << "the customer list is still reloaded";
}

TEST_F(CompanySelection, CompanyWithoutAFolderLeavesTheWindowAsItWas) {
    makeStandardData();
    start();
    selectCompany(u"Alfa Ltd"_s);
    chooseType(u"SATIŞ"_s);
    ASSERT_TRUE(find<QPushButton>("Command7")->isEnabled());
    QDir(programPath() + u"/Firmalarım/Beta AŞ"_s).removeRecursively();
    selectCompany(u"Beta AŞ"_s);
    EXPECT_TRUE(find<QPushButton>("Command7")->isEnabled());
    EXPECT_EQ(find<QComboBox>("Combo1")->currentText(), u"SATIŞ"_s);
    EXPECT_EQ(m_window->companySettings().bookKeepingType, u"İ"_s) << "settings still load";
}

TEST_F(CompanySelection, CustomerBelowRow100IsListed) {
    makeStandardData(QString(), [](store::Workbook& book) {
        book.sheet(u"mDATA"_s)->writeText(150, 3, u"Uzak Müşteri"_s);
        book.sheet(u"mDATA"_s)->writeText(150, 6, u"Kadıköy"_s);
    });
    start();
    selectCompany(u"Alfa Ltd"_s);
    EXPECT_EQ(items(find<QComboBox>("Combo3")).last(), u"Uzak Müşteri"_s);
    auto* combo3 = find<QComboBox>("Combo3");
    combo3->setEditText(u"Uzak Müşteri"_s);
    leave(combo3);
    EXPECT_EQ(find<QLineEdit>("Text3")->text(), u"Kadıköy"_s);
}

TEST_F(CompanySelection, UnsafeTypedNameListsNothingAndIsRefusedAloud) {
    makeStandardData();
    // A folder outside Firmalarım holding a workbook the list must not show.
    QDir().mkpath(programPath() + u"/dışarıda"_s);
    QFile outside(programPath() + u"/dışarıda/gizli.xlsx"_s);
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.close();
    start();
    selectCompany(u"Alfa Ltd"_s);
    ASSERT_EQ(find<QListWidget>("List1")->count(), 0);
    const auto tree = [this] {
        QStringList all;
        QDirIterator it(programPath(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            all << it.next();
        all.sort();
        return all;
    };
    const QStringList before = tree();
    for (const QString& typed : {u"../dışarıda"_s, u"Alfa Ltd/../../dışarıda"_s, u".."_s}) {
        SCOPED_TRACE(typed.toStdString());
        boxes->clear();
        selectCompany(typed);
        EXPECT_EQ(boxes->texts(),
                  QStringList{u"\"%1\" firma adı klasör adı olarak kullanılamaz; bu firmanın "
                              u"klasörü açılmadı."_s.arg(typed)});
        EXPECT_EQ(find<QListWidget>("List1")->count(), 0);
        EXPECT_TRUE(find<QLineEdit>("Dir1")->text().isEmpty());
        EXPECT_TRUE(find<QLabel>("Label12")->text().isEmpty());
    }
    EXPECT_EQ(tree(), before) << "nothing written or made";
}

} // namespace
} // namespace tavlix::test
