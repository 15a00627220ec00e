#include "support/UpdateSite.h"

#include <httplib.h>
#include <sodium.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {

namespace {

// Not a secret: only the test updater and UpdateSettings built by the tests trust its key.
constexpr char kSeed[] = "Tavlix test release key, no use!";
static_assert(sizeof kSeed - 1 == crypto_sign_SEEDBYTES);

void keyPair(unsigned char* publicKey, unsigned char* secretKey) {
    if (sodium_init() < 0)
        std::abort();
    crypto_sign_seed_keypair(publicKey, secretKey, reinterpret_cast<const unsigned char*>(kSeed));
}

} // namespace

const QByteArray UpdateSite::kProgram = "#!/bin/sh\n{ id -u; id -g; env | grep '^TAVLIX_' | sort; "
                                        "} > out/$$; mv out/$$ out/started.txt\n";

UpdateSite::UpdateSite()
    : SiteServer(u"update"_s) {
    http().Get("/DRIVE.txt", [this](const httplib::Request&, httplib::Response& res) {
        res.status = switchValue(u"driveStatus"_s).toInt(200);
        res.set_content(switchValue(u"drive"_s).toString().toStdString(), "text/plain");
    });
    http().Get("/Tavlix", [this](const httplib::Request&, httplib::Response& res) {
        ++m_programRequests;
        res.set_header("Content-Disposition", "attachment; filename=\"Tavlix\"");
        res.set_content(kProgram.toStdString(), "application/octet-stream");
    });
}

void UpdateSite::setDrive(const QString& body, int status) {
    setSwitch(u"drive"_s, body);
    setSwitch(u"driveStatus"_s, status);
}

QByteArray UpdateSite::publicKey() {
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    keyPair(pk, sk);
    return QByteArray(reinterpret_cast<const char*>(pk), sizeof pk);
}

QByteArray UpdateSite::sign(const QByteArray& bytes) {
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    keyPair(pk, sk);
    unsigned char sig[crypto_sign_BYTES];
    crypto_sign_detached(sig, nullptr, reinterpret_cast<const unsigned char*>(bytes.constData()),
                         static_cast<unsigned long long>(bytes.size()), sk);
    return QByteArray(reinterpret_cast<const char*>(sig), sizeof sig).toHex();
}

} // namespace tavlix::test
