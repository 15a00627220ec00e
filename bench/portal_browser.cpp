// The WebDriver layer against the portal stand-in in headless Chromium: the round trip of one
// command pair (FindById + ReadAttribute), of one 20-key action chain (with the script that
// empties the field again), the same chain into a line field of a 1-, 20- and 100-row form, and
// the time from StartBrowser to an open invoice form.
#include "browser/ActionChain.h"
#include "browser/BrowserDriver.h"
#include "portal/PortalLogin.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <memory>
#include <thread>

using namespace Qt::StringLiterals;
using tavlix::browser::BrowserDriver;

namespace {

// The portal stand-in with its login: enough of the test site server for a benchmark.
class Portal {
public:
    Portal() {
        m_server.set_mount_point("/", TAVLIX_SITES_DIR "/portal");
        m_server.Get("/switches.js", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("window.siteSwitches = {};", "text/javascript");
        });
        m_server.Post("/intragiris", [](const httplib::Request& req, httplib::Response& res) {
            if (req.get_param_value("userid") != "u" || req.get_param_value("password") != "p") {
                res.set_redirect("/intragiris.html?hata=1");
                return;
            }
            res.set_header("Set-Cookie", "portal_oturum=acik; Path=/");
            res.set_redirect("/anasayfa.html");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~Portal() {
        m_server.stop();
        m_thread.join();
    }
    QString url() const { return u"http://127.0.0.1:%1"_s.arg(m_port); }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

Portal& portal() {
    qputenv("TAVLIX_HEADLESS", "1");
    static Portal instance;
    return instance;
}

// Logs in and walks to the invoice form; true when its tax-number field is there.
bool openForm(BrowserDriver& driver) {
    const auto login = tavlix::portal::PortalLogin(
        driver, {portal().url(), u"u"_s, u"p"_s, tavlix::portal::kMenuCreateInvoice, false});
    return login.login.ok() && login.targetClicked && driver.IsPresent(u"gen__1033"_s, 5000);
}

void BM_CommandRoundTrip(benchmark::State& state) {
    BrowserDriver driver;
    if (!openForm(driver)) {
        state.SkipWithError("invoice form not reached");
        return;
    }
    for (auto _ : state) {
        const auto field = driver.FindById(u"gen__1033"_s);
        const auto value = driver.ReadAttribute(*field, u"value"_s);
        benchmark::DoNotOptimize(value.ok());
    }
}
BENCHMARK(BM_CommandRoundTrip)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->MinTime(1.0);

// One request: a click into the address field and twenty key strokes.
void BM_TwentyKeyChain(benchmark::State& state) {
    BrowserDriver driver;
    if (!openForm(driver)) {
        state.SkipWithError("invoice form not reached");
        return;
    }
    const auto field = driver.FindById(u"gen__1043"_s);
    for (auto _ : state) {
        tavlix::browser::ActionChain chain;
        chain.click(*field);
        chain.type(u"Moda Cad. No 1 Kadık"_s);
        benchmark::DoNotOptimize(driver.PerformActions(chain).ok());
        driver.RunScript(u"arguments[0].value = ''; return true;"_s, {*field});
    }
}
BENCHMARK(BM_TwentyKeyChain)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->MinTime(1.0);

// The page's own share of a key: the same chain into the first line's "Mal Hizmet" field of a
// form with 1, 20 and 100 rows; with /1 the form's fields lose their listeners first, so what is
// left is the browser laying the table out again after every key.
void BM_LineFieldChain(benchmark::State& state) {
    BrowserDriver driver;
    if (!openForm(driver)) {
        state.SkipWithError("invoice form not reached");
        return;
    }
    if (!driver.IsPresent(u"gen__2000"_s, 5000)) {
        state.SkipWithError("line table not reached");
        return;
    }
    const QString prepare =
        u"for (var i = 1; i < %1; ++i) document.getElementById('gen__1089').click();"
        u"if (%2) document.querySelectorAll('input[type=text]').forEach(function (e) {"
        u"  e.replaceWith(e.cloneNode(true)); });"
        u"return true;"_s.arg(state.range(0))
            .arg(state.range(1) ? u"true"_s : u"false"_s);
    if (const auto added = driver.RunScript(prepare); !added.ok()) {
        state.SkipWithError(added.message().toUtf8().constData());
        return;
    }
    const auto field = driver.FindById(u"gen__2000"_s);
    const QString text = u"Moda Cad. No 1 Kadık"_s;
    double ms = 0;
    for (auto _ : state) {
        tavlix::browser::ActionChain chain;
        chain.click(*field);
        chain.type(text);
        QElapsedTimer timer;
        timer.start();
        const bool typed = driver.PerformActions(chain).ok();
        ms += double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!typed)
            state.SkipWithError("chain failed");
        driver.RunScript(u"arguments[0].value = ''; return true;"_s, {*field});
    }
    // The click counts as one of the strokes: it is a share of the same chain.
    state.counters["ms_per_key"] = ms / double(state.iterations()) / double(text.size() + 1);
}
BENCHMARK(BM_LineFieldChain)
    ->ArgsProduct({{1, 20, 100}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_StartBrowserToInvoiceForm(benchmark::State& state) {
    portal(); // headless before the first browser starts, also when this runs alone
    double startMs = 0;
    double walkMs = 0;
    for (auto _ : state) {
        BrowserDriver driver;
        QElapsedTimer timer;
        timer.start();
        const bool started = driver.StartBrowser().ok();
        startMs += static_cast<double>(timer.restart());
        driver.Quit();
        // The full operation: a new session, login, menu walk, form open.
        BrowserDriver session;
        timer.restart();
        if (!started || !openForm(session)) {
            state.SkipWithError("invoice form not reached");
            return;
        }
        walkMs += static_cast<double>(timer.elapsed());
    }
    state.counters["startBrowser_ms"] =
        benchmark::Counter(startMs, benchmark::Counter::kAvgIterations);
    state.counters["startToForm_ms"] =
        benchmark::Counter(walkMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartBrowserToInvoiceForm)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
