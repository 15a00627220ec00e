// The proforma mail: SMTP with implicit TLS against a real server on 127.0.0.1, the hand-over to
// the mail system's sendmail, the error boxes, and the panel that prefills and sends.
#include "SmtpsServer.h"

#include "mail/MailPanel.h"
#include "mail/MailSender.h"
#include "support/MessageBoxes.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

using namespace Qt::StringLiterals;
using namespace tavlix::mail;

namespace tavlix::test {
namespace {

const QString kUser = u"satis@beta.example"_s;
const QString kPassword = u"Gizli-şifre1"_s;

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

class Mail : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        // A workbook-sized attachment with every byte value in it.
        m_attachment = m_dir.filePath(u"Beta AŞ 07-12-2026  SATIŞ .xlsx"_s);
        QFile f(m_attachment);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 40000; ++i)
            m_bytes.append(static_cast<char>((i * 7 + i / 256) & 0xff));
        f.write(m_bytes);
    }

    ProformaMail proforma() const {
        ProformaMail m;
        m.from = kUser;
        m.to = u"musteri@kara.example"_s;
        m.cc = u"muhasebe@kara.example; arsiv@beta.example"_s;
        m.subject = proformaSubject(u"Beta AŞ"_s);
        m.body = proformaBody(u"Kara ve AB İnşaat"_s, u"Beta AŞ"_s);
        m.attachmentPath = m_attachment;
        return m;
    }

    // The mail as Python reads it carries our subject, body and attachment unchanged.
    void expectDelivered(const QJsonObject& mail, const QString& attachmentName) const {
        EXPECT_EQ(mail[u"To"_s].toString(), u"musteri@kara.example"_s);
        EXPECT_EQ(mail[u"Cc"_s].toString(), u"muhasebe@kara.example, arsiv@beta.example"_s);
        EXPECT_EQ(mail[u"Subject"_s].toString(), u"Beta AŞ Proforma Faturası"_s);
        QString body = mail[u"body"_s].toString();
        body.replace(u"\r\n"_s, u"\n"_s);
        EXPECT_EQ(body.trimmed(), u"Sayın;\nKara ve AB İnşaat\nProforma faturamız ek'te "
                                  u"gönderilmiştir.\nİyi çalışmalar dileriz\nBeta AŞ"_s);
        const QJsonArray parts = mail[u"attachments"_s].toArray();
        ASSERT_EQ(parts.size(), 1);
        const QJsonObject part = parts.first().toObject();
        EXPECT_EQ(part[u"filename"_s].toString(), attachmentName);
        EXPECT_EQ(part[u"type"_s].toString(),
                  u"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"_s);
        EXPECT_TRUE(QByteArray::fromBase64(part[u"data"_s].toString().toLatin1()) == m_bytes)
            << "the attachment arrived changed";
    }

    QTemporaryDir m_dir;
    QString m_attachment;
    QByteArray m_bytes;
};

TEST_F(Mail, SmtpDeliversTheProformaIntactToEveryRecipient) {
    SmtpsServer server(kUser, kPassword);
    ASSERT_TRUE(server.ok());
    const auto sent =
        SmtpSender(server.url(), server.caFile()).send(proforma(), {kUser, kPassword});
    ASSERT_TRUE(sent.ok()) << sent.message().toStdString();

    ASSERT_EQ(server.received(), 1);
    const QJsonObject envelope = server.envelope(1);
    EXPECT_EQ(envelope[u"login"_s].toString(), kUser);
    EXPECT_EQ(envelope[u"mail_from"_s].toString(), kUser);
    EXPECT_EQ(envelope[u"rcpt_tos"_s].toArray().size(), 3);
    const QJsonObject mail = parseMail(server.messageFile(1));
    EXPECT_EQ(mail[u"From"_s].toString(), kUser);
    expectDelivered(mail, u"Beta AŞ 07-12-2026  SATIŞ .xlsx"_s);
}

