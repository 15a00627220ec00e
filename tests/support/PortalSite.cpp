#include "support/PortalSite.h"

#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

using namespace Qt::StringLiterals;

namespace tavlix::test {

namespace {
constexpr const char* kCookie = "portal_oturum=";

// The session a request carries: the number after "portal_oturum=", -1 without one.
int sessionOf(const httplib::Request& req) {
    const std::string cookies = req.get_header_value("Cookie");
    const auto at = cookies.find(kCookie);
    if (at == std::string::npos)
        return -1;
    const std::string value = cookies.substr(at + std::strlen(kCookie));
    return std::atoi(value.c_str());
}

bool isPage(const std::string& path) {
    return path == "/" || (path.size() > 5 && path.compare(path.size() - 5, 5, ".html") == 0);
}
} // namespace

PortalSite::PortalSite(const QString& user, const QString& password)
    : m_server(u"portal"_s)
    , m_user(user.toStdString())
    , m_password(password.toStdString()) {
    httplib::Server& http = m_server.http();
    http.Post("/intragiris", [this](const httplib::Request& req, httplib::Response& res) {
        ++m_attempts;
        // A busy portal: the switch "loginDelayMs" holds the answer back.
        if (const int delay = m_server.switchValue(u"loginDelayMs"_s).toInt(); delay > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        const bool accepted = req.get_param_value("userid") == m_user &&
                              req.get_param_value("password") == m_password;
        if (!accepted) {
            res.set_redirect("/intragiris.html?hata=1");
            return;
        }
        ++m_accepted;
        int session = 0;
        {
            std::lock_guard lock(m_mutex);
            session = m_nextSession++;
            m_saves[session] = 0;
        }
        res.set_header("Set-Cookie", std::string(kCookie) + std::to_string(session) + "; Path=/");
        res.set_redirect("/anasayfa.html");
    });
    http.set_logger([this](const httplib::Request& req, const httplib::Response&) {
        std::lock_guard lock(m_mutex);
        m_paths.append(QString::fromStdString(req.path));
    });
    // Pages other than the login page need a live session. The switch "oturumKayitSiniri" ends
    // a session once that many saves were asked for in it: its next page is the login page.
    http.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        const int session = sessionOf(req);
        std::lock_guard lock(m_mutex);
        const auto live = m_saves.find(session);
        if (req.path == "/api/taslak" && live != m_saves.end())
            ++live->second;
        if (!isPage(req.path) || req.path == "/intragiris.html")
            return httplib::Server::HandlerResponse::Unhandled;
        const int limit = m_server.switchValue(u"oturumKayitSiniri"_s).toInt();
        if (live != m_saves.end() && limit > 0 && live->second >= limit) {
            m_saves.erase(live);
            ++m_ended;
        } else if (live != m_saves.end()) {
            return httplib::Server::HandlerResponse::Unhandled;
        }
        res.set_redirect("/intragiris.html");
        return httplib::Server::HandlerResponse::Handled;
    });
}

PortalSite::~PortalSite() {
    m_server.stop();
}

QStringList PortalSite::requestedPaths() const {
    std::lock_guard lock(m_mutex);
    return m_paths;
}

} // namespace tavlix::test
