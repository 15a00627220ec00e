#include "browser/DriverPaths.h"

#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace tavlix::browser {

QString perUserDriverPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           u"/Tavlix-Quillmark/chromedriver"_s;
}

QString chromedriverPath() {
    const QString fromEnv = qEnvironmentVariable("TAVLIX_CHROMEDRIVER");
    if (!fromEnv.isEmpty())
        return fromEnv;
    const QFileInfo perUser(perUserDriverPath());
    if (perUser.isFile() && perUser.isExecutable())
        return perUser.filePath();
    return QStandardPaths::findExecutable(u"chromedriver"_s);
}

QString browserPath() {
    const QString fromEnv = qEnvironmentVariable("TAVLIX_BROWSER");
    const QString name = fromEnv.isEmpty() ? u"chromium"_s : fromEnv;
    if (name.contains(u'/'))
        return name;
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? name : found;
}

} // namespace tavlix::browser
