// Every control carries its name as objectName: the windows, the other windows' logic and the
// tests find it by that name.
#pragma once

#include <QString>

#include <utility>

namespace tavlix {

template <typename Control, typename... Args> Control* named(const QString& name, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)...);
    control->setObjectName(name);
    return control;
}

} // namespace tavlix
