// The session half of a BrowserDriver: the chromedriver process and its browser (a session
// folder that every one of their processes carries on its command line), the HTTP exchanges with
// the driver, and the end of both. Ending never leaves a process of ours behind and signals no
// other process.
#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <curl/curl.h>

#include <functional>

namespace tavlix::browser {

struct DriverSession {
    // Between two looks while waiting for an element or the driver.
    static constexpr int kPollMs = 50;

    DriverSession();
    ~DriverSession();
    DriverSession(const DriverSession&) = delete;
    DriverSession& operator=(const DriverSession&) = delete;

    std::function<void()> keepAlive;
    std::function<bool()> stopRequested;
    bool stopping() const { return stopRequested && stopRequested(); }
    QVariantMap prefs;
    QStringList arguments;
    bool detach = false;
    QRect window; // the frame of a visible browser window; empty: where the browser puts it

    QProcess driver;
    qint64 driverPid = 0;   // kept after the driver ended, with its start:
    qint64 driverTicks = 0; // a later process of the same id is not ours
    int guardFd = -1;       // write end of the guard's pipe: closed, the guard ends the session
    QString folder;         // the browser's profile and the driver's log: names our processes
    QString base;           // http://127.0.0.1:<port>
    QString session;

    CURL* curl = nullptr;
    CURLM* multi = nullptr;
    QElapsedTimer sinceKeepAlive;

    // Starts chromedriver on a free loopback port, waits until it is ready and opens a browser
    // session with the arguments and preferences above; a failure ends whatever had started.
    Result<void> start();

    // Calls keepAlive at most every few milliseconds (always when forced).
    void tick(bool force = false);
    // Sleeps while keeping the window alive.
    void sleep(int milliseconds);

    // One HTTP exchange with the driver. The transfer runs on curl's multi interface so the
    // window is kept alive between two polls of the socket.
    struct Reply {
        long status = 0;
        QByteArray body;
        QString transportError;
    };
    Reply http(const QByteArray& method, const QString& path, const QByteArray& body);

    // A W3C command: its "value" on success, the driver's error otherwise. `errorName` receives
    // the W3C error code ("no such element" …) so callers can tell a missing element apart.
    Result<QJsonValue> command(const QByteArray& method, const QString& path,
                               const QJsonObject& payload = {}, QString* errorName = nullptr);
    // A command of the open session.
    Result<QJsonValue> sessionCommand(const QByteArray& method, const QString& path,
                                      const QJsonObject& payload = {},
                                      QString* errorName = nullptr);

    bool driverRunning() const { return driver.state() != QProcess::NotRunning; }
    // Ends the driver; without detach also every process that carries the session's folder,
    // also when the driver has already gone.
    void endProcesses(bool withBrowser);
    // Ends the session; `closeBrowser` false leaves a detached browser to the user.
    void end(bool closeBrowser);
};

} // namespace tavlix::browser
