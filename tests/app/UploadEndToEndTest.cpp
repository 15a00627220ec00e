// The "e-Arşiv" button end to end: invoices composed through the windows (line editor, taxes
// dialog, return window), uploaded to the portal stand-in with headless Chromium. The portal's
// record must equal the invoice field for field, the report must show a difference of 0,00 and
// no skipped step, and the package must be filed.
#include "AppFixture.h"

#include "store/WorkbookStore.h"
#include "support/DraftChecks.h"
#include "support/Openpyxl.h"
#include "support/PortalDrafts.h"
#include "support/PortalSite.h"
#include "support/Processes.h"
#include "widgets/PlacedWindow.h"
#include "widgets/ReportModel.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeView>

#include <functional>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

// One ctest case per invoice type, each its own upload, over the table in the test body.
class UploadEndToEnd : public AppFixture, public ::testing::WithParamInterface<int> {
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
        EXPECT_EQ(ourBrowserProcesses(), QStringList());
    }

    void makeUploadData() {
        makeStandardData(QString(), [](store::Workbook& book) {
            store::Worksheet& prg = *book.sheet(u"prgDATA"_s);
            prg.writeText(7, 2, u"1111111111"_s);
            prg.writeText(8, 2, u"33333333"_s);
            prg.writeText(9, 2, u"Şifre-123"_s);
            store::Worksheet& kod = *book.sheet(u"kodDATA"_s);
            const char16_t* withholding[][3] = {{u"601", u"601 YAPIM İŞLERİ", u"40"},
                                                {u"801", u"801 YAPIM İŞLERİ (TAM)", u"100"}};
            for (int i = 0; i < 2; ++i)
                for (int c = 0; c < 3; ++c)
                    kod.writeText(2 + i, 1 + c, QString::fromUtf16(withholding[i][c]));
            kod.writeText(2, 5, u"V0021"_s);
            kod.writeText(2, 6, u"BANKA VE SİGORTA MUAMELELERİ VERGİSİ"_s);
            kod.writeText(3, 5, u"V1047"_s);
            kod.writeText(3, 6, u"DAMGA VERGİSİ"_s);
            kod.writeText(2, 13, u"805-ALTINDAN MAMUL ZİYNET EŞYALARI"_s);
            kod.writeText(2, 15, u"Adet"_s);
            kod.writeText(3, 15, u"Saat"_s);
            const int rates[] = {0, 1, 8, 18};
            for (int i = 0; i < 4; ++i)
                kod.writeNumber(2 + i, 17, rates[i]);
        });
    }

    template <typename T> static T* in(QWidget* window, const char* name) {
        return window->findChild<T*>(QString::fromUtf8(name));
    }
    static QWidget* topLevel(const QString& name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name)
                return w;
        return nullptr;
    }

    struct Line {
        QString name, quantity, unit, price, discount, vat;
        QString withholding, tax1, tax1Rate, specialReason, specialBase, gtip;
    };
    static Line line(const char16_t* name, const char16_t* quantity, const char16_t* unit,
                     const char16_t* price, const char16_t* discount, const char16_t* vat) {
        Line l;
        l.name = QString::fromUtf16(name);
        l.quantity = QString::fromUtf16(quantity);
        l.unit = QString::fromUtf16(unit);
        l.price = QString::fromUtf16(price);
        l.discount = QString::fromUtf16(discount);
        l.vat = QString::fromUtf16(vat);
        return l;
    }
    void addLines(const QList<Line>& lines) {
        QTest::mouseClick(find<QPushButton>("Command7"), Qt::LeftButton);
        QWidget* form7 = topLevel(u"Form7"_s);
        ASSERT_NE(form7, nullptr);
        for (const Line& l : lines) {
            // Typed as a user types: into the field that has the focus.
            focus(in<QLineEdit>(form7, "Text2"));
            in<QLineEdit>(form7, "Text2")->setText(l.name);
            in<QLineEdit>(form7, "Text3")->setText(l.quantity);
            in<QComboBox>(form7, "Combo1")->setCurrentText(l.unit);
            in<QLineEdit>(form7, "Text4")->setText(l.price);
            in<QLineEdit>(form7, "Text5")->setText(l.discount);
            in<QComboBox>(form7, "Combo2")->setCurrentText(l.vat);
            auto* withholding = in<QComboBox>(form7, "Combo3");
            withholding->setEditText(l.withholding);
            leave(withholding);
            in<QComboBox>(form7, "Combo4")->setEditText(l.tax1);
            in<QLineEdit>(form7, "Text7")->setText(l.tax1Rate);
            in<QComboBox>(form7, "Combo10")->setEditText(l.specialReason);
            in<QLineEdit>(form7, "Text10")->setText(l.specialBase);
            in<QLineEdit>(form7, "Text9")->setText(l.gtip);
            QTest::mouseClick(in<QPushButton>(form7, "Command4"), Qt::LeftButton);
        }
        form7->close();
    }

    // Alfa Ltd, SATIŞ to "Abc Yapı " (Çankaya, 1111111111), one line; `edit` runs in openpyxl.
    void composeSale(const QString& edit = QString()) {
        makeUploadData();
        if (!edit.isEmpty()) {
            ASSERT_TRUE(writeWithOpenpyxl(dataPath(), u"wb = openpyxl.load_workbook(path)\n"_s +
                                                          edit + u"\nwb.save(path)"_s));
        }
        start();
        selectCompany(u"Alfa Ltd"_s);
        chooseType(u"SATIŞ"_s);
        find<QComboBox>("Combo3")->setEditText(u"Abc Yapı "_s);
        leave(find<QComboBox>("Combo3"));
        addLines({line(u"Kalem", u"2", u"Adet", u"12,50", u"0", u"18")});
        boxes->clear();
    }

    PortalSite site;
    PortalDrafts drafts{site.server()};
};

