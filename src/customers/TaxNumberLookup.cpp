#include "customers/TaxNumberLookup.h"

#include "platform/UserPrompt.h"

using namespace Qt::StringLiterals;

namespace tavlix::customers {

namespace {

constexpr int kMaxRetries = 10;

// A field's current value; an empty field counts as not yet filled by the portal.
Result<QString> filledValue(browser::BrowserDriver& driver, const QString& id) {
    const Result<browser::Element> field = driver.FindById(id);
    if (!field)
        return field.error();
    Result<QString> value = driver.ReadAttribute(*field, u"value"_s);
    if (value && value->trimmed().isEmpty())
        return makeError(ErrorCode::NotFound, u"Alan boş: %1"_s.arg(id));
    return value;
}

// The reads of one branch; false when one of them failed.
bool readBuyer(browser::BrowserDriver& driver, LookupResult& result) {
    const bool organisation = result.kind == LookupResult::Kind::Organisation;
    const Result<QString> office = filledValue(driver, u"gen__1041"_s);
    if (!office)
        return false;
    result.taxOffice = *office;
    driver.Wait(1);
    if (organisation) {
        const Result<QString> title = filledValue(driver, u"gen__1034"_s);
        if (!title)
            return false;
        result.title = *title;
        return true;
    }
    const Result<QString> surname = filledValue(driver, u"gen__1036"_s);
    if (!surname)
        return false;
    result.surname = *surname;
    driver.Wait(1);
    const Result<QString> firstName = filledValue(driver, u"gen__1035"_s);
    if (!firstName)
        return false;
    result.firstName = *firstName;
    return true;
}

bool finishForm(browser::BrowserDriver& driver) {
    const Result<browser::Element> done = driver.FindById(u"gen__1008"_s);
    return done && driver.Click(*done);
}

} // namespace

LookupResult lookUpTaxNumber(const QString& number, const QString& portalUrl,
                             const CompanySettings& settings, UserPrompt& prompt,
                             const portal::SessionFactory& makeSession) {
    LookupResult result;
    if (settings.portalUser.isEmpty()) {
        result.status = u"Earşiv kullanıcı seçimi yapınız...!"_s;
        return result;
    }
    if (settings.portalPassword.isEmpty()) {
        result.status = u"Earşiv kullanıcı şifre girilmemiş!"_s;
        return result;
    }

    std::unique_ptr<browser::BrowserDriver> driver = makeSession();
    driver->setKeepAlive([&prompt] { prompt.keepAlive(); });
    driver->setStopCheck([&prompt] { return prompt.cancelled(); });
    driver->AddBrowserArgument(u"--window-position=0,-4000"_s);
    prompt.progress(u"Vergi numarası e-Arşiv portalında sorgulanıyor..."_s);
    if (const Result<void> opened = portal::openAndSubmitLogin(
            *driver, portalUrl, settings.portalUser, settings.portalPassword);
        !opened) {
        driver->Quit();
        if (!prompt.cancelled())
            prompt.message(UserPrompt::Icon::Warning, opened.message());
        return result;
    }
    driver->Wait(300);
    // "İptal" ends the lookup between two steps of the walk below.
    const auto stopped = [&] {
        if (!prompt.cancelled())
            return false;
        driver->Quit();
        return true;
    };
    if (stopped())
        return result;
    if (!driver->IsPresent(u"gen__1006"_s, 2000)) {
        prompt.message(UserPrompt::Icon::Warning, u"Kullanıcı adı veya şifreyi kontrol ediniz"_s);
        driver->Quit();
        return result;
    }

    // The walk to the invoice form; a failing step is skipped.
    if (const auto select = driver->FindById(u"gen__1006"_s))
        driver->SelectByValue(*select, u"MAINTREEMENU"_s);
    if (const auto choice = driver->FindElementByValue(u"MAINTREEMENU"_s))
        driver->Click(*choice);
    driver->Wait(40);
    if (stopped())
        return result;
    if (const auto documents = driver->FindByLinkText(portal::kMenuDocuments))
        driver->Click(*documents);
    driver->Wait(40);
    if (stopped())
        return result;
    if (const auto create = driver->FindByLinkText(portal::kMenuCreateInvoice))
        driver->Click(*create);
    driver->Wait(40);
    if (const auto field = driver->FindById(u"gen__1033"_s))
        driver->TypeText(*field, number);
    if (const auto other = driver->FindById(u"gen__1030"_s))
        driver->Click(*other);

    const qsizetype digits = number.size();
    if (digits < 10) {
        prompt.message(UserPrompt::Icon::Warning, u"Hatalı vergi/TC kimlik no..!"_s);
        finishForm(*driver);
        result.status = u"Sorgulama tamamlandı..!"_s;
        return result;
    }
    result.kind = digits == 10 ? LookupResult::Kind::Organisation : LookupResult::Kind::Person;
    driver->Wait(100);
    bool done = readBuyer(*driver, result) && finishForm(*driver);
    for (int retry = 1; !done; ++retry) {
        if (stopped())
            return LookupResult{result.kind, false, {}, {}, {}, {}, {}};
        driver->Wait(10);
        if (retry > kMaxRetries) {
            prompt.message(UserPrompt::Icon::Warning, u"Site Yoğun, daha sonra deneyiniz"_s);
            driver->CloseWindow();
            return LookupResult{result.kind, false, {}, {}, {}, {}, {}};
        }
        driver->Wait(100);
        done = readBuyer(*driver, result) && finishForm(*driver);
    }
    result.read = true;
    result.status = u"Sorgulama tamamlandı..!"_s;
    return result;
}

} // namespace tavlix::customers
