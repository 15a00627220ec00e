#include "browser/BrowserDriver.h"

#include "browser/DriverPaths.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <curl/curl.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

constexpr auto kElementKey = "element-6066-11e4-a52e-4f735466cecf";
constexpr int kKeepAliveMs = 20;
constexpr int kPollMs = 50;
constexpr long kCommandTimeoutMs = 60000;
constexpr int kDriverStartMs = 15000;

Error driverError(const QString& text) {
    return makeError(ErrorCode::Network, text);
}

// A free TCP port on the loopback interface for the driver to listen on.
int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int port = 0;
    socklen_t length = sizeof(address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

// Living processes whose environment carries `marker` (a session's processes inherit it from the
// driver, also those that left the driver's process tree, such as the crash handler).
QList<qint64> processesMarkedWith(const QByteArray& marker) {
    QList<qint64> result;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid == ::getpid())
            continue;
        QFile environ(u"/proc/%1/environ"_s.arg(pid));
        if (!environ.open(QIODevice::ReadOnly) || !environ.readAll().split('\0').contains(marker))
            continue;
        QFile stat(u"/proc/%1/stat"_s.arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        if (close > 0 && line.size() > close + 2 && line[close + 2] != 'Z')
            result.append(pid);
    }
    return result;
}

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

size_t appendBody(char* data, size_t size, size_t count, void* target) {
    static_cast<QByteArray*>(target)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

} // namespace

struct BrowserDriver::Impl {
    std::function<void()> keepAlive;
    QVariantMap prefs;
    QStringList arguments;
    bool detach = false;

    QProcess driver;
    QByteArray marker; // NAME=value put into the environment of the driver and its browser
    QString tempDir;   // TMPDIR of the driver and its browser: their profile and sockets
    QString base;      // http://127.0.0.1:<port>
    QString session;

    CURL* curl = nullptr;
    CURLM* multi = nullptr;
    QElapsedTimer sinceKeepAlive;

    Impl() {
        curl = curl_easy_init();
        multi = curl_multi_init();
        sinceKeepAlive.start();
    }
    ~Impl() {
        if (curl)
            curl_easy_cleanup(curl);
        if (multi)
            curl_multi_cleanup(multi);
    }

    void tick(bool force = false) {
        if (keepAlive && (force || sinceKeepAlive.elapsed() >= kKeepAliveMs)) {
            sinceKeepAlive.restart();
            keepAlive();
        }
    }

    void sleep(int milliseconds) {
        QDeadlineTimer deadline(milliseconds);
        while (!deadline.hasExpired()) {
            tick();
            const auto left = std::min<qint64>(deadline.remainingTime(), kKeepAliveMs);
            if (left > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(left));
        }
        tick();
    }

