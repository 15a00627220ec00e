#include "browser/BrowserDriver.h"

#include "browser/ActionChain.h"
#include "browser/DriverSession.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::browser {

namespace {

constexpr auto kElementKey = "element-6066-11e4-a52e-4f735466cecf";

QString cssString(const QString& text) {
    QString escaped = text;
    escaped.replace(u"\\"_s, u"\\\\"_s).replace(u"\""_s, u"\\\""_s);
    return u"\""_s + escaped + u"\""_s;
}

QString xpathString(const QString& text) {
    if (!text.contains(u'\''))
        return u"'"_s + text + u"'"_s;
    if (!text.contains(u'"'))
        return u"\""_s + text + u"\""_s;
    QStringList parts;
    for (const QString& piece : text.split(u'\''))
        parts << u"'"_s + piece + u"'"_s;
    return u"concat("_s + parts.join(u", \"'\", "_s) + u")"_s;
}

} // namespace

struct BrowserDriver::Impl : DriverSession {
    static QString elementPath(const Element& element) { return u"/element/"_s + element.ref; }

    static Result<Element> toElement(const QJsonValue& value) {
        const QString ref = value.toObject().value(QLatin1StringView(kElementKey)).toString();
        if (ref.isEmpty())
            return makeError(ErrorCode::BadFormat, u"Tarayıcı geçersiz bir öğe döndürdü."_s);
        return Element{ref};
    }

    // Finds by a W3C strategy, retrying until the default search time has passed.
    Result<Element> find(const QString& strategy, const QString& selector, const QString& what,
                         const Element* scope = nullptr, int searchMs = kDefaultSearchMs) {
        const QString path = scope ? elementPath(*scope) + u"/element"_s : u"/element"_s;
        const QJsonObject payload{{u"using"_s, strategy}, {u"value"_s, selector}};
        QDeadlineTimer deadline(searchMs);
        for (;;) {
            QString errorName;
            const Result<QJsonValue> value = sessionCommand("POST", path, payload, &errorName);
            if (value)
                return toElement(*value);
            if (errorName != u"no such element"_s)
                return value.error();
            if (deadline.hasExpired() || stopping())
                return makeError(ErrorCode::NotFound, u"Sayfada %1 bulunamadı."_s.arg(what));
            sleep(kPollMs);
        }
    }

    // All matches; waits up to the search time for the first one, like the find operations.
    Result<ElementList> findAll(const QString& strategy, const QString& selector,
                                const Element* scope = nullptr, int searchMs = kDefaultSearchMs) {
        const QString path = scope ? elementPath(*scope) + u"/elements"_s : u"/elements"_s;
        const QJsonObject payload{{u"using"_s, strategy}, {u"value"_s, selector}};
        QDeadlineTimer deadline(searchMs);
        for (;;) {
            const Result<QJsonValue> value = sessionCommand("POST", path, payload);
            if (!value)
                return value.error();
            const QJsonArray array = value->toArray();
            if (!array.isEmpty() || deadline.hasExpired() || stopping()) {
                ElementList list;
                for (const QJsonValue& item : array) {
                    Result<Element> element = toElement(item);
                    if (!element)
                        return element.error();
                    list.append(*element);
                }
                return list;
            }
            sleep(kPollMs);
        }
    }

    // Options belong to their select: no waiting for them.
    Result<void> chooseOption(const Element& select, const QString& xpath, const QString& what) {
        const Result<Element> option = find(u"xpath"_s, xpath, what, &select, 0);
        if (!option)
            return option.error();
        const Result<QJsonValue> r =
            sessionCommand("POST", elementPath(*option) + u"/click"_s, QJsonObject{});
        if (!r)
            return r.error();
        return {};
    }
};

BrowserDriver::BrowserDriver()
    : m_impl(std::make_unique<Impl>()) {}

BrowserDriver::~BrowserDriver() {
    m_impl->end(!m_impl->detach);
}

void BrowserDriver::setKeepAlive(std::function<void()> keepAlive) {
    m_impl->keepAlive = std::move(keepAlive);
}

void BrowserDriver::setStopCheck(std::function<bool()> stopRequested) {
    m_impl->stopRequested = std::move(stopRequested);
}

