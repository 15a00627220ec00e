#include "update/ReleaseSignature.h"

#include <sodium.h>

#include <sys/mman.h>
#include <sys/stat.h>

#ifndef TAVLIX_UPDATE_PUBLIC_KEY_HEX
#define TAVLIX_UPDATE_PUBLIC_KEY_HEX ""
#endif

namespace tavlix {

QByteArray compiledUpdateKey() {
    return bytesFromHex(QByteArray(TAVLIX_UPDATE_PUBLIC_KEY_HEX), kPublicKeyBytes)
        .value_or(QByteArray());
}

std::optional<QByteArray> bytesFromHex(const QByteArray& hex, int bytes) {
    if (hex.size() != 2 * bytes)
        return std::nullopt;
    for (const char c : hex) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return std::nullopt;
    }
    return QByteArray::fromHex(hex);
}

bool signedByPublisher(int fd, const QByteArray& signature, const QByteArray& publicKey) {
    struct stat st {};
    if (signature.size() != kSignatureBytes || publicKey.size() != kPublicKeyBytes ||
        sodium_init() < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0)
        return false;
    // Ed25519 signs the whole message at once; a mapping spares a copy of up to 200 MB.
    const auto size = static_cast<size_t>(st.st_size);
    void* bytes = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (bytes == MAP_FAILED)
        return false;
    const bool valid = crypto_sign_verify_detached(
                           reinterpret_cast<const unsigned char*>(signature.constData()),
                           static_cast<const unsigned char*>(bytes), size,
                           reinterpret_cast<const unsigned char*>(publicKey.constData())) == 0;
    ::munmap(bytes, size);
    return valid;
}

} // namespace tavlix
