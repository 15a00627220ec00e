#include "support/UpdateSite.h"

#include <httplib.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {

const QByteArray UpdateSite::kProgram = "#!/bin/sh\necho started > restarted.txt\n";

UpdateSite::UpdateSite()
    : SiteServer(u"update"_s) {
    http().Get("/DRIVE.txt", [this](const httplib::Request&, httplib::Response& res) {
        res.status = switchValue(u"driveStatus"_s).toInt(200);
        res.set_content(switchValue(u"drive"_s).toString().toStdString(), "text/plain");
    });
    http().Get("/Tavlix", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Content-Disposition", "attachment; filename=\"Tavlix\"");
        res.set_content(kProgram.toStdString(), "application/octet-stream");
    });
}

void UpdateSite::setDrive(const QString& body, int status) {
    setSwitch(u"drive"_s, body);
    setSwitch(u"driveStatus"_s, status);
}

} // namespace tavlix::test
