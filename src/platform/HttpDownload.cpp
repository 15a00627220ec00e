#include "platform/HttpDownload.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <curl/curl.h>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {
size_t writeToFile(char* data, size_t size, size_t count, void* target) {
    auto* file = static_cast<QSaveFile*>(target);
    const qint64 bytes = static_cast<qint64>(size * count);
    return file->write(data, bytes) == bytes ? size * count : 0;
}
} // namespace

Result<void> downloadToFile(const QString& url, const QString& targetPath,
                            const std::function<void()>& keepAlive, long* status) {
    if (status)
        *status = 0;
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
    const QByteArray address = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 15000L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &file);
    curl_multi_add_handle(multi, curl);
    int running = 1;
    while (running) {
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            break;
        if (running) {
            curl_multi_poll(multi, nullptr, 0, 20, nullptr);
            if (keepAlive)
                keepAlive();
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
    if (status)
        *status = code;

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

} // namespace tavlix