bool BrowserDriver::stopRequested() const {
    return m_impl->stopping();
}

void BrowserDriver::SetBrowserPreference(const QString& name, const QVariant& value) {
    m_impl->prefs.insert(name, value);
}

void BrowserDriver::AddBrowserArgument(const QString& argument) {
    if (!m_impl->arguments.contains(argument))
        m_impl->arguments.append(argument);
}

void BrowserDriver::SetDetach(bool detach) {
    m_impl->detach = detach;
}

void BrowserDriver::SetWindowRect(const QRect& frame) {
    m_impl->window = frame;
}

bool BrowserDriver::started() const {
    return !m_impl->session.isEmpty();
}

Result<void> BrowserDriver::StartBrowser(const QString& browserName) {
    if (browserName.compare(u"Chrome"_s, Qt::CaseInsensitive) != 0)
        return makeError(ErrorCode::Unsupported, u"Desteklenmeyen tarayıcı: %1"_s.arg(browserName));
    return m_impl->start();
}

Result<void> BrowserDriver::OpenPage(const QString& address) {
    const Result<QJsonValue> r =
        m_impl->sessionCommand("POST", u"/url"_s, QJsonObject{{u"url"_s, address}});
    if (!r)
        return makeError(r.error().code, u"Sayfa açılamadı: %1"_s.arg(address));
    return {};
}

Result<QString> BrowserDriver::CurrentUrl() {
    const Result<QJsonValue> r = m_impl->sessionCommand("GET", u"/url"_s);
    if (!r)
        return r.error();
    return r->toString();
}

Result<Element> BrowserDriver::FindById(const QString& id) {
    return m_impl->find(u"css selector"_s, u"[id="_s + cssString(id) + u"]"_s,
                        u"\"%1\" kimlikli alan"_s.arg(id));
}

Result<Element> BrowserDriver::FindByName(const QString& name) {
    return m_impl->find(u"css selector"_s, u"[name="_s + cssString(name) + u"]"_s,
                        u"\"%1\" adlı alan"_s.arg(name));
}

Result<Element> BrowserDriver::FindByLinkText(const QString& text) {
    return m_impl->find(u"link text"_s, text, u"\"%1\" bağlantısı"_s.arg(text));
}

Result<Element> BrowserDriver::FindByXPath(const QString& xpath) {
    return m_impl->find(u"xpath"_s, xpath, u"\"%1\" yolundaki öğe"_s.arg(xpath));
}

Result<Element> BrowserDriver::FindByClass(const QString& className) {
    return m_impl->find(u"css selector"_s, u"[class~="_s + cssString(className) + u"]"_s,
                        u"\"%1\" sınıflı öğe"_s.arg(className));
}

Result<ElementList> BrowserDriver::FindAllById(const QString& id) {
    return m_impl->findAll(u"css selector"_s, u"[id="_s + cssString(id) + u"]"_s);
}

Result<ElementList> BrowserDriver::FindAllByTag(const QString& tag) {
    return m_impl->findAll(u"tag name"_s, tag);
}

Result<ElementList> BrowserDriver::FindAllByTag(const Element& scope, const QString& tag) {
    return m_impl->findAll(u"tag name"_s, tag, &scope);
}

Result<ElementList> BrowserDriver::FindAllByClass(const QString& className) {
    return m_impl->findAll(u"css selector"_s, u"[class~="_s + cssString(className) + u"]"_s);
}

Result<Element> BrowserDriver::FindFirstByTagIn(const Element& scope, const QString& tag) {
    return m_impl->find(u"tag name"_s, tag, u"\"%1\" etiketli öğe"_s.arg(tag), &scope);
}

Result<Element> BrowserDriver::FindElementByValue(const QString& value) {
    return m_impl->find(u"xpath"_s, u"//*[@value="_s + xpathString(value) + u"]"_s,
                        u"\"%1\" değerli öğe"_s.arg(value));
}

bool BrowserDriver::IsPresent(const QString& idOrClass, int timeoutMs) {
    if (!started())
        return false;
    const QString selector =
        u"[id="_s + cssString(idOrClass) + u"], [class~="_s + cssString(idOrClass) + u"]"_s;
    const Result<ElementList> found =
        m_impl->findAll(u"css selector"_s, selector, nullptr, std::max(0, timeoutMs));
    return found && !found->isEmpty();
}

