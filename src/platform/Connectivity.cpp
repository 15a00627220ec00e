#include "platform/Connectivity.h"

#include <QNetworkInformation>
#include <QNetworkInterface>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

bool anInterfaceIsUp() {
    const auto interfaces = QNetworkInterface::allInterfaces();
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
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        const auto reach = QNetworkInformation::instance()->reachability();
        if (reach == QNetworkInformation::Reachability::Online)
            return true;
        if (reach != QNetworkInformation::Reachability::Unknown)
            return false;
    }
    return anInterfaceIsUp();
}

} // namespace tavlix
