#include "update/ReleaseSignature.h"

#include <QList>

#include <sodium.h>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#ifndef TAVLIX_UPDATE_PUBLIC_KEY_HEX
#define TAVLIX_UPDATE_PUBLIC_KEY_HEX ""
#endif

namespace tavlix {

namespace {

bool isHex(const QByteArray& text, bool lowerOnly) {
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
              (!lowerOnly && c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

bool threeDigits(const QByteArray& text) {
    return text.size() == 3 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

QByteArray compiledUpdateKey() {
    return bytesFromHex(QByteArray(TAVLIX_UPDATE_PUBLIC_KEY_HEX), kPublicKeyBytes)
        .value_or(QByteArray());
}

std::optional<QByteArray> bytesFromHex(const QByteArray& hex, int bytes) {
    if (hex.size() != 2 * bytes || !isHex(hex, false))
        return std::nullopt;
    return QByteArray::fromHex(hex);
}

QByteArray releaseText(int version, const QByteArray& sha256Hex) {
    return "Tavlix " + QByteArray::number(version).rightJustified(3, '0') + '\n' + sha256Hex;
}

std::optional<QByteArray> fileSha256(int fd) {
    struct stat st {};
    if (sodium_init() < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        ::lseek(fd, 0, SEEK_SET) != 0)
        return std::nullopt;
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    unsigned char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        crypto_hash_sha256_update(&state, buffer, static_cast<unsigned long long>(n));
    }
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256_final(&state, digest);
    return QByteArray(reinterpret_cast<const char*>(digest), sizeof digest).toHex();
}

bool releaseSignedByPublisher(int version, const QByteArray& sha256Hex, const QByteArray& signature,
                              const QByteArray& publicKey) {
    if (version < 0 || version > 999 || sha256Hex.size() != 64 || !isHex(sha256Hex, true) ||
        signature.size() != kSignatureBytes || publicKey.size() != kPublicKeyBytes ||
        sodium_init() < 0)
        return false;
    const QByteArray text = releaseText(version, sha256Hex);
    return crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char*>(signature.constData()),
               reinterpret_cast<const unsigned char*>(text.constData()),
               static_cast<unsigned long long>(text.size()),
               reinterpret_cast<const unsigned char*>(publicKey.constData())) == 0;
}

QByteArray signatureFileText(int version, const QByteArray& signature) {
    return "Tavlix " + QByteArray::number(version).rightJustified(3, '0') + '\n' +
           signature.toHex() + '\n';
}

std::optional<SignatureFile> parseSignatureFile(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (lines.size() == 3 && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != 2 || !lines[0].startsWith("Tavlix ") || !threeDigits(lines[0].mid(7)))
        return std::nullopt;
    const std::optional<QByteArray> signature = bytesFromHex(lines[1], kSignatureBytes);
    if (!signature)
        return std::nullopt;
    return SignatureFile{lines[0].mid(7).toInt(), *signature};
}

} // namespace tavlix
