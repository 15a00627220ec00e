#include "support/Openpyxl.h"

#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

namespace tavlix::test {

namespace {

struct Run {
    bool ok = false;
    QByteArray out;
};

Run runPython(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "python3 did not finish";
        return r;
    }
    r.out = p.readAllStandardOutput();
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!r.ok)
        ADD_FAILURE() << "python3 failed: " << p.readAllStandardError().toStdString();
    return r;
}

} // namespace

QJsonObject readWithOpenpyxl(const QString& path) {
    const Run r = runPython({QStringLiteral(TAVLIX_TEST_SOURCE_DIR "/support/xlsx_dump.py"), path});
    if (!r.ok)
        return {};
    return QJsonDocument::fromJson(r.out).object();
}

bool writeWithOpenpyxl(const QString& path, const QString& pythonCode) {
    const QString script = QStringLiteral("import sys, openpyxl\n"
                                          "from openpyxl.styles import Font, PatternFill\n"
                                          "path = sys.argv[1]\n") +
                           pythonCode;
    return runPython({QStringLiteral("-c"), script, path}).ok;
}

bool writeEditedDataWorkbook(const QString& path) {
    return runPython(
               {QStringLiteral(TAVLIX_TEST_SOURCE_DIR "/support/edited_data_workbook.py"), path})
        .ok;
}

} // namespace tavlix::test
