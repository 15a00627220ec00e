// The issued invoice mailed to its buyer: the recipient from the customer card of the invoice's
// tax number, the prefilled texts, and the PDF and HTML delivered unchanged through SMTPS.
#include "SmtpsServer.h"

#include "mail/IssuedInvoiceMail.h"
#include "mail/MailPanel.h"
#include "store/DataStore.h"
#include "support/MessageBoxes.h"

#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::StringLiterals;
using namespace tavlix::mail;

namespace tavlix::test {
namespace {

const QString kUser = u"satis@beta.example"_s;
const QString kPassword = u"Gizli-şifre1"_s;

class IssuedMailTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_data = m_dir.filePath(u"DATA.xlsx"_s);
        const store::DataStore data(m_data);
        ASSERT_TRUE(data.create().ok());
        for (const auto& [name, vkn, mail] :
             {std::tuple{u"Kara ve AB İnşaat"_s, u"1234567890"_s, u"eski@kara.example"_s},
              std::tuple{u"Mavi Ltd"_s, u"5555555555"_s, u"muhasebe@mavi.example"_s}}) {
            store::NewCustomer card;
            card.displayName = name;
            card.taxNumber = vkn;
            card.email = mail;
            card.taxOffice = u"Kadıköy"_s;
            ASSERT_TRUE(data.addCustomer(card).ok());
        }
        m_pdf = m_dir.filePath(u"GIB2026000000007-08-12-2026-ETTN.pdf"_s);
        m_html = m_dir.filePath(u"GIB2026000000007-08-12-2026-ETTN.html"_s);
        m_pdfBytes = "%PDF-1.4\n";
        for (int i = 0; i < 30000; ++i)
            m_pdfBytes.append(static_cast<char>((i * 13 + i / 256) & 0xff));
        m_htmlBytes = u"<html><body>e-Arşiv Fatura GIB2026000000007</body></html>"_s.toUtf8();
        for (const auto& [path, bytes] :
             {std::pair{m_pdf, &m_pdfBytes}, std::pair{m_html, &m_htmlBytes}}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(*bytes);
        }
    }

    IssuedInvoiceRef ref(const QString& taxNumber) const {
        return {u"GIB2026000000007"_s, u"Kara ve AB İnşaat"_s, taxNumber, m_pdf, m_html};
    }

    QTemporaryDir m_dir;
    QString m_data, m_pdf, m_html;
    QByteArray m_pdfBytes, m_htmlBytes;
};

// The recipient is the card of the tax number, whatever name the invoice carries; anything
// that finds no card leaves it empty; a vanished HTML leaves the PDF alone.
TEST_F(IssuedMailTest, PrefillFindsTheBuyerByTaxNumber) {
    struct Case {
        const char* name;
        QString taxNumber;
        QString dataPath;
        bool htmlThere;
        QString to;
    };
    const QList<Case> cases{
        {"card of that tax number", u"1234567890"_s, m_data, true, u"eski@kara.example"_s},
        {"blanks in the tax number", u" 5555 555555 "_s, m_data, true, u"muhasebe@mavi.example"_s},
        {"no card", u"9999999999"_s, m_data, true, {}},
        {"no tax number", {}, m_data, true, {}},
        {"DATA.xlsx unreadable", u"1234567890"_s, m_dir.filePath(u"yok.xlsx"_s), true, {}},
        {"HTML gone", u"1234567890"_s, m_data, false, u"eski@kara.example"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.htmlThere)
            QFile::remove(m_html);
        const IssuedInvoiceMail mail =
            issuedInvoiceMail(u"Beta AŞ"_s, ref(c.taxNumber), c.dataPath);
        EXPECT_EQ(mail.to, c.to);
        EXPECT_EQ(mail.subject, u"Beta AŞ e-Arşiv Faturası GIB2026000000007"_s);
        EXPECT_EQ(mail.body, u"Sayın;\r\nKara ve AB İnşaat\r\nGIB2026000000007 numaralı e-Arşiv "
                             u"faturamız ekte gönderilmiştir.\r\nİyi çalışmalar dileriz\r\n"
                             u"Beta AŞ"_s);
        const QStringList attached =
            c.htmlThere ? QStringList({m_pdf, m_html}) : QStringList{m_pdf};
        EXPECT_EQ(mail.attachments, attached);
    }
}