TEST_P(UploadEndToEnd, ArrivesFieldForField) {
    const Line plain = line(u"Kalem", u"2", u"Adet", u"12,50", u"10", u"18");
    struct Case {
        const char* name;
        QString type;
        std::function<void()> compose;
    };
    const QList<Case> cases{
        {"SATIŞ: three lines, a foreign currency, a dispatch note, an extra tax", u"SATIŞ"_s,
         [&] {
             auto* currency = find<QComboBox>("Combo2");
             currency->setCurrentText(u"Euro"_s);
             leave(currency);
             find<QLineEdit>("Text7")->setText(u"35,1234"_s);
             auto* dispatch = find<QComboBox>("Combo6");
             dispatch->setCurrentIndex(0);
             leave(dispatch);
             find<QLineEdit>("Text11")->setText(u"IRS2026000001"_s);
             Line taxed = plain;
             taxed.tax1 = u"V0021-BANKA VE SİGORTA MUAMELELERİ VERGİSİ%"_s;
             taxed.tax1Rate = u"4"_s;
             addLines({taxed, line(u"Danışmanlık", u"3", u"Saat", u"100", u"0", u"8"),
                       line(u"Kargo ücreti", u"1", u"Adet", u"50", u"0", u"18")});
         }},
        {"İADE: two references from the return window, a tax from the taxes dialog", u"İADE"_s,
         [&] {
             addLines({plain});
             QTest::mouseClick(find<QPushButton>("Command8"), Qt::LeftButton);
             QWidget* form5 = topLevel(u"Form5"_s);
             ASSERT_NE(form5, nullptr);
             auto* available = in<QListWidget>(form5, "List1");
             ASSERT_GT(available->count(), 1);
             emit available->itemDoubleClicked(available->item(1));
             form5->close();
             QTest::mouseClick(find<QPushButton>("Command5"), Qt::LeftButton);
             QWidget* form2 = topLevel(u"Form2"_s);
             ASSERT_NE(form2, nullptr);
             for (const char16_t* serial : {u"ABC/7", u"ABC/12"}) {
                 in<QComboBox>(form2, "Combo3")->setCurrentIndex(4);
                 in<QLineEdit>(form2, "Text1")->setText(QString::fromUtf16(serial));
                 QTest::mouseClick(in<QPushButton>(form2, "Command1"), Qt::LeftButton);
             }
             QTest::mouseClick(in<QPushButton>(form2, "Command3"), Qt::LeftButton);
         }},
        {"TEVKİFAT: codes 601 and 801", u"TEVKİFAT"_s,
         [&] {
             Line a = plain, b = plain;
             a.withholding = u"601 YAPIM İŞLERİ % 40"_s;
             b.withholding = u"801 YAPIM İŞLERİ (TAM) % 100"_s;
             b.price = u"100"_s;
             addLines({a, b});
         }},
        {"ÖZEL MATRAH", u"ÖZEL MATRAH"_s,
         [&] {
             Line l = plain;
             l.specialReason = u"805-ALTINDAN MAMUL ZİYNET EŞYALARI"_s;
             l.specialBase = u"1500,50"_s;
             addLines({l});
         }},
        {"İSTİSNA", u"İSTİSNA"_s,
         [&] {
             Line l = plain;
             l.gtip = u"7113190000"_s;
             addLines({l});
         }},
        {"İHRAÇ KAYITLI", u"İHRAÇ KAYITLI"_s, [&] { addLines({plain}); }},
    };
    makeUploadData();
    {
        const Case& c = cases[GetParam()];
        SCOPED_TRACE(c.name);
        start();
        selectCompany(u"Alfa Ltd"_s);
        chooseType(c.type);
        auto* customer = find<QComboBox>("Combo3");
        customer->setEditText(u"Abc Yapı "_s);
        leave(customer);
        auto* date = find<QComboBox>("Combo5");
        date->setCurrentIndex(0);
        leave(date);
        find<QLineEdit>("Text9")->setText(u"14:05:00"_s);
        c.compose();
        ASSERT_FALSE(HasFatalFailure());
        const InvoiceRecord invoice = m_window->invoiceRecord();
        ASSERT_FALSE(invoice.lines.isEmpty()) << boxes->texts().join(u" | "_s).toStdString();
        boxes->clear();
        const int before = int(drafts.drafts().size());

        // The upload pastes through the browser's own clipboard, never the desktop's.
        QGuiApplication::clipboard()->setText(u"kullanıcının panosu"_s);
        QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), u"kullanıcının panosu"_s);

        ASSERT_EQ(drafts.drafts().size(), before + 1);
        const QJsonObject draft = drafts.newest();
        expectDraftMatches(draft, invoice);
        const QStringList report = boxes->texts().filter(u"kontrol sonucu"_s);
        ASSERT_EQ(report.size(), 1) << boxes->texts().join(u" | "_s).toStdString();
        const QStringList lines = report[0].split(u"\r\n"_s);
        EXPECT_EQ(lines.size(), 6) << report[0].toStdString();
        EXPECT_EQ(lines.value(4), u" Fatura Toplam Farkı     :         0,00 [TL,Kr]'dir."_s);
        // The registry does not know the card's number: the card's name went in.
        EXPECT_EQ(lines.value(5), u" Alıcı bilgileri portalda bulunamadı; müşteri kartındaki "
                                  u"bilgiler yazıldı."_s);
        const QString ettn = draftText(draft, "ettn");
        EXPECT_TRUE(boxes->texts().contains(u"ETTN "_s + ettn + u" numaralı fatura hazırlandı"_s));

        // number-date-ETTN in Html, Xml and Zip; Temp empty.
        const QString stem = draftText(draft, "belgeNo") + u"-"_s +
                             QDate::currentDate().toString(u"dd-MM-yyyy"_s) + u"-"_s + ettn;
        const QDir sales(programPath() + u"/Firmalarım/Alfa Ltd/Satış Faturaları"_s);
        for (const auto& [folder, suffix] :
             {std::pair{u"Html"_s, u".html"_s}, std::pair{u"Xml"_s, u".xml"_s},
              std::pair{u"Zip"_s, u".zip"_s}})
            EXPECT_TRUE(QFileInfo::exists(sales.filePath(folder + u"/"_s + stem + suffix)))
                << (folder + u"/"_s + stem + suffix).toStdString();
        EXPECT_EQ(QDir(sales.filePath(u"Temp"_s)).entryList(QDir::Files), QStringList());
        // Printed beside them, then offered for mailing ("Hayır" by default).
        EXPECT_TRUE(QFileInfo::exists(sales.filePath(u"Pdf/"_s + stem + u".pdf"_s)));
        EXPECT_EQ(boxes->last(), u"Fatura müşteriye e-posta ile gönderilsin mi?"_s);
        m_window.reset();
    }
}

