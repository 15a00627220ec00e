#include "platform/Connectivity.h"

#include <QNetworkInformation>
#include <QNetworkInterface>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {
bool anInterfaceIsUp() {
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const auto flags = i.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        if (!i.addressEntries().isEmpty())
            return true;
    }
    return false;
}
} // namespace

bool isOnline() {
    const QString forced = qEnvironmentVariable("TAVLIX_CONNECTIVITY").trimmed().toLower();
    if (forced == u"online"_s)
        return true;
    if (forced == u"offline"_s)
        return false;
    if (QNetworkInformation::loadDefaultBackend() ||
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        if (QNetworkInformation* info = QNetworkInformation::instance();
            info && info->supports(QNetworkInformation::Feature::Reachability) &&
            info->reachability() != QNetworkInformation::Reachability::Unknown)
            return info->reachability() == QNetworkInformation::Reachability::Online;
    }
    return anInterfaceIsUp();
}

} // namespace tavlix
