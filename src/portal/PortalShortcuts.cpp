#include "portal/PortalShortcuts.h"

#include "platform/Connectivity.h"
#include "platform/UserPrompt.h"

using namespace Qt::StringLiterals;

namespace tavlix::portal {

ShortcutOutcome runPortalShortcut(Shortcut shortcut, const QString& portalUrl,
                                  const CompanySettings& settings, UserPrompt& prompt,
                                  const SessionFactory& makeSession) {
    if (!isOnline()) {
        prompt.message(UserPrompt::Icon::Warning, u"İnternete bağlı değilsiniz !"_s);
        return ShortcutOutcome::Offline;
    }
    if (settings.portalUser.isEmpty() || settings.portalPassword.isEmpty())
        return ShortcutOutcome::NoCredentials;

    const bool issued = shortcut == Shortcut::IssuedDocuments;
    const QString target = issued ? kMenuIssuedDocuments : kMenuCancellations;
    const QString page = issued ? u"Düzenlenen Belgeler"_s : u"İptal/İtiraz Talepleri"_s;

    std::unique_ptr<BrowserDriver> session = makeSession();
    session->setKeepAlive([&prompt] { prompt.keepAlive(); });
    session->setStopCheck([&prompt] { return prompt.cancelled(); });
    // The user goes on working in the portal page: the window outlives the driver.
    session->SetDetach(true);
    prompt.progress(u"e-Arşiv portalına giriş yapılıyor..."_s);
    session->SetWindowRect(prompt.browserWindowArea());
    const PortalLoginResult login = PortalLogin(
        *session, {portalUrl, settings.portalUser, settings.portalPassword, target, true});
    if (prompt.cancelled()) {
        session->Quit();
        return ShortcutOutcome::Cancelled;
    }
    if (!login.login || !login.targetClicked) {
        // Nothing for the user to see in that window: close it with the session.
        session->Quit();
        session.reset();
        if (!login.login) {
            prompt.message(UserPrompt::Icon::Warning, login.login.message());
            return ShortcutOutcome::LoginFailed;
        }
        prompt.message(UserPrompt::Icon::Warning, u"%1 sayfası açılamadı."_s.arg(page));
        return ShortcutOutcome::PageNotOpened;
    }
    session.reset();
    prompt.message(UserPrompt::Icon::Information, u"%1 sayfasına giriş yapıldı.."_s.arg(page));
    return ShortcutOutcome::PageOpened;
}

} // namespace tavlix::portal
