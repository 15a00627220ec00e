// The main window's portal shortcuts are wired to their operation.
#include "AppFixture.h"

#include "store/WorkbookStore.h"
#include "support/PortalSite.h"
#include "support/Processes.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

using PortalButtons = AppFixture;

TEST_F(PortalButtons, OfflineEachShortcutSaysSoAndStartsNoBrowser) {
    makeStandardData();
    start();
    qputenv("TAVLIX_CONNECTIVITY", "offline");
    for (const char* name : {"Command20", "Command22"}) {
        boxes->clear();
        QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton);
        EXPECT_EQ(boxes->texts(), QStringList{u"İnternete bağlı değilsiniz !"_s}) << name;
    }
    qunsetenv("TAVLIX_CONNECTIVITY");
}

// "İptal" while the portal holds the login back: the dialog stays up and says it is cancelling,
// the other shortcut's button takes no click meanwhile, and the operation ends with its browser.
TEST_F(PortalButtons, CancelDuringTheLoginWaitKeepsTheDialogUntilTheOperationHasStopped) {
    becomeSubreaper();
    PortalSite site;
    site.server().setSwitch(u"loginDelayMs"_s, 2500);
    ASSERT_TRUE(site.start());
    qputenv("TAVLIX_HEADLESS", "1");
    qputenv("TAVLIX_CONNECTIVITY", "online");
    qputenv("TAVLIX_PORTAL_URL", site.url().toUtf8());
    makeStandardData(QString(), [](store::Workbook& book) {
        store::Worksheet& prg = *book.sheet(u"prgDATA"_s);
        prg.writeText(8, 2, u"33333333"_s);
        prg.writeText(9, 2, u"Şifre-123"_s);
    });
    start();
    selectCompany(u"Alfa Ltd"_s);

    const auto progressDialog = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == u"ProgressDialog"_s && w->isVisible())
                return qobject_cast<QProgressDialog*>(w);
        return static_cast<QProgressDialog*>(nullptr);
    };
    struct Seen {
        bool cancelled = false;
        bool stayedAfterCancel = false;
        QString buttonText;
        bool buttonEnabled = true;
    } seen;
    QTimer user;
    user.setInterval(50);
    QObject::connect(&user, &QTimer::timeout, [&] {
        QProgressDialog* dialog = progressDialog();
        if (!dialog || site.loginAttempts() == 0)
            return;
        auto* cancel = dialog->findChild<QPushButton*>();
        if (!seen.cancelled) {
            seen.cancelled = true;
            QTest::mouseClick(cancel, Qt::LeftButton);
            // The other shortcut, clicked while the first one stops.
            QTest::mouseClick(find<QPushButton>("Command22"), Qt::LeftButton);
            return;
        }
        seen.stayedAfterCancel = true;
        seen.buttonText = cancel->text();
        seen.buttonEnabled = cancel->isEnabled();
    });
    user.start();
    QTest::mouseClick(find<QPushButton>("Command20"), Qt::LeftButton);
    user.stop();

    EXPECT_TRUE(seen.cancelled);
    EXPECT_TRUE(seen.stayedAfterCancel);
    EXPECT_EQ(seen.buttonText, u"İptal ediliyor…"_s);
    EXPECT_FALSE(seen.buttonEnabled);
    EXPECT_EQ(progressDialog(), nullptr);
    EXPECT_EQ(site.loginAttempts(), 1) << "no second operation started";
    EXPECT_EQ(boxes->texts(), QStringList());
    EXPECT_EQ(ourBrowserProcesses(), QStringList());
    qunsetenv("TAVLIX_CONNECTIVITY");
    qunsetenv("TAVLIX_PORTAL_URL");
}

} // namespace
} // namespace tavlix::test