TEST_F(Mail, SmtpFailuresGiveTheirFirstLineAndTheCauseBelow) {
    SmtpsServer server(kUser, kPassword);
    ASSERT_TRUE(server.ok());
    int closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    struct Case {
        const char* name;
        QString url;
        QString ca;
        QString password;
        QString firstLine;
        QString cause; // the second line contains it
    };
    const Case cases[] = {
        {"wrong password", server.url(), server.caFile(), u"yanlış"_s, text(kLoginFailed),
         u"535 5.7.8 Authentication credentials invalid"_s},
        {"closed port", u"smtps://127.0.0.1:%1"_s.arg(closedPort), server.caFile(), kPassword,
         text(kNoConnection), u"127.0.0.1"_s},
        // The test certificate is trusted only through the extra CA file: checks stay on.
        {"untrusted certificate", server.url(), QString(), kPassword, text(kSendFailed),
         u"SSL certificate problem"_s},
        // Only implicit TLS is spoken: a plain address is refused before anything is sent.
        {"plain smtp", QString(server.url()).replace(u"smtps://"_s, u"smtp://"_s), server.caFile(),
         kPassword, text(kSendFailed), u"Protocol \"smtp\" not supported"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto sent = SmtpSender(c.url, c.ca).send(proforma(), {kUser, c.password});
        ASSERT_FALSE(sent.ok());
        const QStringList lines = sent.message().split(u"\r\n"_s);
        ASSERT_EQ(lines.size(), 2) << sent.message().toStdString();
        EXPECT_EQ(lines[0], c.firstLine);
        EXPECT_TRUE(lines[1].contains(c.cause)) << lines[1].toStdString();
        EXPECT_FALSE(sent.message().contains(c.password)) << "the password is never shown";
    }
    EXPECT_EQ(server.received(), 0);
}

TEST_F(Mail, OutlookHandsTheSameMessageToSendmail) {
    const QString script = m_dir.filePath(u"sendmail"_s);
    const QString args = m_dir.filePath(u"args"_s);
    const QString eml = m_dir.filePath(u"message.eml"_s);
    auto writeScript = [&](const QByteArray& tail) {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + args.toUtf8() + "'\ncat > '" +
                eml.toUtf8() + "'\n" + tail);
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    };

    writeScript("exit 0\n");
    ProformaMail m = proforma();
    m.attachmentName = u"Proforma Fatura.xlsx"_s;
    const auto sent = SendmailSender(script).send(m);
    ASSERT_TRUE(sent.ok()) << sent.message().toStdString();
    QFile a(args);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), "-t\n-i\n");
    const QJsonObject mail = parseMail(eml);
    EXPECT_FALSE(mail.contains(u"From"_s)) << "the mail system's own account sends it";
    expectDelivered(mail, u"Proforma Fatura.xlsx"_s);

    writeScript("echo 'kuyruk dolu' >&2\nexit 75\n");
    const auto refused = SendmailSender(script).send(m);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), text(kSendFailed) + u"\r\nkuyruk dolu"_s);
    const auto missing = SendmailSender(m_dir.filePath(u"yok"_s)).send(m);
    EXPECT_TRUE(missing.message().startsWith(text(kSendFailed) + u"\r\n"_s));
}

// ---- The panel --------------------------------------------------------------------------------

class MailPanelTest : public Mail {
protected:
    void SetUp() override {
        Mail::SetUp();
        m_host = std::make_unique<QWidget>();
        m_company = new QComboBox(m_host.get());
        m_saveButton = new QPushButton(u"Excel Kaydet"_s, m_host.get());
        m_panel = new MailPanel(m_company, {m_saveButton}, m_host.get());
        m_host->show();
        m_boxes = std::make_unique<MessageBoxes>();
    }
    void TearDown() override {
        m_boxes.reset();
        m_host.reset();
        qunsetenv("TAVLIX_SMTP_URL");
        qunsetenv("TAVLIX_SMTP_CA");
    }

    InvoiceRecord invoice() const {
        InvoiceRecord r;
        r.company = u"Beta AŞ"_s;
        r.customerName = u"Kara ve AB İnşaat"_s;
        r.customerEmail = u"musteri@kara.example"_s;
        r.settings.yandexUser = kUser;
        r.settings.yandexPass = kPassword;
        return r;
    }

    template <typename T> T* find(const char* name) const {
        return m_panel->findChild<T*>(QString::fromUtf8(name));
    }

