// Releases are signed by the publisher: an Ed25519 signature (libsodium) of the text
// "Tavlix <three-digit version>\n<SHA-256 of the program, lowercase hex>", checked against the
// public key compiled into this build. The version is signed too, so an older signed release
// cannot be offered as a newer one.
#pragma once

#include <QByteArray>

#include <optional>

namespace tavlix {

inline constexpr int kPublicKeyBytes = 32;
inline constexpr int kSignatureBytes = 64;

// The publisher's public key this build was configured with (TAVLIX_UPDATE_PUBLIC_KEY); empty
// when it has none, and then no update is offered or installed.
QByteArray compiledUpdateKey();

// The bytes `hex` stands for when it is exactly 2 × `bytes` hex digits; nothing otherwise.
std::optional<QByteArray> bytesFromHex(const QByteArray& hex, int bytes);

// What the publisher signs for a release: "Tavlix 104\n9f86d0…" (no final line break).
QByteArray releaseText(int version, const QByteArray& sha256Hex);

// The SHA-256 of everything `fd` holds, lowercase hex, read from its start; nothing for an
// empty, unreadable or not regular file.
std::optional<QByteArray> fileSha256(int fd);

// Whether `signature` is the publisher's signature of release `version` with that SHA-256.
// A version outside 0–999, a key, hash or signature of the wrong size never passes.
bool releaseSignedByPublisher(int version, const QByteArray& sha256Hex, const QByteArray& signature,
                              const QByteArray& publicKey);

// The signature file Tavlix leaves beside the download for the updater: "Tavlix 104\n<128 hex>\n".
QByteArray signatureFileText(int version, const QByteArray& signature);
struct SignatureFile {
    int version = 0;
    QByteArray signature; // 64 bytes
};
// Nothing unless `text` is exactly such a file (the last line break may be missing).
std::optional<SignatureFile> parseSignatureFile(const QByteArray& text);

} // namespace tavlix
