// The stand-in of the Interactive Tax Office (tests/sites/ivd) with its server side: it draws a
// new captcha code for every login page, checks logins, and serves the invoice fixture (or rows
// a test puts in its place). Tests read the current code as the user reads the picture.
#pragma once

#include "support/SiteServer.h"

#include <QJsonArray>
#include <QString>

#include <mutex>

namespace tavlix::test {

class IvdSite {
public:
    static inline const QString kUser = QStringLiteral("1234567890");
    static inline const QString kPassword = QStringLiteral("Gizli.Sifre1");

    IvdSite();
    // Stops the server first: a handler still answering uses the members.
    ~IvdSite();
    bool start() { return m_server.start(); }
    QString url() const { return m_server.url(QStringLiteral("/index.html")); }
    SiteServer& server() { return m_server; }

    // The code of the captcha picture shown last; empty before the first login page.
    QString captcha() const;
    int captchasDrawn() const;
    int loginAttempts() const;
    // Rows served instead of the fixture file.
    void setInvoices(const QJsonArray& rows);
    // The fixture's rows, as the site serves them.
    static QJsonArray fixtureInvoices();

private:
    SiteServer m_server;
    mutable std::mutex m_mutex;
    QString m_captcha;
    int m_captchas = 0;
    int m_logins = 0;
    QJsonArray m_invoices;
};

} // namespace tavlix::test