    // Presses "Gönder" and waits for the transfer to end; true when the mail was sent.
    std::optional<bool> sendAndWait() {
        QSignalSpy finished(m_panel, &MailPanel::sendFinished);
        find<QPushButton>("Command14")->click();
        if (!m_panel->isSending())
            return std::nullopt;
        EXPECT_FALSE(find<QPushButton>("Command14")->isEnabled()) << "disabled while sending";
        if (!QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30000))
            return std::nullopt;
        return finished.first().first().toBool();
    }

    std::unique_ptr<QWidget> m_host;
    QComboBox* m_company = nullptr;
    QPushButton* m_saveButton = nullptr;
    MailPanel* m_panel = nullptr;
    std::unique_ptr<MessageBoxes> m_boxes;
};

TEST_F(MailPanelTest, OpeningPrefillsFromTheInvoiceAndYandexFillsTheSender) {
    m_panel->open(invoice(), m_attachment);
    EXPECT_TRUE(m_panel->isVisible());
    EXPECT_FALSE(m_company->isEnabled());
    EXPECT_FALSE(m_saveButton->isVisible());
    EXPECT_EQ(find<QLineEdit>("Text13")->text(), QString()) << "no Yandex sending yet";
    EXPECT_EQ(find<QLineEdit>("Text14")->text(), u"musteri@kara.example"_s);
    EXPECT_EQ(find<QLineEdit>("Text16")->text(), u"Beta AŞ Proforma Faturası"_s);
    const QStringList body = find<QPlainTextEdit>("Text17")->toPlainText().split(u'\n');
    EXPECT_EQ(body.size(), 5);
    EXPECT_EQ(body.value(1), u"Kara ve AB İnşaat"_s);
    EXPECT_EQ(body.value(4), u"Beta AŞ"_s);
    EXPECT_EQ(find<QLineEdit>("Text18")->text(), u"Beta AŞ 07-12-2026  SATIŞ .xlsx"_s);

    find<QRadioButton>("Option2")->click();
    EXPECT_EQ(find<QLineEdit>("Text13")->text(), QString());
    find<QRadioButton>("Option1")->click();
    EXPECT_EQ(find<QLineEdit>("Text13")->text(), kUser);

    QSignalSpy closed(m_panel, &MailPanel::closed);
    find<QPushButton>("Command16")->click();
    EXPECT_FALSE(m_panel->isVisible());
    EXPECT_TRUE(m_saveButton->isVisible());
    EXPECT_FALSE(m_company->isEnabled()) << "Vazgeç leaves the company box as it is";
    EXPECT_EQ(closed.size(), 1);
}

TEST_F(MailPanelTest, SendIsRefusedWithoutAnAccountOrASavedInvoice) {
    m_panel->open(invoice(), m_attachment);
    EXPECT_EQ(sendAndWait(), std::nullopt);
    EXPECT_EQ(m_boxes->last(), u"Öncelikle bir gönderici hesabı seçmelisiniz..!"_s);

    m_panel->open(invoice(), QString());
    find<QRadioButton>("Option1")->click();
    EXPECT_EQ(sendAndWait(), std::nullopt);
    EXPECT_TRUE(m_boxes->last().startsWith(u"Gönderilecek fatura seçilmedi."_s));
    EXPECT_TRUE(m_panel->isVisible());
}

TEST_F(MailPanelTest, YandexSendsOffTheWindowThreadThenClosesThePanel) {
    SmtpsServer server(kUser, kPassword);
    ASSERT_TRUE(server.ok());
    qputenv("TAVLIX_SMTP_URL", server.url().toUtf8());
    qputenv("TAVLIX_SMTP_CA", server.caFile().toUtf8());

    // A wrong password first: the box says so and the panel stays for correction.
    InvoiceRecord wrong = invoice();
    wrong.settings.yandexPass = u"yanlış"_s;
    m_panel->open(wrong, m_attachment);
    find<QRadioButton>("Option1")->click();
    EXPECT_EQ(sendAndWait(), false);
    EXPECT_TRUE(m_boxes->last().startsWith(text(kLoginFailed) + u"\r\n535"_s));
    EXPECT_TRUE(m_panel->isVisible());
    EXPECT_TRUE(find<QPushButton>("Command14")->isEnabled());

    m_panel->open(invoice(), m_attachment);
    find<QLineEdit>("Text15")->setText(u"muhasebe@kara.example; arsiv@beta.example"_s);
    QSignalSpy closed(m_panel, &MailPanel::closed);
    EXPECT_EQ(sendAndWait(), true);
    EXPECT_EQ(m_boxes->last(), u"Mail gönderildi"_s);
    EXPECT_FALSE(m_panel->isVisible());
    EXPECT_TRUE(m_company->isEnabled());
    EXPECT_TRUE(m_saveButton->isVisible());
    EXPECT_EQ(closed.size(), 1);
    ASSERT_EQ(server.received(), 1);
    expectDelivered(parseMail(server.messageFile(1)), u"Beta AŞ 07-12-2026  SATIŞ .xlsx"_s);

    m_panel->open(invoice(), m_attachment);
    EXPECT_EQ(find<QLineEdit>("Text13")->text(), kUser) << "the last Yandex account";
}

