#include "mail/MailPanel.h"

#include "mail/MailSender.h"
#include "widgets/DropDownListView.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QThread>

#include <memory>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {
constexpr int kMessageLines = 8;
}

MailPanel::MailPanel(QWidget* companyBox, QList<QWidget*> hiddenWhileOpen, QWidget* parent)
    : QGroupBox(u"e-Mail"_s, parent)
    , m_companyBox(companyBox) {
    setObjectName(u"MailPanel"_s);
    for (QWidget* w : hiddenWhileOpen)
        m_hiddenWhileOpen.append(w);

    m_option1 = named<QRadioButton>(u"Option1"_s, u"Yandex"_s, this);
    m_option2 = named<QRadioButton>(u"Option2"_s, u"Outlook"_s, this);
    m_text13 = named<QLineEdit>(u"Text13"_s, this);
    m_text14 = named<QLineEdit>(u"Text14"_s, this);
    m_text15 = named<QLineEdit>(u"Text15"_s, this);
    m_text16 = named<QLineEdit>(u"Text16"_s, this);
    m_text17 = named<QPlainTextEdit>(u"Text17"_s, this);
    m_text18 = named<QLineEdit>(u"Text18"_s, this);
    m_command14 = named<QPushButton>(u"Command14"_s, u"Gönder"_s, this);
    m_command16 = named<QPushButton>(u"Command16"_s, u"Vazgeç"_s, this);
    m_text15->setPlaceholderText(u"CC"_s);

    // One field a row, each read on one line (the whole text as tooltip where it is longer),
    // and beside them eight lines for the message: as tall as the invoice header, so opening
    // the panel does not make the main window taller.
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    auto* top = new QHBoxLayout;
    top->addWidget(m_option1);
    top->addWidget(m_option2);
    top->addStretch(1);
    top->addWidget(m_command14);
    top->addWidget(m_command16);
    m_text17->setMinimumHeight(m_text17->fontMetrics().lineSpacing() * kMessageLines +
                               2 * m_text17->frameWidth() +
                               2 * static_cast<int>(m_text17->document()->documentMargin()));
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addWidget(new QLabel(u"Mesaj"_s, this), 0, 2, Qt::AlignBottom);
    const std::pair<const char16_t*, QLineEdit*> rows[] = {{u"Gönderen", m_text13},
                                                           {u"Alıcı", m_text14},
                                                           {u"", m_text15},
                                                           {u"Konu", m_text16},
                                                           {u"", m_text18}};
    int row = 1;
    for (const auto& [caption, edit] : rows) {
        grid->addWidget(new QLabel(QString::fromUtf16(caption), this), row, 0);
        grid->addWidget(edit, row++, 1);
    }
    grid->addWidget(m_text17, 1, 2, row - 1, 1);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    for (QLineEdit* edit : {m_text13, m_text14, m_text15, m_text16, m_text18})
        tipWhenCut(*edit);

    connect(m_option1, &QRadioButton::clicked, this,
            [this] { m_text13->setText(m_settings.yandexUser); });
    connect(m_command14, &QPushButton::clicked, this, &MailPanel::send);
    connect(m_command16, &QPushButton::clicked, this, &MailPanel::cancel);
    setVisible(false);
}

MailPanel::~MailPanel() {
    // A transfer still running is aborted (within a second); its result is dropped.
    if (m_worker) {
        m_abort->store(true);
        m_worker->disconnect(this);
        m_worker->wait();
        delete m_worker;
    }
}

void MailPanel::open(const InvoiceRecord& invoice, const QString& attachmentPath) {
    fill(invoice, invoice.customerEmail, mail::proformaSubject(invoice.company),
         mail::proformaBody(invoice.customerName, invoice.company),
         attachmentPath.isEmpty() ? QStringList() : QStringList{attachmentPath});
}

void MailPanel::openIssued(const InvoiceRecord& invoice, const mail::IssuedInvoiceMail& mail) {
    fill(invoice, mail.to, mail.subject, mail.body, mail.attachments);
}

