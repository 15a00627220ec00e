#include "platform/HttpGet.h"

#include <QSaveFile>

#include <curl/curl.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

size_t writeBody(char* data, size_t size, size_t count, void* file) {
    const qint64 bytes = static_cast<qint64>(size * count);
    return static_cast<QSaveFile*>(file)->write(data, bytes) == bytes ? size * count : 0;
}

} // namespace

Result<void> httpGetToFile(const QString& url, const QString& path, int timeoutMs) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return makeError(ErrorCode::Io, u"Dosya yazılamadı: %1"_s.arg(path));

    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        return makeError(ErrorCode::Network, u"İnternet bağlantısı kurulamadı."_s);
    const QByteArray address = url.toUtf8();
    curl_easy_setopt(curl.get(), CURLOPT_URL, address.constData());
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &file);

    const CURLcode code = curl_easy_perform(curl.get());
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK) {
        file.cancelWriting();
        return makeError(ErrorCode::Network, u"%1 adresine ulaşılamadı: %2"_s.arg(
                                                 url, QString::fromUtf8(curl_easy_strerror(code))));
    }
    if (status != 200) {
        file.cancelWriting();
        return makeError(ErrorCode::Network,
                         u"%1 adresi beklenen yanıtı vermedi (durum %2)."_s.arg(url).arg(status));
    }
    if (!file.commit())
        return makeError(ErrorCode::Io, u"Dosya yazılamadı: %1"_s.arg(path));
    return {};
}

} // namespace tavlix