// A server that takes the connection and never answers: closing the panel does not wait for
// the transfer's own time limits.
TEST_F(MailPanelTest, ClosingWhileSendingAbortsTheTransferWithinASecond) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    qputenv("TAVLIX_SMTP_URL", u"smtps://127.0.0.1:%1"_s.arg(silent.serverPort()).toUtf8());
    m_panel->open(invoice(), m_attachment);
    find<QRadioButton>("Option1")->click();
    find<QPushButton>("Command14")->click();
    ASSERT_TRUE(m_panel->isSending());
    QTest::qWait(300);
    ASSERT_TRUE(m_panel->isSending()) << "the server never answers";
    QElapsedTimer closing;
    closing.start();
    m_host.reset();
    EXPECT_LT(closing.elapsed(), 1500);
}

// An issued invoice leaves with its PDF and HTML, each byte for byte under its own name and type.
TEST_F(MailPanelTest, IssuedInvoiceGoesWithItsPdfAndHtml) {
    SmtpsServer server(kUser, kPassword);
    ASSERT_TRUE(server.ok());
    qputenv("TAVLIX_SMTP_URL", server.url().toUtf8());
    qputenv("TAVLIX_SMTP_CA", server.caFile().toUtf8());
    const QString pdf = m_dir.filePath(u"GIB2026000000007-08-12-2026-E.pdf"_s);
    const QString html = m_dir.filePath(u"GIB2026000000007-08-12-2026-E.html"_s);
    const QByteArray htmlBytes = u"<html>e-Arşiv Fatura</html>"_s.toUtf8();
    for (const auto& [path, bytes] : {std::pair{pdf, m_bytes}, std::pair{html, htmlBytes}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    m_panel->openIssued(invoice(), {u"eski@kara.example"_s,
                                    issuedInvoiceSubject(u"Beta AŞ"_s, u"7"_s),
                                    u"Sayın;"_s,
                                    {pdf, html}});
    EXPECT_EQ(find<QLineEdit>("Text14")->text(), u"eski@kara.example"_s) << "not the proforma's";
    EXPECT_EQ(find<QLineEdit>("Text18")->text(),
              u"GIB2026000000007-08-12-2026-E.pdf; GIB2026000000007-08-12-2026-E.html"_s);
    QTest::mouseClick(find<QRadioButton>("Option1"), Qt::LeftButton);
    EXPECT_EQ(sendAndWait(), true) << m_boxes->last().toStdString();
    ASSERT_EQ(server.received(), 1);
    const QJsonArray parts = parseMail(server.messageFile(1))[u"attachments"_s].toArray();
    ASSERT_EQ(parts.size(), 2);
    const std::tuple<QString, QString, QByteArray> expected[] = {
        {QFileInfo(pdf).fileName(), u"application/pdf"_s, m_bytes},
        {QFileInfo(html).fileName(), u"text/html"_s, htmlBytes}};
    for (int i = 0; i < 2; ++i) {
        const auto& [name, type, bytes] = expected[i];
        EXPECT_EQ(parts[i][u"filename"_s].toString(), name);
        EXPECT_EQ(parts[i][u"type"_s].toString(), type);
        EXPECT_TRUE(QByteArray::fromBase64(parts[i][u"data"_s].toString().toLatin1()) == bytes)
            << name.toStdString() << " arrived changed";
    }
}

} // namespace
} // namespace tavlix::test
