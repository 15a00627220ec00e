// DownloadNewProgram: the new program file is fetched by the browser from its download page.
#include "browser/BrowserDriver.h"
#include "update/UpdateCheck.h"

#include "platform/HttpDownload.h"
#include "platform/UserPrompt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::update {

using browser::BrowserDriver;
using browser::Element;

namespace {

// The size of the largest file the download has written so far.
qint64 downloadedBytes(const QString& folder) {
    qint64 largest = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        if (file.fileName() == u"Tavlix"_s || file.fileName().endsWith(u".crdownload"_s))
            largest = std::max(largest, file.size());
    return largest;
}

// The browser writes into a ".crdownload" file and renames it only once the body is complete.
bool downloadComplete(const QString& folder, const QString& path) {
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        return false;
    return QDir(folder).entryList({u"*.crdownload"_s}, QDir::Files | QDir::Hidden).isEmpty();
}

void removePartialDownloads(const QString& folder) {
    QDir dir(folder);
    for (const QString& name : dir.entryList({u"*.crdownload"_s}, QDir::Files | QDir::Hidden))
        dir.remove(name);
}

// Ends the browser before its unfinished downloads are removed, whatever way the step ends.
struct PartialCleanup {
    BrowserDriver& browser;
    QString folder;
    ~PartialCleanup() {
        browser.Quit();
        removePartialDownloads(folder);
    }
};

} // namespace

Result<void> UpdateCheck::DownloadNewProgram() {
    if (m_settings.programUrl.isEmpty())
        return makeError(
            ErrorCode::InvalidInput,
            u"Yeni programın indirme adresi (TAVLIX_UPDATE_PROGRAM_URL) tanımlı değil."_s);
    const QString folder = m_settings.programDir + u"/prgDosyaları"_s;
    QDir().mkpath(folder);
    QFile::remove(downloadPath());
    removePartialDownloads(folder);

    BrowserDriver browser;
    const PartialCleanup cleanup{browser, folder};
    browser.setKeepAlive([this] { m_prompt.keepAlive(); });
    browser.setStopCheck([this] { return m_prompt.cancelled(); });
    browser.SetBrowserPreference(u"download.default_directory"_s, folder);
    browser.SetBrowserPreference(u"download.directory_upgrade"_s, true);
    browser.SetBrowserPreference(u"download.prompt_for_download"_s, false);
    browser.SetBrowserPreference(u"safebrowsing.enabled"_s, false);
    if (const auto started = browser.StartBrowser(u"Chrome"_s); !started)
        return started.error();
    if (const auto opened = browser.OpenPage(m_settings.programUrl); !opened)
        return opened.error();
    const auto divs = browser.FindAllByTag(u"div"_s);
    if (!divs)
        return divs.error();
    browser.Wait(2000);
    // Nested divs share their links: each link is clicked once, or the file would come twice.
    QSet<QString> clicked;
    for (const Element& div : *divs) {
        if (m_prompt.cancelled())
            return makeError(ErrorCode::Io, u"İndirme iptal edildi."_s);
        const auto link = browser.FindFirstByTagIn(div, u"a"_s);
        if (!link || clicked.contains(link->ref))
            continue;
        clicked.insert(link->ref);
        browser.Click(*link);
    }
    if (clicked.isEmpty())
        return makeError(ErrorCode::NotFound, u"İndirme sayfasında indirme bağlantısı yok."_s);

    // The updater may only start on a complete file, however long the download takes.
    m_prompt.progress(u"Yeni Tavlix indiriliyor..."_s);
    QElapsedTimer waited;
    waited.start();
    while (!downloadComplete(folder, downloadPath())) {
        if (m_prompt.cancelled())
            return makeError(ErrorCode::Io, u"İndirme iptal edildi."_s);
        if (downloadedBytes(folder) > kProgramDownloadLimit)
            return makeError(ErrorCode::Network,
                             u"İndirilen program izin verilen boyutu aşıyor."_s);
        if (waited.elapsed() > m_downloadTimeoutMs)
            return makeError(ErrorCode::Network, u"İndirme zamanında tamamlanmadı."_s);
        browser.Wait(200);
    }
    if (downloadedBytes(folder) > kProgramDownloadLimit) {
        QFile::remove(downloadPath());
        return makeError(ErrorCode::Network, u"İndirilen program izin verilen boyutu aşıyor."_s);
    }
    return {};
}

} // namespace tavlix::update
