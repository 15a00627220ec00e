#include "portal/PortalLogin.h"

#include "browser/ActionChain.h"
#include "platform/ProgramFolder.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <tuple>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

using browser::ActionChain;

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

// Both fields in one action chain; after a chain that failed, a field that does not hold its
// text yet is typed on its own. The page only answers whether each field holds it.
bool typeCredentials(BrowserDriver& driver, const Element& userField, const QString& user,
                     const Element& passwordField, const QString& password) {
    ActionChain chain;
    chain.click(userField);
    chain.type(user);
    chain.click(passwordField);
    chain.type(password);
    if (driver.PerformActions(chain))
        return true;
    const QString texts =
        QString::fromUtf8(QJsonDocument(QJsonArray{user, password}).toJson(QJsonDocument::Compact));
    const auto holds = driver.RunScript(
        u"var t = %1; return [arguments[0].value === t[0], arguments[1].value === t[1]];"_s.arg(
            texts),
        {userField, passwordField});
    const QVariantList held = holds.ok() ? holds->toList() : QVariantList();
    for (const auto& [index, field, text] :
         {std::tuple{0, userField, user}, std::tuple{1, passwordField, password}}) {
        if (held.value(index).toBool())
            continue;
        if (!driver.RunScript(u"arguments[0].value = ''; return true;"_s, {field}) ||
            !driver.TypeText(field, text))
            return false;
    }
    return true;
}

} // namespace

Result<void> openAndSubmitLogin(BrowserDriver& driver, const QString& portalUrl,
                                const QString& user, const QString& password) {
    if (driver.stopRequested())
        return stopped();
    // A session that ended on the portal logs in again in the browser it has.
    if (!driver.started())
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
    if (!typeCredentials(driver, *userField, user, *passwordField, password) ||
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
