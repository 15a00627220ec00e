// The "e-Arşiv" button around an upload: the mark an uploaded invoice keeps (asked before a second
// upload, dropped with the invoice), the buyer the portal knows under another name, and the portal
// credentials entered when they are missing.
#include "AppFixture.h"

#include "store/WorkbookStore.h"
#include "support/DraftChecks.h"
#include "support/Openpyxl.h"
#include "support/PortalDrafts.h"
#include "support/PortalSite.h"
#include "support/Processes.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

class PortalMark : public AppFixture {
protected:
    static void SetUpTestSuite() { becomeSubreaper(); }
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(site.start());
        qputenv("TAVLIX_HEADLESS", "1");
        qputenv("TAVLIX_CONNECTIVITY", "online");
        qputenv("TAVLIX_PORTAL_URL", site.url().toUtf8());
    }
    void TearDown() override {
        AppFixture::TearDown();
        qunsetenv("TAVLIX_PORTAL_URL");
        qunsetenv("TAVLIX_CONNECTIVITY");
        EXPECT_EQ(ourBrowserProcesses(), QStringList());
    }
    void makePortalData(const QString& password) {
        makeStandardData(QString(), [&](store::Workbook& book) {
            store::Worksheet& prg = *book.sheet(u"prgDATA"_s);
            prg.writeText(7, 2, u"1111111111"_s);
            prg.writeText(8, 2, u"33333333"_s);
            prg.writeText(9, 2, password);
            book.sheet(u"kodDATA"_s)->writeText(2, 15, u"Adet"_s);
            book.sheet(u"kodDATA"_s)->writeNumber(2, 17, 18);
        });
    }
    // Alfa Ltd, SATIŞ, "Abc Yapı " (1111111111, Çankaya), today, one line from the line editor.
    void composeInvoice() {
        selectCompany(u"Alfa Ltd"_s);
        chooseType(u"SATIŞ"_s);
        auto* customer = find<QComboBox>("Combo3");
        customer->setEditText(u"Abc Yapı "_s);
        leave(customer);
        auto* date = find<QComboBox>("Combo5");
        date->setCurrentIndex(0);
        leave(date);
        QTest::mouseClick(find<QPushButton>("Command7"), Qt::LeftButton);
        QWidget* form7 = topLevel(u"Form7"_s);
        ASSERT_NE(form7, nullptr);
        const auto field = [&](const char* name) {
            return form7->findChild<QLineEdit*>(QString::fromUtf8(name));
        };
        focus(field("Text2"));
        field("Text2")->setText(u"Kalem"_s);
        field("Text3")->setText(u"2"_s);
        form7->findChild<QComboBox*>(u"Combo1"_s)->setCurrentText(u"Adet"_s);
        field("Text4")->setText(u"12,50"_s);
        field("Text5")->setText(u"0"_s);
        form7->findChild<QComboBox*>(u"Combo2"_s)->setCurrentText(u"18"_s);
        QTest::mouseClick(form7->findChild<QPushButton*>(u"Command4"_s), Qt::LeftButton);
        form7->close();
        ASSERT_EQ(m_window->invoiceRecord().lines.size(), 1)
            << boxes->texts().join(u" | "_s).toStdString();
    }
    static QWidget* topLevel(const QString& name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible())
                return w;
        return nullptr;
    }

    PortalSite site;
    PortalDrafts drafts{site.server()};
};

TEST_F(PortalMark, UploadedInvoiceIsAskedForAgainAndTheRegistrysNameIsReported) {
    // The registry knows the card's tax number under another name and tax office.
    site.server().setSwitch(
        u"mukellefler"_s,
        QJsonObject{{u"1111111111"_s, QJsonObject{{u"unvan"_s, u"ABC YAPI İNŞAAT A.Ş."_s},
                                                  {u"vergiDairesi"_s, u"KIZILAY"_s}}}});
    makePortalData(u"Şifre-123"_s);
    start();
    composeInvoice();
    ASSERT_FALSE(HasFatalFailure());
    boxes->clear();
    // The report and the "hazırlandı" message, then "Evet" to the mail.
    for (auto button : {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Yes})
        boxes->answer(button);
    QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);

    ASSERT_EQ(drafts.drafts().size(), 1) << boxes->texts().join(u" | "_s).toStdString();
    const QStringList report = boxes->texts().filter(u"kontrol sonucu"_s);
    ASSERT_EQ(report.size(), 1) << boxes->texts().join(u" | "_s).toStdString();
    const QStringList lines = report[0].split(u"\r\n"_s);
    EXPECT_EQ(lines.value(4), u" Fatura Toplam Farkı     :         0,00 [TL,Kr]'dir."_s);
    EXPECT_EQ(lines.mid(5),
              (QStringList{u" Portal Alıcı Bilgisi     :  ABC YAPI İNŞAAT A.Ş. / KIZILAY"_s,
                           u" Kart Alıcı Bilgisi        :  Abc Yapı / Çankaya"_s}));
    EXPECT_TRUE(find<QPlainTextEdit>("Text17")->toPlainText().startsWith(
        u"Sayın;\nABC YAPI İNŞAAT A.Ş.\n"_s))
        << find<QPlainTextEdit>("Text17")->toPlainText().toStdString();
    const QString number = draftText(drafts.newest(), "belgeNo");
    const QString ettn = draftText(drafts.newest(), "ettn");
    ASSERT_FALSE(number.isEmpty());
    EXPECT_EQ(m_window->invoiceRecord().portalNumber, number);
    EXPECT_EQ(m_window->invoiceRecord().portalEttn, ettn);

    // Pressed again: asked, "Hayır" by default, and the portal hears nothing.
    boxes->clear();
    const int logins = site.loginAttempts();
    QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);
    EXPECT_EQ(boxes->texts(), QStringList{u"Bu fatura "_s + number +
                                          u" numarasıyla portala yüklendi. Yeni bir fatura olarak "
                                          u"yeniden yüklensin mi?"_s});
    EXPECT_EQ(site.loginAttempts(), logins);
    EXPECT_EQ(drafts.drafts().size(), 1);
    EXPECT_EQ(m_window->invoiceRecord().portalNumber, number);

    // Another invoice on the screen carries no mark.
    struct Case {
        const char* name;
        std::function<void()> act;
    };
    const QList<Case> cases{
        {"the last line deleted",
         [&] {
             auto* view = find<QTreeView>("ListView1");
             boxes->answer(QMessageBox::Yes);
             QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                               view->visualRect(view->model()->index(0, 1)).center());
         }},
        {"another type", [&] { chooseType(u"İADE"_s); }},
        {"another company",
         [&] {
             QTest::mouseClick(find<QLabel>("Label19"), Qt::LeftButton); // starts over
             selectCompany(u"Beta AŞ"_s);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_window->markUploaded(number, ettn);
        c.act();
        EXPECT_EQ(m_window->invoiceRecord().portalNumber, QString());
        EXPECT_EQ(m_window->invoiceRecord().portalEttn, QString());
    }
    EXPECT_EQ(m_window->invoiceRecord().lines.size(), 0);
}

