// The proforma mail panel of the main window: sender choice ("Yandex" Option1, "Outlook"
// Option2), the prefilled addresses, subject and message (Text13 … Text18), "Gönder" Command14
// and "Vazgeç" Command16. Sending runs on a worker thread; the panel's buttons wait meanwhile.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "mail/IssuedInvoiceMail.h"
#include "platform/Result.h"

#include <QGroupBox>
#include <QList>
#include <QPointer>

#include <atomic>
#include <memory>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QThread;

namespace tavlix {

class MailPanel : public QGroupBox {
    Q_OBJECT
public:
    // `companyBox` (Combo4) is disabled while the panel is open and enabled again by a mail sent
    // through Yandex; `hiddenWhileOpen` are the main window's buttons the panel stands in for.
    MailPanel(QWidget* companyBox, QList<QWidget*> hiddenWhileOpen, QWidget* parent = nullptr);
    ~MailPanel() override;

    // "e-Mail Gönder": prefills the panel from the invoice and shows it. `attachmentPath` is the
    // selected saved invoice (empty when none is selected).
    void open(const InvoiceRecord& invoice, const QString& attachmentPath);
    // "e-Mail Gönder" on an issued invoice: prefilled for its buyer, its files attached.
    void openIssued(const InvoiceRecord& invoice, const mail::IssuedInvoiceMail& mail);
    // "Vazgeç": hides the panel and shows the buttons it hid; emits closed().
    void cancel();
    // "Gönder".
    void send();

    bool isSending() const { return m_worker != nullptr; }

signals:
    // The panel went away (Vazgeç or a mail sent): the saved-file selection is made again.
    void closed();
    // A send finished, sent or not.
    void sendFinished(bool sent);

private:
    void finishSending(const Result<void>& result, bool viaYandex);
    void setSending(bool sending);
    void fill(const InvoiceRecord& invoice, const QString& to, const QString& subject,
              const QString& body, const QStringList& attachments);

    QPointer<QWidget> m_companyBox;
    QList<QPointer<QWidget>> m_hiddenWhileOpen;
    QList<QPointer<QWidget>> m_hidden; // those the last open() actually hid

    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QLineEdit* m_text13 = nullptr;
    QLineEdit* m_text14 = nullptr;
    QLineEdit* m_text15 = nullptr;
    QLineEdit* m_text16 = nullptr;
    QPlainTextEdit* m_text17 = nullptr;
    QLineEdit* m_text18 = nullptr;
    QPushButton* m_command14 = nullptr;
    QPushButton* m_command16 = nullptr;

    CompanySettings m_settings;
    QString m_attachmentPath;
    QStringList m_moreAttachments;
    QString m_senderId; // the account of the last Yandex sending
    QString m_senderPw;
    QThread* m_worker = nullptr;
    std::shared_ptr<std::atomic_bool> m_abort; // of the running transfer
};

} // namespace tavlix
