#include "widgets/BrowserPlacement.h"

#include <array>

namespace tavlix {

namespace {

// Smaller than this, the portal's forms need scrolling both ways.
constexpr int kUsableWidth = 480;
constexpr int kUsableHeight = 360;

qint64 area(const QRect& r) {
    return r.isValid() ? qint64(r.width()) * r.height() : 0;
}

// The four strips of `screen` around `covered`: left, right, above, below.
std::array<QRect, 4> stripsAround(const QRect& screen, const QRect& covered) {
    const QRect c = covered & screen;
    return {QRect(QPoint(screen.left(), screen.top()), QPoint(c.left() - 1, screen.bottom())),
            QRect(QPoint(c.right() + 1, screen.top()), QPoint(screen.right(), screen.bottom())),
            QRect(QPoint(screen.left(), screen.top()), QPoint(screen.right(), c.top() - 1)),
            QRect(QPoint(screen.left(), c.bottom() + 1), QPoint(screen.right(), screen.bottom()))};
}

QRect largest(const std::array<QRect, 4>& strips, bool usableOnly) {
    QRect best;
    for (const QRect& strip : strips) {
        const bool usable = strip.width() >= kUsableWidth && strip.height() >= kUsableHeight;
        if ((usable || !usableOnly) && area(strip) > area(best))
            best = strip;
    }
    return best;
}

} // namespace

QRect browserWindowBeside(const QRect& screen, const QRect& program, const QRect& dialog) {
    if (!screen.isValid())
        return {};
    const bool programShown = program.isValid() && screen.intersects(program);
    if (programShown) {
        const QRect beside = largest(stripsAround(screen, program), true);
        if (beside.isValid())
            return beside;
    }
    if (dialog.isValid() && screen.intersects(dialog))
        return largest(stripsAround(screen, dialog), false);
    return programShown ? largest(stripsAround(screen, program), false) : screen;
}

} // namespace tavlix
