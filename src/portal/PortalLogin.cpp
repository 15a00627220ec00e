#include "portal/PortalLogin.h"

#include "platform/ProgramFolder.h"

using namespace Qt::StringLiterals;

namespace tavlix::portal {

std::unique_ptr<BrowserDriver> makeSession() {
    return std::make_unique<BrowserDriver>();
}

QString portalBaseUrl() {
    return serviceUrl("TAVLIX_PORTAL_URL", u"https://earsivportal.efatura.gov.tr"_s);
}

QString portalLoginUrl(const QString& base) {
    QString url = base;
    while (url.endsWith(u'/'))
        url.chop(1);
    return url + u"/intragiris.html"_s;
}

namespace {

Error stopped() {
    return makeError(ErrorCode::InvalidInput, u"e-Arşiv portalına giriş iptal edildi."_s);
}

} // namespace

Result<void> openAndSubmitLogin(BrowserDriver& driver, const QString& portalUrl,
                                const QString& user, const QString& password) {
    if (driver.stopRequested())
        return stopped();
    if (const Result<void> started = driver.StartBrowser(u"Chrome"_s); !started)
        return makeError(started.error().code,
                         u"Tarayıcı başlatılamadı. %1"_s.arg(started.message()));
    if (!driver.OpenPage(portalLoginUrl(portalUrl)))
        return makeError(ErrorCode::Network, u"e-Arşiv portalının giriş sayfası açılamadı."_s);
    if (driver.stopRequested())
        return stopped();
    const Result<Element> userField = driver.FindById(u"userid"_s);
    const Result<Element> passwordField =
        userField ? driver.FindById(u"password"_s) : Result<Element>(userField.error());
    const Result<Element> submit =
        passwordField ? driver.FindByName(u"action"_s) : Result<Element>(passwordField.error());
    if (!submit)
        return makeError(ErrorCode::NotFound,
                         u"e-Arşiv portalının giriş sayfasında giriş alanları bulunamadı."_s);
    if (!driver.TypeText(*userField, user) || !driver.TypeText(*passwordField, password) ||
        !driver.Click(*submit))
        return makeError(ErrorCode::Network, u"e-Arşiv portalına giriş bilgileri yazılamadı."_s);
    return {};
}

PortalLoginResult PortalLogin(BrowserDriver& driver, const PortalLoginInput& input) {
    PortalLoginResult result;
    result.login = openAndSubmitLogin(driver, input.portalUrl, input.user, input.password);
    if (!result.login)
        return result;
    driver.Wait(400);
    if (driver.stopRequested()) {
        result.login = stopped();
        return result;
    }

    const QString notLoggedIn = u"e-Arşiv portalına giriş yapılamadı: ana sayfa açılmadı. "
                                u"Kullanıcı kodunu ve şifreyi kontrol ediniz."_s;
    if (input.shortcut) {
        if (!driver.IsPresent(u"gen__1006"_s, 5000)) {
            result.login = makeError(ErrorCode::NotFound, notLoggedIn);
            return result;
        }
        if (const Result<Element> select = driver.FindById(u"gen__1006"_s))
            driver.Click(*select);
    }
    const Result<Element> select = driver.FindById(u"gen__1006"_s);
    if (driver.stopRequested()) {
        result.login = stopped();
        return result;
    }
    if (!select) {
        result.login = makeError(ErrorCode::NotFound, notLoggedIn);
        return result;
    }
    if (!driver.SelectByValue(*select, u"MAINTREEMENU"_s)) {
        result.login = makeError(ErrorCode::NotFound,
                                 u"e-Arşiv portalının ana sayfasında uygulama seçilemedi."_s);
        return result;
    }

    // From here a failing step is skipped and the next one runs; a stop skips them all.
    if (const Result<Element> choice = driver.FindElementByValue(u"MAINTREEMENU"_s))
        driver.Click(*choice);
    driver.Wait(40);
    if (const Result<Element> documents = driver.FindByLinkText(kMenuDocuments))
        driver.Click(*documents);
    driver.Wait(30);
    if (driver.stopRequested())
        return result;
    if (const Result<Element> target = driver.FindByLinkText(input.targetCaption))
        result.targetClicked = driver.Click(*target).ok();
    driver.Wait(25);
    return result;
}

} // namespace tavlix::portal
