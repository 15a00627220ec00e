#include "support/PortalSite.h"

#include <httplib.h>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace tavlix::test {

namespace {
constexpr const char* kCookie = "portal_oturum=acik";

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
        res.set_header("Set-Cookie", std::string(kCookie) + "; Path=/");
        res.set_redirect("/anasayfa.html");
    });
    http.set_logger([this](const httplib::Request& req, const httplib::Response&) {
        std::lock_guard lock(m_mutex);
        m_paths.append(QString::fromStdString(req.path));
    });
    // Pages other than the login page need a session.
    http.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!isPage(req.path) || req.path == "/intragiris.html")
            return httplib::Server::HandlerResponse::Unhandled;
        if (req.get_header_value("Cookie").find(kCookie) != std::string::npos)
            return httplib::Server::HandlerResponse::Unhandled;
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
