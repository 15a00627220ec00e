// Login on the e-Archive portal and the walk through its menu to one page (PortalLogin), the
// session factory every portal operation takes, and the portal's addresses.
#pragma once

#include "platform/Result.h"
#include "portal/PortalBrowser.h"

#include <functional>
#include <memory>

namespace tavlix::portal {

// Makes the browser session of one operation; tests pass their own settings through it.
using SessionFactory = std::function<std::unique_ptr<BrowserDriver>()>;
std::unique_ptr<BrowserDriver> makeSession();

// The portal base: TAVLIX_PORTAL_URL, else the real e-Archive portal.
QString portalBaseUrl();
// <base>/intragiris.html
QString portalLoginUrl(const QString& base);

// The menu captions of the portal.
inline const QString kMenuDocuments = QStringLiteral("Belge İşlemleri");
inline const QString kMenuCreateInvoice = QStringLiteral("Fatura Oluştur (5.000/30.000 TL)");
inline const QString kMenuIssuedDocuments = QStringLiteral("Düzenlenen Belgeler (5.000/30.000 TL)");
inline const QString kMenuCancellations = QStringLiteral("İptal/İtiraz Talepleri");

// Starts the browser (unless it runs already), opens the login page and submits the user code and
// password. A failure names the step in Turkish; the password never appears in it.
Result<void> openAndSubmitLogin(BrowserDriver& driver, const QString& portalUrl,
                                const QString& user, const QString& password);

struct PortalLoginInput {
    QString portalUrl;
    QString user;
    QString password;
    QString targetCaption;
    // The shortcut buttons wait up to 5 s for the start page and click its select first; the
    // upload goes straight to the select.
    bool shortcut = false;
};

struct PortalLoginResult {
    // A failure before the menu walk: browser, login page, login form or start page.
    Result<void> login;
    // The target link was found and clicked. Steps of the menu walk that fail are skipped.
    bool targetClicked = false;
};

// Logs in with a session that has not been started yet (its preferences and arguments already
// set) and walks the menu to the target caption.
PortalLoginResult PortalLogin(BrowserDriver& driver, const PortalLoginInput& input);

} // namespace tavlix::portal
