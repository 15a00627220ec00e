#include "received/IvdSite.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <httplib.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {

namespace {

void sendJson(httplib::Response& res, const QJsonValue& value) {
    res.set_header("Cache-Control", "no-store");
    const QByteArray body = value.isArray()
                                ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                                : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    res.set_content(body.toStdString(), "application/json; charset=utf-8");
}

} // namespace

IvdSite::~IvdSite() {
    m_server.stop();
}

IvdSite::IvdSite()
    : m_server(u"ivd"_s)
    , m_invoices(fixtureInvoices()) {
    httplib::Server& http = m_server.http();
    http.Get("/captcha.json", [this](const httplib::Request&, httplib::Response& res) {
        // Letters and digits that cannot be mistaken for one another.
        static const QString alphabet = u"ABCDEFGHJKLMNPRSTUVYZ23456789"_s;
        QString code;
        for (int i = 0; i < 6; ++i)
            code += alphabet.at(QRandomGenerator::global()->bounded(alphabet.size()));
        {
            std::lock_guard lock(m_mutex);
            m_captcha = code;
            ++m_captchas;
        }
        sendJson(res, QJsonObject{{u"code"_s, code}});
    });
    http.Post("/login", [this](const httplib::Request& req, httplib::Response& res) {
        const QJsonObject form =
            QJsonDocument::fromJson(QByteArray::fromStdString(req.body)).object();
        QString message;
        {
            std::lock_guard lock(m_mutex);
            ++m_logins;
            if (form[u"captcha"_s].toString() != m_captcha)
                message = u"Doğrulama hatası Lütfen doğrulama kodunu kontrol ediniz."_s;
            else if (form[u"user"_s].toString() != kUser ||
                     form[u"password"_s].toString() != kPassword)
                message = u"Kullanıcı doğrulanamadı, kullanıcı kodu veya şifre hatalı"_s;
            m_captcha.clear(); // a code is good for one attempt
        }
        sendJson(res, message.isEmpty() ? QJsonObject{{u"ok"_s, true}}
                                        : QJsonObject{{u"message"_s, message}});
    });
    http.Get("/invoices.json", [this](const httplib::Request&, httplib::Response& res) {
        std::lock_guard lock(m_mutex);
        sendJson(res, m_invoices);
    });
}

QString IvdSite::captcha() const {
    std::lock_guard lock(m_mutex);
    return m_captcha;
}

int IvdSite::captchasDrawn() const {
    std::lock_guard lock(m_mutex);
    return m_captchas;
}

int IvdSite::loginAttempts() const {
    std::lock_guard lock(m_mutex);
    return m_logins;
}

void IvdSite::setInvoices(const QJsonArray& rows) {
    std::lock_guard lock(m_mutex);
    m_invoices = rows;
}

QJsonArray IvdSite::fixtureInvoices() {
    QFile file(siteFolder(u"ivd"_s) + u"/fixture-invoices.json"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).array();
}

} // namespace tavlix::test
