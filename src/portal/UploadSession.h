// The browser session of an upload: the download folder set, a visible browser placed beside the
// program, the login and the walk to "Fatura Oluştur (5.000/30.000 TL)". The single upload opens
// one per invoice, a set one for all its invoices. Ending it ends the browser and its driver.
#pragma once

#include "portal/PortalLogin.h"
#include "store/CompanySettings.h"

#include <functional>
#include <memory>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::portal {

class UploadSession {
public:
    // `stopRequested` ends the driver's waits and searches at once (the user's "İptal").
    UploadSession(UserPrompt& prompt, const SessionFactory& makeSession,
                  std::function<bool()> stopRequested);
    ~UploadSession(); // the browser and the driver end

    UploadSession(const UploadSession&) = delete;
    UploadSession& operator=(const UploadSession&) = delete;

    // Starts the browser downloading into `tempFolder` and logs in with the company's portal
    // user; the login's error names what failed before the menu walk.
    PortalLoginResult open(const QString& tempFolder, const QString& portalBase,
                           const CompanySettings& settings);
    // The portal showed its login page again: the same browser logs in once more.
    PortalLoginResult logInAgain();
    // The last steps of the download, once for the session: "gen__1008", the window closed,
    // the browser ended.
    void close();
    void quit();

    BrowserDriver& driver() { return *m_driver; }

private:
    UserPrompt& m_prompt;
    std::unique_ptr<BrowserDriver> m_driver;
    PortalLoginInput m_login;
};

} // namespace tavlix::portal
