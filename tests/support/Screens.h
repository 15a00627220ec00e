// The screens of the test platform: a large one and a laptop-sized one.
#pragma once

#include <QByteArray>
#include <QSize>

class QScreen;

namespace tavlix::test {

inline constexpr QSize kLargeScreen{1600, 1000};
inline constexpr QSize kSmallScreen{1280, 800};

// The offscreen platform's configuration: both screens side by side, the large one first.
QByteArray offscreenConfiguration();

// The screen of that size, or nullptr when the platform has none (another platform is in use).
QScreen* screenOfSize(QSize size);

} // namespace tavlix::test