Result<void> BrowserDriver::TypeText(const Element& element, const QString& text) {
    const Result<QJsonValue> r = m_impl->sessionCommand(
        "POST", Impl::elementPath(element) + u"/value"_s, QJsonObject{{u"text"_s, text}});
    if (!r)
        return r.error();
    return {};
}

Result<void> BrowserDriver::Click(const Element& element) {
    const Result<QJsonValue> r =
        m_impl->sessionCommand("POST", Impl::elementPath(element) + u"/click"_s, QJsonObject{});
    if (!r)
        return r.error();
    return {};
}

Result<QString> BrowserDriver::ReadText(const Element& element) {
    const Result<QJsonValue> r =
        m_impl->sessionCommand("GET", Impl::elementPath(element) + u"/text"_s);
    if (!r)
        return r.error();
    return r->toString();
}

Result<QString> BrowserDriver::ReadAttribute(const Element& element, const QString& name) {
    // The current value of a field is a property; "class" and "rel" are attributes. Ask for the
    // likelier one first and fall back on the other.
    const bool propertyFirst = name == u"value"_s || name == u"checked"_s;
    const QString first = propertyFirst ? u"/property/"_s : u"/attribute/"_s;
    const QString second = propertyFirst ? u"/attribute/"_s : u"/property/"_s;
    for (const QString& kind : {first, second}) {
        const Result<QJsonValue> r =
            m_impl->sessionCommand("GET", Impl::elementPath(element) + kind + name);
        if (!r)
            return r.error();
        if (r->isString())
            return r->toString();
        if (r->isBool())
            return r->toBool() ? u"true"_s : u"false"_s;
        if (r->isDouble())
            return QString::number(r->toDouble());
    }
    return QString();
}

Result<void> BrowserDriver::SelectByText(const Element& select, const QString& text) {
    return m_impl->chooseOption(
        select, u".//option[normalize-space(.) = normalize-space("_s + xpathString(text) + u")]"_s,
        u"\"%1\" seçeneği"_s.arg(text));
}

Result<void> BrowserDriver::SelectByValue(const Element& select, const QString& value) {
    return m_impl->chooseOption(select, u".//option[@value = "_s + xpathString(value) + u"]"_s,
                                u"\"%1\" değerli seçenek"_s.arg(value));
}

Result<void> BrowserDriver::SendKeysToPage(const QString& keys, const QString& modifier) {
    QJsonArray actions;
    if (!modifier.isEmpty())
        actions.append(QJsonObject{{u"type"_s, u"keyDown"_s}, {u"value"_s, modifier}});
    // One key per code point, so characters outside the BMP stay whole.
    for (const uint codePoint : keys.toUcs4()) {
        const QString key = QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1);
        actions.append(QJsonObject{{u"type"_s, u"keyDown"_s}, {u"value"_s, key}});
        actions.append(QJsonObject{{u"type"_s, u"keyUp"_s}, {u"value"_s, key}});
    }
    if (!modifier.isEmpty())
        actions.append(QJsonObject{{u"type"_s, u"keyUp"_s}, {u"value"_s, modifier}});
    const QJsonObject source{
        {u"type"_s, u"key"_s}, {u"id"_s, u"keyboard"_s}, {u"actions"_s, actions}};
    const Result<QJsonValue> r = m_impl->sessionCommand(
        "POST", u"/actions"_s, QJsonObject{{u"actions"_s, QJsonArray{source}}});
    if (!r)
        return r.error();
    return {};
}

Result<void> BrowserDriver::PerformActions(const ActionChain& chain) {
    const Result<QJsonValue> r = m_impl->sessionCommand("POST", u"/actions"_s, chain.request());
    const Result<QJsonValue> released = m_impl->sessionCommand("DELETE", u"/actions"_s);
    if (!r)
        return r.error();
    if (!released)
        return released.error();
    return {};
}

