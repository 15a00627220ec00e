// The e-Archive portal stand-in (tests/sites/portal) on a SiteServer, with the portal's login:
// POST /intragiris with "userid" and "password"; right credentials set a session cookie and lead
// to the start page, wrong ones back to /intragiris.html. Every other page needs a live session.
// Further handlers (document list, downloads …) are added through server().http() before start().
#pragma once

#include "support/SiteServer.h"

#include <QStringList>

#include <atomic>
#include <map>
#include <mutex>

namespace tavlix::test {

class PortalSite {
public:
    PortalSite(const QString& user = QStringLiteral("33333333"),
               const QString& password = QStringLiteral("Şifre-123"));
    // Stops the server first: a handler still answering (a held-back login) uses the members.
    ~PortalSite();

    SiteServer& server() { return m_server; }
    bool start(int port = 0) { return m_server.start(port); }
    // The portal base address (TAVLIX_PORTAL_URL).
    QString url() const { return m_server.url(); }

    // Login attempts so far, accepted or not.
    int loginAttempts() const { return m_attempts; }
    int acceptedLogins() const { return m_accepted; }
    // Paths of every request served, in order.
    QStringList requestedPaths() const;
    // Sessions the portal ended ("oturumKayitSiniri").
    int endedSessions() const { return m_ended; }

private:
    SiteServer m_server;
    std::string m_user;
    std::string m_password;
    std::atomic<int> m_attempts = 0;
    std::atomic<int> m_accepted = 0;
    std::atomic<int> m_ended = 0;
    mutable std::mutex m_mutex;
    QStringList m_paths;
    std::map<int, int> m_saves; // live session → saves asked for in it
    int m_nextSession = 1;
};

} // namespace tavlix::test
