// The release server's stand-in for the update tests: /DRIVE.txt (body and status from the
// switches "drive" and "driveStatus"), the download pages of tests/sites/update/, and the new
// program /Tavlix served as a download.
#pragma once

#include "support/SiteServer.h"

#include <QByteArray>

namespace tavlix::test {

class UpdateSite : public SiteServer {
public:
    // A stand-in program: records its start in restarted.txt in its working folder.
    static const QByteArray kProgram;

    UpdateSite();
    void setDrive(const QString& body, int status = 200);
};

} // namespace tavlix::test
