#include "browser/DriverSession.h"

#include "browser/DriverPaths.h"
#include "browser/SessionProcesses.h"
#include "platform/ProcessWait.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace tavlix::browser {

namespace {

constexpr int kKeepAliveMs = 20;
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

size_t appendBody(char* data, size_t size, size_t count, void* target) {
    static_cast<QByteArray*>(target)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

} // namespace

DriverSession::DriverSession() {
    curl = curl_easy_init();
    multi = curl_multi_init();
    sinceKeepAlive.start();
}

DriverSession::~DriverSession() {
    if (curl)
        curl_easy_cleanup(curl);
    if (multi)
        curl_multi_cleanup(multi);
}

Result<void> DriverSession::start() {
    if (!session.isEmpty())
        end(true);
    if (!curl || !multi)
        return driverError(u"HTTP istemcisi başlatılamadı."_s);

    const QString driverPath = chromedriverPath();
    if (driverPath.isEmpty())
        return makeError(ErrorCode::NotFound, u"chromedriver bulunamadı."_s);
    const int port = freeLoopbackPort();
    if (port == 0)
        return driverError(u"Tarayıcı sürücüsü için boş bir port bulunamadı."_s);

    // A browser nobody sees is no one's to keep: headless sessions end with the operation.
    const bool headless = qEnvironmentVariable("TAVLIX_HEADLESS") == u"1"_s ||
                          arguments.contains(u"--headless"_s) ||
                          !arguments.filter(u"--headless="_s).isEmpty();
    if (headless)
        detach = false;

    // The session's folder: the browser's profile, the driver's log, and the name by which
    // every process of the session is found (the run's pid and start, the boot).
    QTemporaryDir temp(QDir::tempPath() + u'/' + sessionFolderPrefix() + u"XXXXXX"_s);
    if (!temp.isValid())
        return driverError(u"Tarayıcı klasörü oluşturulamadı: %1"_s.arg(QDir::tempPath()));
    temp.setAutoRemove(false);
    folder = temp.path();
    driver.setProgram(driverPath);
    driver.setArguments(
        {u"--port=%1"_s.arg(port), u"--silent"_s, u"--log-path=%1/chromedriver.log"_s.arg(folder)});
    driver.setStandardOutputFile(QProcess::nullDevice());
    driver.setStandardErrorFile(QProcess::nullDevice());
    // The guard's pipe: its write end stays with this process only (close-on-exec).
    int guardPipe[2] = {-1, -1};
    if (::pipe2(guardPipe, O_CLOEXEC) != 0) {
        end(true);
        return driverError(u"Tarayıcı sürücüsü hazırlanamadı."_s);
    }
    guardFd = guardPipe[1];
    const int readEnd = guardPipe[0];
    const pid_t parent = ::getpid();
    const QByteArray carried = QFile::encodeName(folder);
    // A session of its own, so the terminal's signals stay with Tavlix; the driver ends with this
    // process, and a guard beside it ends the driver and the browser when this process is gone.
    driver.setChildProcessModifier([readEnd, parent, carried] {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(1);
        const pid_t driverProcess = ::getpid();
        if (::fork() == 0) {
            ::close_range(0, static_cast<unsigned>(readEnd) - 1, 0);
            ::close_range(static_cast<unsigned>(readEnd) + 1, ~0U, 0);
            char byte = 0;
            // End of file: the run is gone. A byte: the session was left to the user.
            if (::read(readEnd, &byte, 1) <= 0) {
                if (::getppid() == driverProcess)
                    ::kill(driverProcess, SIGKILL);
                endCarriersAfterFork({carried.constData(), static_cast<size_t>(carried.size())});
            }
            ::_exit(0);
        }
    });
    driver.start();
    ::close(readEnd);
    if (!driver.waitForStarted(5000)) {
        end(true);
        return makeError(ErrorCode::NotFound, u"chromedriver başlatılamadı: %1"_s.arg(driverPath));
    }
    driverPid = driver.processId();
    driverTicks = processStartTicks(driverPid);
    base = u"http://127.0.0.1:%1"_s.arg(port);

    // Ready when /status says so.
    QDeadlineTimer ready(kDriverStartMs);
    for (;;) {
        const Result<QJsonValue> status = command("GET", u"/status"_s);
        if (status && status->toObject().value(u"ready"_s).toBool())
            break;
        if (ready.hasExpired() || !driverRunning() || stopping()) {
            end(true);
            return driverError(u"Tarayıcı sürücüsü yanıt vermiyor."_s);
        }
        sleep(kPollMs);
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
    args << u"--user-data-dir=%1"_s.arg(folder);
    if (headless)
        args << u"--headless=new"_s;
    else if (window.isValid())
        args << u"--window-position=%1,%2"_s.arg(window.x()).arg(window.y())
             << u"--window-size=%1,%2"_s.arg(window.width()).arg(window.height());
    for (const QString& argument : arguments) {
        // An explicit --headless is taken as the current headless mode.
        const QString effective = argument == u"--headless"_s ? u"--headless=new"_s : argument;
        if (!args.contains(effective))
            args << effective;
    }
    QJsonObject options{{u"binary"_s, browserPath()},
                        {u"args"_s, QJsonArray::fromStringList(args)},
                        {u"detach"_s, detach},
                        // Without the bar "controlled by automated test software".
                        {u"excludeSwitches"_s, QJsonArray{u"enable-automation"_s}}};
    // Dotted preference names are paths in Chrome's profile tree.
    // The password manager off: its "save password?" bubble would stand over the portal's form.
    QJsonObject preferences{{u"credentials_enable_service"_s, false},
                            {u"profile.password_manager_enabled"_s, false}};
    for (auto it = prefs.cbegin(); it != prefs.cend(); ++it)
        preferences.insert(it.key(), QJsonValue::fromVariant(it.value()));
    options.insert(u"prefs"_s, preferences);
    const QJsonObject capabilities{
        {u"browserName"_s, u"chrome"_s},
        {u"goog:chromeOptions"_s, options},
        {u"unhandledPromptBehavior"_s, u"ignore"_s},
        {u"timeouts"_s,
         QJsonObject{{u"implicit"_s, 0}, {u"pageLoad"_s, 30000}, {u"script"_s, 30000}}}};
    const Result<QJsonValue> created =
        command("POST", u"/session"_s,
                QJsonObject{{u"capabilities"_s, QJsonObject{{u"alwaysMatch"_s, capabilities}}}});
    if (!created) {
        end(true);
        return driverError(u"Tarayıcı başlatılamadı. %1"_s.arg(created.message()));
    }
    session = created->toObject().value(u"sessionId"_s).toString();
    if (session.isEmpty()) {
        end(true);
        return driverError(u"Tarayıcı oturumu açılamadı."_s);
    }
    // A window manager may place a new window by its own rule whatever the switches asked; the
    // frame asked for is set once more on the mapped window. Where it cannot be, the browser
    // stays where it opened.
    if (!headless && window.isValid())
        sessionCommand("POST", u"/window/rect"_s,
                       QJsonObject{{u"x"_s, window.x()},
                                   {u"y"_s, window.y()},
                                   {u"width"_s, window.width()},
                                   {u"height"_s, window.height()}});
    return {};
}

void DriverSession::tick(bool force) {
    if (keepAlive && (force || sinceKeepAlive.elapsed() >= kKeepAliveMs)) {
        sinceKeepAlive.restart();
        keepAlive();
    }
}

void DriverSession::sleep(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired() && !stopping()) {
        tick();
        const auto left = std::min<qint64>(deadline.remainingTime(), kKeepAliveMs);
        if (left > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(left));
    }
    tick();
}

DriverSession::Reply DriverSession::http(const QByteArray& method, const QString& path,
                                         const QByteArray& body) {
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
Result<QJsonValue> DriverSession::command(const QByteArray& method, const QString& path,
                                          const QJsonObject& payload, QString* errorName) {
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

Result<QJsonValue> DriverSession::sessionCommand(const QByteArray& method, const QString& path,
                                                 const QJsonObject& payload, QString* errorName) {
    if (session.isEmpty())
        return driverError(u"Tarayıcı oturumu açık değil."_s);
    return command(method, u"/session/"_s + session + path, payload, errorName);
}

// Ends the driver; without detach also every process that carries the session's folder, also
// when the driver has already gone.
void DriverSession::endProcesses(bool withBrowser) {
    if (!withBrowser) {
        // The browser keeps running for the user; the guard leaves it, only the driver ends.
        if (!folder.isEmpty())
            markLeftToUser(folder);
        if (guardFd >= 0 && ::write(guardFd, "d", 1) != 1)
            qWarning("The browser guard could not be released.");
        if (driverRunning()) {
            driver.terminate();
            if (!waitForFinishedPainting(driver, 3000)) {
                driver.kill();
                waitForFinishedPainting(driver, 3000);
            }
        }
    } else {
        if (driverRunning()) {
            driver.kill();
            waitForFinishedPainting(driver, 3000);
        } else if (sameProcess(driverPid, driverTicks)) {
            ::kill(static_cast<pid_t>(driverPid), SIGKILL);
        }
        if (!folder.isEmpty())
            endProcessesCarrying(folder, 3000);
    }
    if (guardFd >= 0)
        ::close(guardFd);
    guardFd = -1;
    driverPid = 0;
    driverTicks = 0;
}

void DriverSession::end(bool closeBrowser) {
    if (!session.isEmpty() && closeBrowser && driverRunning())
        command("DELETE", u"/session/"_s + session);
    session.clear();
    endProcesses(closeBrowser);
    base.clear();
    // A browser left to the user still uses its folder; a later start removes it once it ended.
    if (closeBrowser && !folder.isEmpty())
        removeSessionFolder(folder);
    folder.clear();
}

} // namespace tavlix::browser