void MailPanel::fill(const InvoiceRecord& invoice, const QString& to, const QString& subject,
                     const QString& body, const QStringList& attachments) {
    m_settings = invoice.settings;
    m_attachmentPath = attachments.value(0);
    m_moreAttachments = attachments.mid(1);
    if (m_companyBox)
        m_companyBox->setEnabled(false);
    m_text13->setText(m_senderId);
    m_text14->setText(to);
    m_text15->clear();
    m_text16->setText(subject);
    m_text17->setPlainText(QString(body).replace(u"\r\n"_s, u"\n"_s));
    QStringList names;
    for (const QString& path : attachments)
        names << QFileInfo(path).fileName();
    m_text18->setText(names.join(u"; "_s));
    // A long subject or address shows its beginning, as it reads.
    for (QLineEdit* edit : {m_text14, m_text16, m_text18})
        edit->setCursorPosition(0);
    // Opening again while open keeps the buttons hidden the first time on the list to restore.
    for (const QPointer<QWidget>& w : m_hiddenWhileOpen) {
        if (w && !w->isHidden()) {
            w->setVisible(false);
            m_hidden.append(w);
        }
    }
    setVisible(true);
}

void MailPanel::cancel() {
    setVisible(false);
    for (const QPointer<QWidget>& w : std::as_const(m_hidden)) {
        if (w)
            w->setVisible(true);
    }
    m_hidden.clear();
    emit closed();
}

void MailPanel::send() {
    if (m_worker)
        return;
    MessageBoxPrompt prompt(this);
    const bool viaYandex = m_option1->isChecked();
    if (!viaYandex && !m_option2->isChecked()) {
        prompt.message(UserPrompt::Icon::Warning,
                       u"Öncelikle bir gönderici hesabı seçmelisiniz..!"_s);
        return;
    }
    if (m_attachmentPath.isEmpty()) {
        prompt.message(UserPrompt::Icon::Warning,
                       u"Gönderilecek fatura seçilmedi. Önce Kayıtlı Faturalar listesinden bir "
                       u"dosya seçiniz."_s);
        return;
    }

    mail::ProformaMail message;
    message.from = m_text13->text();
    message.to = m_text14->text();
    message.cc = m_text15->text();
    message.subject = m_text16->text();
    message.body = m_text17->toPlainText();
    message.attachmentPath = m_attachmentPath;
    message.moreAttachments = m_moreAttachments;

    auto result = std::make_shared<Result<void>>();
    auto abort = std::make_shared<std::atomic_bool>(false);
    m_abort = abort;
    QThread* worker = nullptr;
    if (viaYandex) {
        m_senderId = m_settings.yandexUser;
        m_senderPw = m_settings.yandexPass;
        const mail::SmtpSender sender;
        const mail::SmtpAccount account{m_senderId, m_senderPw};
        worker = QThread::create([sender, account, message, result, abort] {
            *result = sender.send(message, account, abort.get());
        });
    } else {
        // The mail system shows the attachment under the name in Text18.
        if (m_moreAttachments.isEmpty())
            message.attachmentName = m_text18->text().trimmed();
        const mail::SendmailSender sender;
        worker = QThread::create(
            [sender, message, result, abort] { *result = sender.send(message, abort.get()); });
    }
    m_worker = worker;
    connect(worker, &QThread::finished, this, [this, worker, result, viaYandex] {
        m_worker = nullptr;
        worker->deleteLater();
        setSending(false);
        finishSending(*result, viaYandex);
    });
    setSending(true);
    worker->start();
}

void MailPanel::setSending(bool sending) {
    m_command14->setEnabled(!sending);
    m_command16->setEnabled(!sending);
    if (sending)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void MailPanel::finishSending(const Result<void>& result, bool viaYandex) {
    MessageBoxPrompt prompt(this);
    if (!result) {
        prompt.message(UserPrompt::Icon::Warning, result.message());
        emit sendFinished(false);
        return;
    }
    prompt.message(UserPrompt::Icon::Information, u"Mail gönderildi"_s);
    setVisible(false);
    if (viaYandex && m_companyBox)
        m_companyBox->setEnabled(true);
    cancel();
    emit sendFinished(true);
}

} // namespace tavlix
