// A local stand-in web site for the portal tests: cpp-httplib on 127.0.0.1 on a free port, in a
// background thread, serving one folder of tests/sites/. Tests add their own handlers before
// start() and flip switches at any time; pages read the switches from /switches.js
// (window.siteSwitches) or /switches.json. The server stops with the object.
#pragma once

#include <QJsonObject>
#include <QString>

#include <memory>
#include <mutex>
#include <thread>

namespace httplib {
class Server;
}

namespace tavlix::test {

class SiteServer {
public:
    // `site` is a folder under tests/sites/ ("portal", "driver" …).
    explicit SiteServer(const QString& site);
    ~SiteServer();
    SiteServer(const SiteServer&) = delete;
    SiteServer& operator=(const SiteServer&) = delete;

    // Handlers, guards and mount points go here before start().
    httplib::Server& http() { return *m_server; }

    // Binds a free loopback port (or `port` when given) and serves in the background; false when
    // that failed.
    bool start(int port = 0);
    void stop();
    int port() const { return m_port; }
    // http://127.0.0.1:<port> followed by `path`.
    QString url(const QString& path = QString()) const;
    // The folder served.
    QString root() const { return m_root; }

    void setSwitch(const QString& name, const QJsonValue& value);
    QJsonValue switchValue(const QString& name) const;
    QJsonObject switches() const;

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    QString m_root;
    int m_port = 0;
    mutable std::mutex m_mutex;
    QJsonObject m_switches;
};

// The folder of a stand-in site: <tests>/sites/<site>.
QString siteFolder(const QString& site);

} // namespace tavlix::test