// Named in the table's order: SATIŞ, İADE, TEVKİFAT, ÖZEL MATRAH, İSTİSNA, İHRAÇ KAYITLI.
std::string typeCaseName(const ::testing::TestParamInfo<int>& info) {
    static const char* const names[] = {"Satis",      "Iade",    "Tevkifat",
                                        "OzelMatrah", "Istisna", "IhracKayitli"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Types, UploadEndToEnd, ::testing::Range(0, 6), typeCaseName);

TEST_F(UploadEndToEnd, AnUploadedInvoiceIsAskedForAgainAndTheRegistrysNameIsReported) {
    site.server().setSwitch(
        u"mukellefler"_s,
        QJsonObject{{u"1111111111"_s, QJsonObject{{u"unvan"_s, u"ABC YAPI İNŞAAT A.Ş."_s},
                                                  {u"vergiDairesi"_s, u"KIZILAY"_s}}}});
    composeSale();
    ASSERT_FALSE(HasFatalFailure());
    for (auto button : {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Yes}) // "Evet" to the mail
        boxes->answer(button);
    QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);
    ASSERT_EQ(drafts.drafts().size(), 1) << boxes->texts().join(u"|"_s).toStdString();
    EXPECT_EQ(boxes->texts().value(0).split(u"\r\n"_s).mid(4),
              (QStringList{u" Fatura Toplam Farkı     :         0,00 [TL,Kr]'dir."_s,
                           u" Portal Alıcı Bilgisi     :  ABC YAPI İNŞAAT A.Ş. / KIZILAY"_s,
                           u" Kart Alıcı Bilgisi        :  Abc Yapı / Çankaya"_s}));
    EXPECT_TRUE(find<QPlainTextEdit>("Text17")->toPlainText().startsWith(
        u"Sayın;\nABC YAPI İNŞAAT A.Ş.\n"_s));
    const QString number = draftText(drafts.newest(), "belgeNo");
    EXPECT_EQ(m_window->invoiceRecord().portalEttn, draftText(drafts.newest(), "ettn"));

    // Again, today and after a restart: "Hayır" (the default) and the portal hears nothing.
    const QRegularExpression asked(u"^Bu fatura "_s + number +
                                   u" numarasıyla \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d "
                                   u"tarihinde portala yüklendi\\. Yeni bir fatura olarak yeniden "
                                   u"yüklensin mi\\?$"_s);
    for (const bool restart : {false, true}) {
        if (restart) {
            m_window.reset();
            composeSale();
            ASSERT_FALSE(HasFatalFailure());
            ASSERT_TRUE(m_window->invoiceRecord().portalNumber.isEmpty());
        }
        boxes->clear();
        QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);
        ASSERT_EQ(boxes->texts().size(), 1) << boxes->texts().join(u"|"_s).toStdString();
        EXPECT_TRUE(asked.match(boxes->texts().first()).hasMatch())
            << boxes->texts().first().toStdString();
        EXPECT_EQ(site.loginAttempts(), 1);
        EXPECT_EQ(drafts.drafts().size(), 1);
    }

    // Another invoice on the screen carries no mark.
    auto* view = find<QTreeView>("ListView1");
    const QList<std::pair<const char*, std::function<void()>>> cases{
        {"last line deleted",
         [&] {
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
    for (const auto& [name, act] : cases) {
        m_window->markUploaded(number, u"E"_s);
        ASSERT_EQ(m_window->invoiceRecord().portalNumber, number);
        act();
        const InvoiceRecord after = m_window->invoiceRecord();
        EXPECT_EQ(after.portalNumber + after.portalEttn, QString()) << name;
    }
}

// Outside words that look like markup reach the boxes as they are: the registry's name in the
// report and the portal's refusal (every box's text format is checked by the box helper).
TEST_F(UploadEndToEnd, MarkupFromThePortalIsShownAsText) {
    const QString name = u"<b>ABC</b> YAPI"_s;
    const QString refusal = u"<b>Sistem yoğun.</b> <a href=\"x\">Tekrar</a> deneyiniz."_s;
    site.server().setSwitch(
        u"mukellefler"_s,
        QJsonObject{
            {u"1111111111"_s, QJsonObject{{u"unvan"_s, name}, {u"vergiDairesi"_s, u"KIZILAY"_s}}}});
    site.server().setSwitch(u"kayitReddi"_s, refusal);
    composeSale();
    ASSERT_FALSE(HasFatalFailure());
    QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);
    const QStringList texts = boxes->texts();
    ASSERT_EQ(texts.size(), 2) << texts.join(u"|"_s).toStdString();
    EXPECT_TRUE(texts[0].split(u"\r\n"_s).contains(
        u" Portal Alıcı Bilgisi     :  <b>ABC</b> YAPI / KIZILAY"_s))
        << texts[0].toStdString();
    EXPECT_EQ(texts[1], u"Fatura portalda kaydedilmedi: "_s + refusal +
                            u" Portaldaki taslağı kontrol ediniz."_s);
}

// No password: the message and the window; a lock file refuses the save, then what was typed
// lands in B8/B9 with formulas and every other cell as they were.
TEST_F(UploadEndToEnd, MissingCredentialsAreTypedIntoPrgDataThroughTheGuards) {
    composeSale(u"ws = wb['prgDATA']\nws['B9'] = None\nws['B19'] = '=LEN(B2)'\n"
                u"ws['C9'] = '=B9'"_s);
    ASSERT_FALSE(HasFatalFailure());
    const QJsonObject before = readWithOpenpyxl(dataPath());
    const QString message = u"Alfa Ltd için e-Arşiv kullanıcı kodu veya şifresi kayıtlı değil."_s;
    QTest::mouseClick(find<QPushButton>("Command20"), Qt::LeftButton); // "Hayır" by default
    const QString lock = programPath() + u"/Data/.~lock.DATA.xlsx#"_s;
    ASSERT_TRUE(QFile(lock).open(QIODevice::WriteOnly));
    int clicks = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || window->objectName() != u"PortalCredentialsWindow"_s || clicks > 1)
            return;
        auto* password = window->findChild<QLineEdit*>(u"sifre"_s);
        if (clicks++ == 0) {
            EXPECT_EQ(password->echoMode(), QLineEdit::Password);
            EXPECT_GE(window->width(), titleBarWidth(*window)) << "the title shown whole";
            auto* user = window->findChild<QLineEdit*>(u"kullaniciKodu"_s);
            user->setFocus();
            QTest::keyClick(user, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(user, u"44445555"_s);
            password->setFocus();
            // Typed key by key; keyClicks takes Latin-1 only.
            for (const QChar ch : u"Yeni-Şifre ı1"_s)
                QTest::sendKeyEvent(QTest::Click, password, Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
        } else {
            EXPECT_EQ(readWithOpenpyxl(dataPath()), before) << "nothing written under the lock";
            QFile::remove(lock);
        }
        QTest::mouseClick(window->findChild<QPushButton*>(u"kaydet"_s), Qt::LeftButton);
    });
    user.start(50);
    boxes->answer(QMessageBox::Yes);
    QTest::mouseClick(find<QPushButton>("Command12"), Qt::LeftButton);
    user.stop();
    EXPECT_EQ(boxes->texts(),
              (QStringList{message, message,
                           u"e-Arşiv giriş bilgileri kaydedilmedi: DATA.xlsx "
                           u"başka bir programda açık. Kapatıp yeniden deneyin."_s}));
    EXPECT_EQ(site.loginAttempts(), 0);
    EXPECT_EQ(m_window->companySettings().portalPassword, u"Yeni-Şifre ı1"_s);
    QJsonObject cells = before[u"cells"_s].toObject();
    QJsonObject prg = cells[u"prgDATA"_s].toObject();
    prg[u"B8"_s] = u"44445555"_s;
    prg[u"B9"_s] = u"Yeni-Şifre ı1"_s;
    cells[u"prgDATA"_s] = prg;
    EXPECT_EQ(readWithOpenpyxl(dataPath())[u"cells"_s].toObject(), cells);
}

} // namespace
} // namespace tavlix::test
