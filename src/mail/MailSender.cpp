#include "mail/MailSender.h"

#include "platform/ProgramFolder.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

using namespace Qt::StringLiterals;

namespace tavlix::mail {

namespace {

struct Upload {
    QByteArray data;
    qsizetype offset = 0;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    const qsizetype n = std::min<qsizetype>(static_cast<qsizetype>(size * count),
                                            upload->data.size() - upload->offset);
    std::memcpy(buffer, upload->data.constData() + upload->offset, static_cast<size_t>(n));
    upload->offset += n;
    return static_cast<size_t>(n);
}

// Keeps only what the server said; what we send (the credentials among it) is never looked at.
int serverReplies(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    if (type == CURLINFO_HEADER_IN) {
        const QString line = QString::fromUtf8(data, static_cast<qsizetype>(size)).trimmed();
        if (!line.isEmpty())
            *static_cast<QString*>(user) = line;
    }
    return 0;
}

bool isConnectionFailure(CURLcode code) {
    switch (code) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return true;
    default:
        return false;
    }
}

// libcurl's progress hook, called at least once a second: a non-zero answer ends the transfer.
int abortRequested(void* abort, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return abort && static_cast<const std::atomic_bool*>(abort)->load() ? 1 : 0;
}

Error mailError(ErrorCode code, const char16_t* firstLine, const QString& detail) {
    return makeError(code, QString::fromUtf16(firstLine) + u"\r\n"_s + detail);
}

struct CurlHandle {
    CURL* curl = curl_easy_init();
    curl_slist* recipients = nullptr;
    ~CurlHandle() {
        curl_slist_free_all(recipients);
        if (curl)
            curl_easy_cleanup(curl);
    }
};

} // namespace

SmtpSender::SmtpSender()
    : SmtpSender(serviceUrl("TAVLIX_SMTP_URL", u"smtps://smtp.yandex.com:465"_s),
                 qEnvironmentVariable("TAVLIX_SMTP_CA")) {}

SmtpSender::SmtpSender(QString url, QString extraCaFile)
    : m_url(std::move(url))
    , m_caFile(std::move(extraCaFile)) {
    // Not thread-safe itself: done here, on the thread that makes the sender.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

Result<void> SmtpSender::send(const ProformaMail& mail, const SmtpAccount& account,
                              const std::atomic_bool* abort) const {
    auto message = mimeMessage(mail, true);
    if (!message)
        return mailError(message.error().code, kSendFailed, message.message());

    CurlHandle h;
    if (!h.curl)
        return mailError(ErrorCode::Io, kSendFailed, u"libcurl başlatılamadı."_s);
    for (const QString& address : addressList(mail.to) + addressList(mail.cc))
        h.recipients = curl_slist_append(h.recipients, ('<' + address.toUtf8() + '>').constData());

    Upload upload{std::move(message.value())};
    QString lastReply;
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray url = m_url.toUtf8();
    const QByteArray from = '<' + addressList(mail.from).value(0).toUtf8() + '>';
    const QByteArray user = account.user.toUtf8();
    const QByteArray password = account.password.toUtf8();
    const QByteArray caFile = m_caFile.toLocal8Bit();

    CURL* c = h.curl;
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtps");
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1024L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 15L);
    curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    // Basic authentication only, as the account is set up for.
    curl_easy_setopt(c, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN;AUTH=PLAIN");
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, h.recipients);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, 300L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, abortRequested);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, const_cast<std::atomic_bool*>(abort));
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    // The debug hook is how libcurl hands over the server's replies; nothing is printed.
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, serverReplies);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &lastReply);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    if (!caFile.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO, caFile.constData());

    const CURLcode code = curl_easy_perform(c);
    if (code == CURLE_OK)
        return {};

    const QString transportText =
        errorText[0] ? QString::fromUtf8(errorText) : QString::fromUtf8(curl_easy_strerror(code));
    const bool serverRefused = lastReply.startsWith(u'4') || lastReply.startsWith(u'5');
    const QString detail = serverRefused ? lastReply : transportText;
    if (code == CURLE_LOGIN_DENIED)
        return mailError(ErrorCode::InvalidInput, kLoginFailed, detail);
    if (lastReply.isEmpty() && isConnectionFailure(code))
        return mailError(ErrorCode::Network, kNoConnection, detail);
    return mailError(ErrorCode::Network, kSendFailed, detail);
}

SendmailSender::SendmailSender()
    : SendmailSender(qEnvironmentVariable("TAVLIX_SENDMAIL", u"/usr/sbin/sendmail"_s)) {}

SendmailSender::SendmailSender(QString program)
    : m_program(std::move(program)) {}

Result<void> SendmailSender::send(const ProformaMail& mail, const std::atomic_bool* abort) const {
    const auto message = mimeMessage(mail, false);
    if (!message)
        return mailError(message.error().code, kSendFailed, message.message());

    QProcess process;
    process.start(m_program, {u"-t"_s, u"-i"_s});
    if (!process.waitForStarted(10000))
        return mailError(ErrorCode::NotFound, kSendFailed,
                         u"Posta programı çalıştırılamadı: "_s + m_program);
    process.write(message.value());
    process.closeWriteChannel();
    QDeadlineTimer deadline(120000);
    while (!process.waitForFinished(100) && process.state() != QProcess::NotRunning &&
           !deadline.hasExpired() && !(abort && abort->load())) {
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return mailError(ErrorCode::Io, kSendFailed,
                         u"Posta programı yanıt vermedi: "_s + m_program);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString text = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return mailError(ErrorCode::Io, kSendFailed,
                         text.isEmpty() ? u"Posta programı hata verdi: "_s + m_program : text);
    }
    return {};
}

} // namespace tavlix::mail
