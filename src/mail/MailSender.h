// The two ways a proforma mail leaves the program: SMTP with implicit TLS and basic
// authentication ("Yandex"), or the machine's own mail system through `sendmail -t -i`
// ("Outlook"). Both block until the mail is handed on, so callers run them off the UI thread.
#pragma once

#include "mail/ProformaMail.h"
#include "platform/Result.h"

#include <QString>

#include <atomic>

namespace tavlix::mail {

// First lines of the error box; the second line is the server's or the transport's own text.
inline constexpr char16_t kLoginFailed[] = u"Kullanıcı adı veya şifre hatalı ! ";
inline constexpr char16_t kNoConnection[] = u" İnternet bağlantı hatası ! ";
inline constexpr char16_t kSendFailed[] = u"Mail gönderimi sırasında bir hata oluştu !";

struct SmtpAccount {
    QString user;
    QString password; // sent to the server only, never shown or logged
};

class SmtpSender {
public:
    // TAVLIX_SMTP_URL (default the Yandex server on port 465) and TAVLIX_SMTP_CA, an extra CA
    // file trusted besides the system's.
    SmtpSender();
    SmtpSender(QString url, QString extraCaFile);

    // On failure the error's message is the whole box text: first line + CR LF + detail. Once
    // `abort` is set the transfer ends within a second.
    Result<void> send(const ProformaMail& mail, const SmtpAccount& account,
                      const std::atomic_bool* abort = nullptr) const;

    const QString& url() const { return m_url; }

private:
    QString m_url;
    QString m_caFile;
};

class SendmailSender {
public:
    // TAVLIX_SENDMAIL, default /usr/sbin/sendmail.
    SendmailSender();
    explicit SendmailSender(QString program);

    // The message without a From header (the mail system's own account sends it) on the
    // program's standard input with "-t -i". Once `abort` is set the program is ended.
    Result<void> send(const ProformaMail& mail, const std::atomic_bool* abort = nullptr) const;

private:
    QString m_program;
};

} // namespace tavlix::mail
