#include "invoice/Money.h"

#include "platform/NumberText.h"

#include <cmath>

namespace tavlix::money {

QString text(double value) {
    return fixedNumberText(value, 2, true);
}

QString rateText(double value) {
    return fixedNumberText(value, 3, true);
}

double rnd2(double value) {
    // std::nearbyint rounds halves to even in the default rounding mode.
    const double r = std::nearbyint(value * 100.0) / 100.0;
    return r == 0 ? 0.0 : r;
}

std::optional<double> read(const QString& text) {
    return readRegionalNumber(text);
}

bool isNumeric(const QString& text) {
    return readRegionalNumber(text).has_value();
}

double value(const QString& text) {
    return readRegionalNumber(text).value_or(0.0);
}

QString plainText(double value) {
    return generalNumberText(value);
}

} // namespace tavlix::money
