// Releases are signed by the publisher: an Ed25519 signature (libsodium) of the program file's
// bytes, checked against the public key compiled into this build.
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

// Whether `signature` is the publisher's signature of everything `fd` holds (a regular file).
// An empty or unreadable file, a key or signature of the wrong size never passes.
bool signedByPublisher(int fd, const QByteArray& signature, const QByteArray& publicKey);

} // namespace tavlix
