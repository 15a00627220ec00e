#include "LibreOffice.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {

namespace {
const QString kSoffice = u"/usr/bin/soffice"_s;
}

bool haveLibreOffice() {
    return QFileInfo(kSoffice).isExecutable();
}

bool convertWithLibreOffice(const QString& input, const QString& filter, const QString& outDir) {
    QTemporaryDir profile;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(kSoffice, {u"-env:UserInstallation="_s + QUrl::fromLocalFile(profile.path()).toString(),
                       u"--headless"_s, u"--norestore"_s, u"--convert-to"_s, filter, u"--outdir"_s,
                       outDir, input});
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "LibreOffice did not finish";
        return false;
    }
    const QByteArray log = p.readAll();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "LibreOffice failed: " << log.toStdString();
        return false;
    }
    return true;
}

} // namespace tavlix::test
