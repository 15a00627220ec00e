#include "support/Screens.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace tavlix::test {

QByteArray offscreenConfiguration() {
    auto screen = [](const QString& name, int x, QSize size) {
        return QJsonObject{{u"name"_s, name},
                           {u"x"_s, x},
                           {u"y"_s, 0},
                           {u"width"_s, size.width()},
                           {u"height"_s, size.height()},
                           {u"logicalDpi"_s, 96},
                           {u"logicalBaseDpi"_s, 96},
                           {u"dpr"_s, 1.0}};
    };
    const QJsonObject config{
        {u"synchronousWindowSystemEvents"_s, false},
        {u"windowFrameMargins"_s, true},
        {u"screens"_s, QJsonArray{screen(u"large"_s, 0, kLargeScreen),
                                  screen(u"small"_s, kLargeScreen.width(), kSmallScreen)}}};
    return QJsonDocument(config).toJson();
}

QScreen* screenOfSize(QSize size) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry().size() == size)
            return screen;
    }
    return nullptr;
}

} // namespace tavlix::test
