// The release server's stand-in for the update tests: /DRIVE.txt (body and status from the
// switches "drive" and "driveStatus"), the download pages of tests/sites/update/, and the new
// program /Tavlix served as a download. Releases are signed with the tests' own key: the text
// "Tavlix <version>\n<SHA-256 hex>", computed here apart from the program's own code.
#pragma once

#include "support/SiteServer.h"

#include <QByteArray>

#include <atomic>

namespace tavlix::test {

class UpdateSite : public SiteServer {
public:
    // A stand-in program: records who it runs as and its TAVLIX_* variables in out/started.txt.
    static const QByteArray kProgram;

    UpdateSite();
    void setDrive(const QString& body, int status = 200);
    // How often /Tavlix was fetched.
    int programRequests() const { return m_programRequests; }

    // The tests' release key (the public half is compiled into the test updater) and the
    // signature of `program` as release `version` with it, 128 hex digits.
    static QByteArray publicKey();
    static QByteArray sign(const QByteArray& program, int version = 104);
    // DRIVE.txt announcing `program` as `version`, signed as release `signedAs`.
    static QString release(const QByteArray& program, int version, int signedAs);
    // prgDosyaları/Tavlix.sig as Tavlix leaves it: naming `version`, signed as `signedAs`.
    static QByteArray signatureFile(const QByteArray& program, int version, int signedAs);

private:
    std::atomic<int> m_programRequests = 0;
};

} // namespace tavlix::test
