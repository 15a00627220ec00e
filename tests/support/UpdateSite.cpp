#include "support/UpdateSite.h"

#include <QCryptographicHash>

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

QByteArray sha256(const QByteArray& program) {
    return QCryptographicHash::hash(program, QCryptographicHash::Sha256).toHex();
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

QByteArray UpdateSite::sign(const QByteArray& program, int version) {
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    keyPair(pk, sk);
    const QByteArray text = "Tavlix " + QByteArray::number(version) + '\n' + sha256(program);
    unsigned char sig[crypto_sign_BYTES];
    crypto_sign_detached(sig, nullptr, reinterpret_cast<const unsigned char*>(text.constData()),
                         static_cast<unsigned long long>(text.size()), sk);
    return QByteArray(reinterpret_cast<const char*>(sig), sizeof sig).toHex();
}

QString UpdateSite::release(const QByteArray& program, int version, int signedAs) {
    return u"Tavlix||||%1||||,sha256:%2,sig:%3"_s.arg(version).arg(
        QString::fromLatin1(sha256(program)), QString::fromLatin1(sign(program, signedAs)));
}

QByteArray UpdateSite::signatureFile(const QByteArray& program, int version, int signedAs) {
    return "Tavlix " + QByteArray::number(version) + '\n' + sign(program, signedAs) + '\n';
}

} // namespace tavlix::test
