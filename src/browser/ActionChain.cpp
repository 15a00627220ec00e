#include "browser/ActionChain.h"

using namespace Qt::StringLiterals;

namespace tavlix::browser {

namespace {

constexpr auto kElementKey = "element-6066-11e4-a52e-4f735466cecf";

QJsonObject idle() {
    return {{u"type"_s, u"pause"_s}, {u"duration"_s, 0}};
}

QJsonObject key(const QString& type, const QString& value) {
    return {{u"type"_s, type}, {u"value"_s, value}};
}

} // namespace

// Both sources advance together: every tick holds one action of each.
void ActionChain::tick(const QJsonObject& pointer, const QJsonObject& key) {
    m_pointer.append(pointer);
    m_keys.append(key);
}

void ActionChain::click(const Element& element) {
    tick({{u"type"_s, u"pointerMove"_s},
          {u"duration"_s, 0},
          {u"origin"_s, QJsonObject{{QLatin1StringView(kElementKey), element.ref}}},
          {u"x"_s, 0},
          {u"y"_s, 0}},
         idle());
    tick({{u"type"_s, u"pointerDown"_s}, {u"button"_s, 0}}, idle());
    tick({{u"type"_s, u"pointerUp"_s}, {u"button"_s, 0}}, idle());
}

void ActionChain::type(const QString& text) {
    for (const uint codePoint : text.toUcs4()) {
        if (codePoint == u'\r')
            continue;
        const QString value =
            codePoint == u'\n'
                ? keys::Enter
                : QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1);
        tick(idle(), key(u"keyDown"_s, value));
        tick(idle(), key(u"keyUp"_s, value));
    }
}

void ActionChain::pause(int milliseconds) {
    const QJsonObject wait{{u"type"_s, u"pause"_s}, {u"duration"_s, std::max(0, milliseconds)}};
    tick(wait, wait);
}

QJsonObject ActionChain::request() const {
    const QJsonObject pointer{{u"type"_s, u"pointer"_s},
                              {u"id"_s, u"mouse"_s},
                              {u"parameters"_s, QJsonObject{{u"pointerType"_s, u"mouse"_s}}},
                              {u"actions"_s, m_pointer}};
    const QJsonObject keyboard{
        {u"type"_s, u"key"_s}, {u"id"_s, u"keyboard"_s}, {u"actions"_s, m_keys}};
    return {{u"actions"_s, QJsonArray{pointer, keyboard}}};
}

} // namespace tavlix::browser
