// One W3C "Perform Actions" request built step by step: a mouse and a keyboard acting in turn,
// so a whole row of fields is clicked and typed in one round trip with real input events.
#pragma once

#include "browser/BrowserDriver.h"

#include <QJsonArray>
#include <QJsonObject>

namespace tavlix::browser {

class ActionChain {
public:
    // A left click in the middle of the element; the element must be in view.
    void click(const Element& element);
    // The key strokes of the text, one code point a key; a line break is an Enter.
    void type(const QString& text);
    void pause(int milliseconds);

    bool isEmpty() const { return m_pointer.isEmpty(); }
    // The request body: {"actions": [pointer source, key source]}.
    QJsonObject request() const;

private:
    void tick(const QJsonObject& pointer, const QJsonObject& key);

    QJsonArray m_pointer;
    QJsonArray m_keys;
};

} // namespace tavlix::browser
