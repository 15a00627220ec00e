// A real SMTP server with implicit TLS on 127.0.0.1 for one test: a certificate made for it with
// openssl, Debian's aiosmtpd serving, every accepted message kept as a file. It ends with the
// object.
#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tavlix::test {

class SmtpsServer {
public:
    SmtpsServer(const QString& user, const QString& password);
    ~SmtpsServer();
    SmtpsServer(const SmtpsServer&) = delete;
    SmtpsServer& operator=(const SmtpsServer&) = delete;

    bool ok() const { return m_port > 0; }
    QString url() const;
    QString caFile() const;
    // Messages accepted so far.
    int received() const;
    // Message n (from 1): its envelope {mail_from, rcpt_tos, login} and its raw file.
    QJsonObject envelope(int n) const;
    QString messageFile(int n) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

// A mail file as Python's email package reads it: {From, To, Cc, Subject, body,
// attachments: [{filename, type, data (base64)}]}.
QJsonObject parseMail(const QString& path);

} // namespace tavlix::test
