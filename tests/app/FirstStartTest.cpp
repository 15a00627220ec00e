// The very first start in single-company mode: no company folder yet, and still the main
// company is loaded and the invoice form is ready without a second start.
#include "AppFixture.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

using FirstStart = AppFixture;

TEST_F(FirstStart, SingleModeWithoutACompanyFolderIsReadyForAnInvoiceAtOnce) {
    makeStandardData(u"S"_s);
    ASSERT_FALSE(QDir(programPath() + u"/Firmalarım/Alfa Ltd"_s).exists());
    start();
    EXPECT_TRUE(QDir(programPath() + u"/Firmalarım/Alfa Ltd/Satış Faturaları/Pdf"_s).exists());
    EXPECT_EQ(find<QPlainTextEdit>("Text6")->toPlainText(), u"• Not bir\n• Not iki\n• Not üç\n"_s);
    EXPECT_EQ(find<QComboBox>("Combo3")->count(), 3);
    EXPECT_EQ(find<QComboBox>("Combo1")->currentText(), u"Fatura Türü Seçin"_s);
    chooseType(u"SATIŞ"_s);
    EXPECT_TRUE(find<QPushButton>("Command7")->isEnabled()) << "lines can be added at once";
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join(u" | "_s).toStdString();
}

} // namespace
} // namespace tavlix::test