// No password: the message, then the window; a lock file refuses the save, and after it is gone
// what was typed lands in the company's cells, formulas and every other cell as they were.
TEST_F(PortalMark, MissingCredentialsAreEnteredIntoPrgDataThroughTheGuards) {
    makePortalData(QString());
    ASSERT_TRUE(writeWithOpenpyxl(dataPath(), uR"py(
wb = openpyxl.load_workbook(path)
ws = wb['prgDATA']
ws['B19'] = '=LEN(B2)'
ws['C9'] = '=B9'
wb.save(path))py"_s));
    const QJsonObject before = readWithOpenpyxl(dataPath());
    start();
    composeInvoice();
    ASSERT_FALSE(HasFatalFailure());
    const QString message = u"Alfa Ltd için e-Arşiv kullanıcı kodu veya şifresi kayıtlı değil."_s;

    // " e-Arşiv Taslak" says it too; "Hayır" (the default) leaves everything as it was.
    boxes->clear();
    QTest::mouseClick(find<QPushButton>("Command20"), Qt::LeftButton);
    EXPECT_EQ(boxes->texts(), QStringList{message});

    const QString lock = programPath() + u"/Data/.~lock.DATA.xlsx#"_s;
    ASSERT_TRUE(QFile(lock).open(QIODevice::WriteOnly));
    QFile data(dataPath());
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray bytes = data.readAll();
    data.close();
    int clicks = 0;
    bool dots = false;
    QByteArray bytesAfterLockedSave;
    QTimer user;
    user.setInterval(50);
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* window = topLevel(u"PortalCredentialsWindow"_s);
        if (!window || QApplication::activeModalWidget() != window)
            return;
        auto* save = window->findChild<QPushButton*>(u"kaydet"_s);
        if (clicks == 0) {
            auto* user = window->findChild<QLineEdit*>(u"kullaniciKodu"_s);
            auto* password = window->findChild<QLineEdit*>(u"sifre"_s);
            dots = password->echoMode() == QLineEdit::Password;
            user->setFocus();
            QTest::keyClick(user, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(user, u"44445555"_s);
            QTest::keyClick(user, Qt::Key_Tab);
            QTest::keyClicks(password, u"Yeni-Şifre ı1"_s);
        } else if (clicks == 1) {
            QFile written(dataPath());
            if (written.open(QIODevice::ReadOnly))
                bytesAfterLockedSave = written.readAll();
            QFile::remove(lock);
        } else {
            return;
        }
        ++clicks;
        QTest::mouseClick(save, Qt::LeftButton);
    });
    user.start();
    boxes->clear();
    boxes->answer(QMessageBox::Yes);
    QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);
    user.stop();

    EXPECT_TRUE(dots);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(boxes->texts(),
              (QStringList{message, u"e-Arşiv giriş bilgileri kaydedilmedi: DATA.xlsx başka bir "
                                    u"programda açık. Kapatıp yeniden deneyin."_s}));
    EXPECT_EQ(bytesAfterLockedSave, bytes);
    EXPECT_EQ(site.loginAttempts(), 0);
    EXPECT_EQ(m_window->companySettings().portalUser, u"44445555"_s);
    EXPECT_EQ(m_window->companySettings().portalPassword, u"Yeni-Şifre ı1"_s);

    QJsonObject expected = before[u"cells"_s].toObject();
    QJsonObject prg = expected[u"prgDATA"_s].toObject();
    prg[u"B8"_s] = u"44445555"_s;
    prg[u"B9"_s] = u"Yeni-Şifre ı1"_s;
    expected[u"prgDATA"_s] = prg;
    EXPECT_EQ(readWithOpenpyxl(dataPath())[u"cells"_s].toObject(), expected);
}

} // namespace
} // namespace tavlix::test
