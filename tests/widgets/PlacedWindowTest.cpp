// Where a window opens: over its anchor, wholly inside the free area of the screen.
#include "widgets/PlacedWindow.h"
#include "widgets/BrowserPlacement.h"
#include "widgets/MessageBoxPrompt.h"

#include <QApplication>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <QRect>
#include <QString>

#include <gtest/gtest.h>

#include <string>

namespace tavlix {
namespace {

std::string text(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

TEST(PlacedFrame, CentredOverTheAnchorAndKeptInsideTheFreeArea) {
    const QRect available(0, 30, 1280, 770); // below a 30-pixel panel
    const struct {
        const char* name;
        QSize frame;
        QRect anchor;
        QRect placed;
    } cases[] = {
        {"centred", {400, 300}, {200, 130, 800, 600}, {400, 280, 400, 300}},
        {"anchor past the right edge", {400, 300}, {1000, 130, 600, 400}, {880, 180, 400, 300}},
        {"anchor above the panel", {200, 100}, {300, -200, 400, 200}, {400, 30, 200, 100}},
        {"larger than the free area", {2000, 1000}, {200, 130, 800, 600}, available},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect placed = placedFrame(c.frame, c.anchor, available);
        EXPECT_EQ(text(placed), text(c.placed));
        EXPECT_TRUE(available.contains(placed));
    }
}

// A visible browser opens beside the program; where the program leaves no room, at least its
// progress dialog (with "İptal") stays uncovered: computed, and for a prompt's own dialog.
TEST(BrowserWindowBeside, BesideTheProgramElseOffItsProgressDialog) {
    const QRect screen(0, 0, 1600, 900), dialog(650, 400, 300, 100);
    const QRect cases[][2] = {// program → browser
                              {{0, 0, 800, 900}, {800, 0, 800, 900}},
                              {{900, 0, 700, 900}, {0, 0, 900, 900}},
                              {{300, 0, 1000, 400}, {0, 400, 1600, 500}},
                              {screen, {0, 0, 1600, 400}},
                              {{1700, 0, 800, 600}, screen}}; // on another screen
    for (const auto& c : cases)
        EXPECT_EQ(text(browserWindowBeside(screen, c[0], c[0] == screen ? dialog : QRect())),
                  text(c[1]));

    QWidget program;
    program.setGeometry(program.screen()->availableGeometry());
    program.show();
    MessageBoxPrompt prompt(&program);
    prompt.progress(QStringLiteral("e-Arşiv portalına giriş yapılıyor"));
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("ProgressDialog")) {
            EXPECT_FALSE(prompt.browserWindowArea().intersects(w->frameGeometry()));
        }
    }
    EXPECT_TRUE(prompt.browserWindowArea().isValid());
}

// A message box sized to a short text still shows its long title whole; a short title leaves it
// as small as its text makes it.
TEST(MessageBoxTitle, TheBoxIsAsWideAsItsTitleNeeds) {
    const QString longTitle = QStringLiteral("Tavlix Fatura Yükleme Sonrası Kontrol Raporu");
    for (const QString& title : {longTitle, QStringLiteral("Tavlix")}) {
        QMessageBox box(QMessageBox::Information, title, QStringLiteral("Tamam."));
        keepTitleWhole(box);
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        EXPECT_GE(box.width(), titleBarWidth(box)) << title.toStdString();
        EXPECT_LT(box.width(), titleBarWidth(box) + 60) << "no wider than the title needs";
    }
}

} // namespace
} // namespace tavlix