TEST_F(IssuedMailTest, PanelSendsPdfAndHtmlByteForByte) {
    SmtpsServer server(kUser, kPassword);
    ASSERT_TRUE(server.ok());
    qputenv("TAVLIX_SMTP_URL", server.url().toUtf8());
    qputenv("TAVLIX_SMTP_CA", server.caFile().toUtf8());
    QWidget host;
    auto* company = new QComboBox(&host);
    auto* panel = new MailPanel(company, {}, &host);
    host.show();
    MessageBoxes boxes;

    InvoiceRecord invoice;
    invoice.company = u"Beta AŞ"_s;
    invoice.customerEmail = u"baska@musteri.example"_s; // the proforma's, not used here
    invoice.settings.yandexUser = kUser;
    invoice.settings.yandexPass = kPassword;
    panel->openIssued(invoice, issuedInvoiceMail(u"Beta AŞ"_s, ref(u"1234567890"_s), m_data));
    auto field = [&](const char* name) {
        return panel->findChild<QLineEdit*>(QString::fromUtf8(name))->text();
    };
    EXPECT_EQ(field("Text14"), u"eski@kara.example"_s);
    EXPECT_EQ(field("Text16"), u"Beta AŞ e-Arşiv Faturası GIB2026000000007"_s);
    EXPECT_EQ(panel->findChild<QPlainTextEdit*>(u"Text17"_s)->toPlainText().split(u'\n').size(), 5);
    EXPECT_EQ(field("Text18"), u"GIB2026000000007-08-12-2026-ETTN.pdf; "
                               u"GIB2026000000007-08-12-2026-ETTN.html"_s);

    QTest::mouseClick(panel->findChild<QRadioButton*>(u"Option1"_s), Qt::LeftButton);
    QSignalSpy finished(panel, &MailPanel::sendFinished);
    QTest::mouseClick(panel->findChild<QPushButton*>(u"Command14"_s), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30000));
    EXPECT_TRUE(finished.first().first().toBool()) << boxes.last().toStdString();
    ASSERT_EQ(server.received(), 1);
    const QJsonObject mail = parseMail(server.messageFile(1));
    EXPECT_EQ(mail[u"To"_s].toString(), u"eski@kara.example"_s);
    EXPECT_EQ(mail[u"Subject"_s].toString(), u"Beta AŞ e-Arşiv Faturası GIB2026000000007"_s);
    const QJsonArray parts = mail[u"attachments"_s].toArray();
    ASSERT_EQ(parts.size(), 2);
    const struct {
        QString name, type;
        const QByteArray* bytes;
    } expected[] = {{u"GIB2026000000007-08-12-2026-ETTN.pdf"_s, u"application/pdf"_s, &m_pdfBytes},
                    {u"GIB2026000000007-08-12-2026-ETTN.html"_s, u"text/html"_s, &m_htmlBytes}};
    for (int i = 0; i < 2; ++i) {
        const QJsonObject part = parts[i].toObject();
        EXPECT_EQ(part[u"filename"_s].toString(), expected[i].name);
        EXPECT_EQ(part[u"type"_s].toString(), expected[i].type);
        EXPECT_TRUE(QByteArray::fromBase64(part[u"data"_s].toString().toLatin1()) ==
                    *expected[i].bytes)
            << expected[i].name.toStdString() << " arrived changed";
    }
    qunsetenv("TAVLIX_SMTP_URL");
    qunsetenv("TAVLIX_SMTP_CA");
}

} // namespace
} // namespace tavlix::test
