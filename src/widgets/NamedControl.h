// Every control carries its name as objectName: the windows, the other windows' logic and the
// tests find it by that name. A named label shows its text as plain text: what a label shows
// may come from outside (a company name, a site's words, a path), and a window that writes its
// own markup into one says so with setTextFormat(Qt::RichText).
#pragma once

#include <QString>

#include <type_traits>
#include <utility>

class QLabel;

namespace tavlix {

template <typename Control, typename... Args> Control* named(const QString& name, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)...);
    control->setObjectName(name);
    if constexpr (std::is_base_of_v<QLabel, Control>)
        control->setTextFormat(Qt::PlainText);
    return control;
}

} // namespace tavlix