    // One HTTP exchange with the driver. The transfer runs on curl's multi interface so the
    // window is kept alive between two polls of the socket.
    struct Reply {
        long status = 0;
        QByteArray body;
        QString transportError;
    };
    Reply http(const QByteArray& method, const QString& path, const QByteArray& body) {
        Reply reply;
        const QByteArray url = (base + path).toUtf8();
        curl_easy_reset(curl);
        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.constData());
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, kCommandTimeoutMs);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
        curl_slist* headers = nullptr;
        if (method == "POST") {
            headers = curl_slist_append(headers, "Content-Type: application/json; charset=utf-8");
            curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
        }
        curl_multi_add_handle(multi, curl);
        int running = 1;
        CURLcode result = CURLE_OK;
        while (running) {
            if (curl_multi_perform(multi, &running) != CURLM_OK)
                break;
            if (running) {
                curl_multi_poll(multi, nullptr, 0, kKeepAliveMs, nullptr);
                tick();
            }
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE)
                result = message->data.result;
        }
        curl_multi_remove_handle(multi, curl);
        if (headers)
            curl_slist_free_all(headers);
        if (result != CURLE_OK)
            reply.transportError = QString::fromUtf8(curl_easy_strerror(result));
        else
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
        return reply;
    }

    // A W3C command: its "value" on success, the driver's error otherwise. `errorName` receives
    // the W3C error code ("no such element" …) so callers can tell a missing element apart.
    Result<QJsonValue> command(const QByteArray& method, const QString& path,
                               const QJsonObject& payload = {}, QString* errorName = nullptr) {
        if (base.isEmpty())
            return driverError(u"Tarayıcı başlatılmamış."_s);
        const QByteArray body =
            method == "POST" ? QJsonDocument(payload).toJson(QJsonDocument::Compact) : QByteArray();
        const Reply reply = http(method, path, body);
        if (!reply.transportError.isEmpty())
            return driverError(u"Tarayıcı sürücüsüne ulaşılamadı: %1"_s.arg(reply.transportError));
        const QJsonValue value = QJsonDocument::fromJson(reply.body).object().value(u"value"_s);
        if (reply.status == 200)
            return value;
        const QString error = value.toObject().value(u"error"_s).toString();
        if (errorName)
            *errorName = error;
        const QString message = value.toObject().value(u"message"_s).toString();
        return driverError(u"Tarayıcı komutu başarısız (%1): %2"_s.arg(error, message.left(300)));
    }

    Result<QJsonValue> sessionCommand(const QByteArray& method, const QString& path,
                                      const QJsonObject& payload = {},
                                      QString* errorName = nullptr) {
        if (session.isEmpty())
            return driverError(u"Tarayıcı oturumu açık değil."_s);
        return command(method, u"/session/"_s + session + path, payload, errorName);
    }

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
            if (deadline.hasExpired())
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
            if (!array.isEmpty() || deadline.hasExpired()) {
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

    bool driverRunning() const { return driver.state() != QProcess::NotRunning; }

    // Ends the driver; without detach also the browser and everything else the driver started.
    void endProcesses(bool withBrowser) {
        if (!driverRunning())
            return;
        const qint64 pid = driver.processId();
        if (!withBrowser) {
            // The browser keeps running for the user; only the driver ends.
            driver.terminate();
            if (!driver.waitForFinished(3000)) {
                driver.kill();
                driver.waitForFinished(3000);
            }
            return;
        }
        ::kill(static_cast<pid_t>(-pid), SIGKILL); // the driver leads its own process group
        driver.kill();
        driver.waitForFinished(3000);
        // The browser's helpers may have left the group; the marker finds them all.
        QDeadlineTimer deadline(3000);
        for (;;) {
            const QList<qint64> left = processesMarkedWith(marker);
            if (left.isEmpty() || deadline.hasExpired())
                break;
            for (qint64 process : left)
                ::kill(static_cast<pid_t>(process), SIGKILL);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    void end(bool closeBrowser) {
        if (!session.isEmpty() && closeBrowser && driverRunning())
            command("DELETE", u"/session/"_s + session);
        session.clear();
        endProcesses(closeBrowser);
        base.clear();
        // A detached browser still uses its folder; it is the user's from now on.
        if (closeBrowser && !tempDir.isEmpty())
            QDir(tempDir).removeRecursively();
        tempDir.clear();
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

bool BrowserDriver::started() const {
    return !m_impl->session.isEmpty();
}

Result<void> BrowserDriver::StartBrowser(const QString& browserName) {
    Impl& d = *m_impl;
    if (browserName.compare(u"Chrome"_s, Qt::CaseInsensitive) != 0)
        return makeError(ErrorCode::Unsupported, u"Desteklenmeyen tarayıcı: %1"_s.arg(browserName));
    if (started())
        d.end(true);
    if (!d.curl || !d.multi)
        return driverError(u"HTTP istemcisi başlatılamadı."_s);

    const QString driverPath = chromedriverPath();
    if (driverPath.isEmpty())
        return makeError(ErrorCode::NotFound, u"chromedriver bulunamadı."_s);
    const int port = freeLoopbackPort();
    if (port == 0)
        return driverError(u"Tarayıcı sürücüsü için boş bir port bulunamadı."_s);

    static std::atomic<int> sessions = 0;
    d.marker = "TAVLIX_BROWSER_SESSION=" + QByteArray::number(::getpid()) + '-' +
               QByteArray::number(++sessions) + '-' +
               QByteArray::number(QDateTime::currentMSecsSinceEpoch());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(d.marker.left(d.marker.indexOf('='))),
                       QString::fromLatin1(d.marker.mid(d.marker.indexOf('=') + 1)));
    // Everything the browser writes to its temporary folder lands in one folder of the session.
    QTemporaryDir temp(QDir::tempPath() + u"/tavlix-browser-%1-XXXXXX"_s.arg(::getpid()));
    if (temp.isValid()) {
        temp.setAutoRemove(false);
        d.tempDir = temp.path();
        environment.insert(u"TMPDIR"_s, d.tempDir);
    }
    d.driver.setProcessEnvironment(environment);
    d.driver.setProgram(driverPath);
    d.driver.setArguments({u"--port=%1"_s.arg(port), u"--silent"_s});
    d.driver.setStandardOutputFile(QProcess::nullDevice());
    d.driver.setStandardErrorFile(QProcess::nullDevice());
    // Its own process group, so ending the session can end everything the driver started.
    d.driver.setChildProcessModifier([] { ::setsid(); });
    d.driver.start();
    if (!d.driver.waitForStarted(5000)) {
        d.end(true);
        return makeError(ErrorCode::NotFound, u"chromedriver başlatılamadı: %1"_s.arg(driverPath));
    }
    d.base = u"http://127.0.0.1:%1"_s.arg(port);

    // Ready when /status says so.
    QDeadlineTimer ready(kDriverStartMs);
    for (;;) {
        const Result<QJsonValue> status = d.command("GET", u"/status"_s);
        if (status && status->toObject().value(u"ready"_s).toBool())
            break;
        if (ready.hasExpired() || !d.driverRunning()) {
            d.end(true);
            return driverError(u"Tarayıcı sürücüsü yanıt vermiyor."_s);
        }
        d.sleep(kPollMs);
    }

    QStringList args{u"--disable-background-networking"_s,
                     u"--disable-component-update"_s,
                     u"--disable-sync"_s,
                     u"--no-first-run"_s,
                     u"--no-default-browser-check"_s,
                     u"--disable-gpu"_s,
                     u"--disable-dev-shm-usage"_s};
    if (::geteuid() == 0)
        args << u"--no-sandbox"_s;
    if (qEnvironmentVariable("TAVLIX_HEADLESS") == u"1"_s)
        args << u"--headless=new"_s;
    for (const QString& argument : d.arguments) {
        // An explicit --headless is taken as the current headless mode.
        const QString effective = argument == u"--headless"_s ? u"--headless=new"_s : argument;
        if (!args.contains(effective))
            args << effective;
    }
    QJsonObject options{{u"binary"_s, browserPath()},
                        {u"args"_s, QJsonArray::fromStringList(args)},
                        {u"detach"_s, d.detach}};
    // Dotted preference names are paths in Chrome's profile tree.
    QJsonObject prefs;
    for (auto it = d.prefs.cbegin(); it != d.prefs.cend(); ++it)
        prefs.insert(it.key(), QJsonValue::fromVariant(it.value()));
    if (!prefs.isEmpty())
        options.insert(u"prefs"_s, prefs);
    const QJsonObject capabilities{
        {u"browserName"_s, u"chrome"_s},
        {u"goog:chromeOptions"_s, options},
        {u"unhandledPromptBehavior"_s, u"ignore"_s},
        {u"timeouts"_s,
         QJsonObject{{u"implicit"_s, 0}, {u"pageLoad"_s, 30000}, {u"script"_s, 30000}}}};
    const Result<QJsonValue> created =
        d.command("POST", u"/session"_s,
                  QJsonObject{{u"capabilities"_s, QJsonObject{{u"alwaysMatch"_s, capabilities}}}});
    if (!created) {
        d.end(true);
        return driverError(u"Tarayıcı başlatılamadı. %1"_s.arg(created.message()));
    }
    d.session = created->toObject().value(u"sessionId"_s).toString();
    if (d.session.isEmpty()) {
        d.end(true);
        return driverError(u"Tarayıcı oturumu açılamadı."_s);
    }
    return {};
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

} // namespace tavlix::portal
