// The invoice side of the stand-in portal's server: drafts saved by the invoice form, the list
// of issued documents, and "İndir", which sends <ETTN>.zip holding <ETTN>.html and <ETTN>.xml.
// Tests read what the portal received from drafts(), field by field; GET /api/kayit shows the
// same as JSON.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <mutex>

namespace tavlix::test {

class SiteServer;

class PortalDrafts {
public:
    // Adds the routes to the server (before it starts). Switches the routes read:
    // "indirmeYok" — "İndir" sends nothing; "kayitReddi" — every save refused with this text
    // (with "kayitReddiVkn" only the saves of that buyer number);
    // "kayitListedeYok" — drafts saved meanwhile never show in the document list. A draft
    // without an ETTN gets one, named in the answer.
    explicit PortalDrafts(SiteServer& server);

    // Every draft in the order first saved, the last save of each; "belgeNo" added.
    QJsonArray drafts() const;
    QJsonObject newest() const;
    int downloads() const;
    // What the user does in the portal afterwards: signs a draft ("Onaylandı") or deletes it
    // ("Silinmiş"); any other text is shown as it is. False when no draft has that ETTN.
    bool setState(const QString& ettn, const QString& state);
    void clear();

    // The package of a draft, as "İndir" sends it.
    static QByteArray package(const QJsonObject& draft);

private:
    SiteServer& m_server;
    mutable std::mutex m_mutex;
    QJsonArray m_drafts;
    int m_next = 1;
    int m_downloads = 0;
};

} // namespace tavlix::test
