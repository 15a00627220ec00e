#include "platform/HttpDownload.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <curl/curl.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

struct Sink {
    QSaveFile* file = nullptr;
    qint64 written = 0;
    qint64 maxBytes = 0;
    bool tooLarge = false;
};

size_t writeToFile(char* data, size_t size, size_t count, void* target) {
    auto* sink = static_cast<Sink*>(target);
    const qint64 bytes = static_cast<qint64>(size * count);
    // A body without a length, or longer than it said, stops at the limit.
    if (sink->written + bytes > sink->maxBytes) {
        sink->tooLarge = true;
        return 0;
    }
    sink->written += bytes;
    return sink->file->write(data, bytes) == bytes ? size * count : 0;
}

} // namespace

Result<void> downloadToFile(const QString& url, const QString& targetPath,
                            const DownloadOptions& options) {
    if (options.status)
        *options.status = 0;
    QDir().mkpath(QFileInfo(targetPath).absolutePath());
    QSaveFile file(targetPath);
    if (!file.open(QIODevice::WriteOnly))
        return makeError(ErrorCode::Io, u"Dosya yazılamıyor: %1"_s.arg(targetPath));

    CURL* curl = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (!curl || !multi) {
        if (curl)
            curl_easy_cleanup(curl);
        if (multi)
            curl_multi_cleanup(multi);
        file.cancelWriting();
        return makeError(ErrorCode::Network, u"HTTP istemcisi başlatılamadı."_s);
    }
    Sink sink{&file, 0, options.maxBytes, false};
    const int timeoutMs = options.timeoutMs;
    const QByteArray address = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBytes));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     timeoutMs > 0 ? std::min<long>(timeoutMs, 15000L) : 15000L);
    if (timeoutMs > 0)
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1024L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options.lowSpeedSeconds));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_multi_add_handle(multi, curl);
    int running = 1;
    bool cancelled = false;
    while (running) {
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            break;
        if (running) {
            curl_multi_poll(multi, nullptr, 0, 20, nullptr);
            if (options.keepAlive)
                options.keepAlive();
            if (options.cancelled && options.cancelled()) {
                cancelled = true;
                break;
            }
        }
    }
    CURLcode result = CURLE_FAILED_INIT;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued))
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    long code = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    curl_multi_remove_handle(multi, curl);
    curl_easy_cleanup(curl);
    curl_multi_cleanup(multi);
    if (options.status)
        *options.status = code;

    if (cancelled) {
        file.cancelWriting();
        return makeError(ErrorCode::Io, u"İndirme iptal edildi."_s);
    }
    if (sink.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        file.cancelWriting();
        return makeError(
            ErrorCode::Network,
            u"İndirilen dosya izin verilen boyutu (%1 bayt) aşıyor."_s.arg(options.maxBytes));
    }
    if (result == CURLE_UNSUPPORTED_PROTOCOL) {
        file.cancelWriting();
        return makeError(ErrorCode::Network,
                         u"İndirme adresi izin verilmeyen bir protokole yönlendirildi."_s);
    }
    if (result == CURLE_OPERATION_TIMEDOUT) {
        file.cancelWriting();
        return makeError(ErrorCode::Network, u"İndirme durdu: sunucu çok yavaş yanıt veriyor."_s);
    }
    if (result != CURLE_OK) {
        file.cancelWriting();
        return makeError(ErrorCode::Network, u"İndirme başarısız: %1"_s.arg(
                                                 QString::fromUtf8(curl_easy_strerror(result))));
    }
    if (code != 200) {
        file.cancelWriting();
        return makeError(ErrorCode::Network, u"Sunucu dosyayı vermedi (HTTP %1)."_s.arg(code));
    }
    if (!file.commit())
        return makeError(ErrorCode::Io, u"Dosya yazılamadı: %1"_s.arg(targetPath));
    return {};
}

Result<void> downloadToFile(const QString& url, const QString& targetPath,
                            const std::function<void()>& keepAlive, long* status, int timeoutMs) {
    DownloadOptions options;
    options.keepAlive = keepAlive;
    options.status = status;
    options.timeoutMs = timeoutMs;
    return downloadToFile(url, targetPath, options);
}

} // namespace tavlix