Result<QVariant> BrowserDriver::RunScript(const QString& script, const ElementList& arguments) {
    QJsonArray args;
    for (const Element& element : arguments)
        args.append(QJsonObject{{QLatin1StringView(kElementKey), element.ref}});
    const Result<QJsonValue> r = m_impl->sessionCommand(
        "POST", u"/execute/sync"_s, QJsonObject{{u"script"_s, script}, {u"args"_s, args}});
    if (!r)
        return r.error();
    return r->toVariant();
}

void BrowserDriver::Wait(int milliseconds) {
    m_impl->sleep(std::max(0, milliseconds));
}

Result<void> BrowserDriver::AcceptAlert() {
    const Result<QJsonValue> r = m_impl->sessionCommand("POST", u"/alert/accept"_s, QJsonObject{});
    if (!r)
        return r.error();
    return {};
}

Result<QString> BrowserDriver::AlertText() {
    const Result<QJsonValue> r = m_impl->sessionCommand("GET", u"/alert/text"_s);
    if (!r)
        return r.error();
    return r->toString();
}

Result<void> BrowserDriver::CloseWindow() {
    const Result<QJsonValue> r = m_impl->sessionCommand("DELETE", u"/window"_s);
    if (!r)
        return r.error();
    return {};
}

void BrowserDriver::Quit() {
    m_impl->end(true);
}

Result<QImage> BrowserDriver::CaptureElementImage(const Element& element) {
    const Result<QJsonValue> r =
        m_impl->sessionCommand("GET", Impl::elementPath(element) + u"/screenshot"_s);
    if (!r)
        return r.error();
    const QImage image = QImage::fromData(QByteArray::fromBase64(r->toString().toLatin1()), "PNG");
    if (image.isNull())
        return makeError(ErrorCode::BadFormat, u"Tarayıcıdan gelen resim okunamadı."_s);
    return image;
}

Result<QByteArray> BrowserDriver::PrintPage() {
    const QJsonObject margins{{u"top"_s, 0}, {u"bottom"_s, 0}, {u"left"_s, 0}, {u"right"_s, 0}};
    const Result<QJsonValue> r = m_impl->sessionCommand(
        "POST", u"/print"_s,
        QJsonObject{{u"orientation"_s, u"portrait"_s},
                    {u"page"_s, QJsonObject{{u"width"_s, 21.0}, {u"height"_s, 29.7}}},
                    {u"margin"_s, margins},
                    {u"background"_s, true},
                    {u"shrinkToFit"_s, true}});
    if (!r)
        return r.error();
    const QByteArray pdf = QByteArray::fromBase64(r->toString().toLatin1());
    if (!pdf.startsWith("%PDF-"))
        return makeError(ErrorCode::BadFormat, u"Tarayıcıdan gelen PDF okunamadı."_s);
    return pdf;
}

Result<void> BrowserDriver::ClipboardPaste(const QString& text) {
    Impl& d = *m_impl;
    const Result<QString> url = CurrentUrl();
    if (!url)
        return url.error();
    const QUrl page(*url);
    const QString origin = page.adjusted(QUrl::RemovePath | QUrl::RemoveQuery |
                                         QUrl::RemoveFragment | QUrl::RemoveUserInfo)
                               .toString(QUrl::StripTrailingSlash);
    const Result<QJsonValue> granted = d.sessionCommand(
        "POST", u"/goog/cdp/execute"_s,
        QJsonObject{{u"cmd"_s, u"Browser.grantPermissions"_s},
                    {u"params"_s,
                     QJsonObject{{u"origin"_s, origin},
                                 {u"permissions"_s, QJsonArray{u"clipboardReadWrite"_s,
                                                               u"clipboardSanitizedWrite"_s}}}}});
    if (!granted)
        return granted.error();
    const Result<QJsonValue> written = d.sessionCommand(
        "POST", u"/execute/async"_s,
        QJsonObject{{u"script"_s, u"const done = arguments[arguments.length - 1];"
                                  u"navigator.clipboard.writeText(arguments[0])"
                                  u".then(() => done(''), e => done(String(e)));"_s},
                    {u"args"_s, QJsonArray{text}}});
    if (!written)
        return written.error();
    if (!written->toString().isEmpty())
        return makeError(ErrorCode::Unsupported, u"Pano yazılamadı: %1"_s.arg(written->toString()));
    return SendKeysToPage(u"v"_s, keys::Control);
}

} // namespace tavlix::browser
