#include "support/SiteServer.h"

#include <QJsonDocument>

#include <httplib.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {

QString siteFolder(const QString& site) {
    return QStringLiteral(TAVLIX_TEST_SOURCE_DIR) + u"/sites/"_s + site;
}

SiteServer::SiteServer(const QString& site)
    : m_server(std::make_unique<httplib::Server>())
    , m_root(siteFolder(site)) {
    m_server->set_mount_point("/", m_root.toStdString());
    m_server->set_file_extension_and_mimetype_mapping("html", "text/html; charset=utf-8");
    m_server->set_file_extension_and_mimetype_mapping("js", "text/javascript; charset=utf-8");
    m_server->set_file_extension_and_mimetype_mapping("json", "application/json; charset=utf-8");
    m_server->Get("/switches.js", [this](const httplib::Request&, httplib::Response& res) {
        const QByteArray json = QJsonDocument(switches()).toJson(QJsonDocument::Compact);
        res.set_header("Cache-Control", "no-store");
        res.set_content(("window.siteSwitches = " + json + ";\n").toStdString(),
                        "text/javascript; charset=utf-8");
    });
    m_server->Get("/switches.json", [this](const httplib::Request&, httplib::Response& res) {
        res.set_header("Cache-Control", "no-store");
        res.set_content(QJsonDocument(switches()).toJson(QJsonDocument::Compact).toStdString(),
                        "application/json; charset=utf-8");
    });
}

SiteServer::~SiteServer() {
    stop();
}

bool SiteServer::start(int port) {
    if (m_thread.joinable())
        return true;
    m_port = port > 0 ? (m_server->bind_to_port("127.0.0.1", port) ? port : 0)
                      : m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        return false;
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    while (!m_server->is_running())
        std::this_thread::yield();
    return true;
}

void SiteServer::stop() {
    if (m_thread.joinable()) {
        m_server->stop();
        m_thread.join();
    }
}

QString SiteServer::url(const QString& path) const {
    return u"http://127.0.0.1:%1"_s.arg(m_port) + path;
}

void SiteServer::setSwitch(const QString& name, const QJsonValue& value) {
    std::lock_guard lock(m_mutex);
    m_switches.insert(name, value);
}

QJsonValue SiteServer::switchValue(const QString& name) const {
    std::lock_guard lock(m_mutex);
    return m_switches.value(name);
}

QJsonObject SiteServer::switches() const {
    std::lock_guard lock(m_mutex);
    return m_switches;
}

} // namespace tavlix::test
