#include "invoice/TaxesDialog.h"
#include "invoice/RecordingHost.h"
#include "invoice/TaxColumns.h"

#include "support/MessageBoxes.h"
#include "support/Openpyxl.h"

#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

class TaxesDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        host.workbookPath = dir.filePath(u"DATA.xlsx"_s);
        // Code and description side by side; the empty code in row 4 ends the table.
        ASSERT_TRUE(test::writeWithOpenpyxl(host.workbookPath, uR"(
wb = openpyxl.Workbook()
wb.active.title = 'prgDATA'
ws = wb.create_sheet('kodDATA')
ws['E1'] = 'DİĞER VERGİ KODU'
ws['F1'] = 'DİĞER VERGİ AÇIKLAMASI'
ws['E2'] = '00071'
ws['F2'] = 'ÖTV'
ws['E3'] = '00075'
ws['F3'] = 'ÖİV'
ws['E5'] = '00099'
ws['F5'] = 'SONRA'
wb.save(path)
)"_s));
        applyInvoiceType(host.lineModel, Satis);
        host.lineModel.appendRow({u"1"_s, u"Elma"_s, u"2"_s, u"Adet"_s, u"100,00"_s, u"0"_s,
                                  u"0,00"_s, u"200,00"_s, u"18"_s, u"36,00"_s});
        dialog = std::make_unique<TaxesDialog>(host);
    }

    void open() {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    QListWidget* list(const char* name) {
        return dialog->findChild<QListWidget*>(QString::fromLatin1(name));
    }
    QStringList texts(const char* name) {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i)
            out << list(name)->item(i)->text();
        return out;
    }
    void doubleClick(const char* name, const QString& text) {
        QListWidget* l = list(name);
        const QList<QListWidgetItem*> found = l->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        const QPoint at = l->visualItemRect(found.first()).center();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, at);
    }

    QTemporaryDir dir;
    test::RecordingHost host;
    std::unique_ptr<TaxesDialog> dialog;
};

TEST_F(TaxesDialogTest, AddingMovesTheTaxAndAppendsItsColumns) {
    open();
    EXPECT_EQ(dialog->objectName(), u"Form5"_s);
    EXPECT_EQ(dialog->windowTitle(), u"Tavlix-Vergi Ekle/Çıkar"_s);
    EXPECT_EQ(dialog->findChild<QLabel*>(u"Label2"_s)->text(), u"EKLENEBİLİR VERGİLER"_s);
    EXPECT_TRUE(list("List3")->isHidden());
    EXPECT_EQ(texts("List1"), QStringList({u"00071-ÖTV"_s, u"00075-ÖİV"_s}));

    doubleClick("List1", u"00071-ÖTV"_s);
    EXPECT_EQ(texts("List1"), QStringList{u"00075-ÖİV"_s});
    EXPECT_EQ(texts("List2"), QStringList{u"00071-ÖTV"_s});
    EXPECT_EQ(host.lineModel.headers().mid(10), QStringList({u"00071-ÖTV%"_s, u"ÖTV Tutarı"_s}));
    EXPECT_EQ(texts("List3"), host.lineModel.headers());
    EXPECT_FALSE(host.typeEnabled());

    dialog->close();
    EXPECT_TRUE(host.typeEnabled());
    EXPECT_TRUE(texts("List1").isEmpty());
    EXPECT_TRUE(texts("List3").isEmpty());
}

// Reopened, the dialog shows the invoice's tax as added, so it can be removed and not added twice.
TEST_F(TaxesDialogTest, ReopenedDialogListsTheInvoicesTaxesAsAdded) {
    open();
    doubleClick("List1", u"00071-ÖTV"_s);
    dialog->close();

    open();
    EXPECT_EQ(texts("List1"), QStringList({u"00075-ÖİV"_s}));
    EXPECT_EQ(texts("List2"), QStringList({u"00071-ÖTV"_s}));
    doubleClick("List2", u"00071-ÖTV"_s);
    EXPECT_EQ(host.lineModel.columnTotal(), 10);
}

TEST_F(TaxesDialogTest, RemovingATaxKeepsLaterPairsUnderTheirHeadersAndRecomputes) {
    const QStringList before = host.lineModel.headers();
    open();
    doubleClick("List1", u"00071-ÖTV"_s);
    doubleClick("List1", u"00075-ÖİV"_s);
    // A pair the line editor adds while the dialog is open is in none of the dialog's lists.
    ASSERT_TRUE(taxes::addTaxColumns(host.lineModel, u"00099-SONRA"_s));
    host.lineModel.setCell(0, 10, u"5,000"_s);
    host.lineModel.setCell(0, 12, u"2,000"_s);
    host.lineModel.setCell(0, 14, u"1,000"_s);
    host.recomputeTotals();
    // 200 goods + 36 VAT + 10 + 4 + 2
    ASSERT_EQ(host.totals.totalsRows.last().value(2), u"252,00"_s);

    doubleClick("List2", u"00071-ÖTV"_s);
    EXPECT_EQ(texts("List2"), QStringList{u"00075-ÖİV"_s});
    EXPECT_EQ(texts("List1"), QStringList{u"00071-ÖTV"_s});
    EXPECT_EQ(host.lineModel.headers(),
              before + QStringList({u"00075-ÖİV%"_s, u"ÖİV Tutarı"_s, u"00099-SONRA%"_s,
                                    u"SONRA Tutarı"_s}));
    EXPECT_EQ(texts("List3"), host.lineModel.headers());
    EXPECT_EQ(host.lineModel.cell(0, 10), u"2,000"_s);
    EXPECT_EQ(host.lineModel.cell(0, 12), u"1,000"_s);
    // The removed tax leaves the grand total at once.
    EXPECT_EQ(host.totals.totalsRows.last().value(2), u"242,00"_s);

    doubleClick("List2", u"00075-ÖİV"_s);
    EXPECT_EQ(host.lineModel.headers(),
              before + QStringList({u"00099-SONRA%"_s, u"SONRA Tutarı"_s}));
    EXPECT_EQ(host.lineModel.rowCells(0).mid(10), QStringList({u"1,000"_s, u"2,00"_s}));
    EXPECT_EQ(host.totals.totalsRows.last().value(2), u"238,00"_s);
}

TEST_F(TaxesDialogTest, AMissingWorkbookIsReportedAndListsNothing) {
    host.workbookPath = dir.filePath(u"yok.xlsx"_s);
    test::MessageBoxes boxes;
    open();
    QTest::qWait(50);
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_FALSE(boxes.last().isEmpty());
    EXPECT_TRUE(texts("List1").isEmpty());
}

} // namespace
} // namespace tavlix
