#include "invoice/VatRates.h"

#include "invoice/Money.h"

#include <map>

using namespace Qt::StringLiterals;

namespace tavlix {

QStringList standingVatRates() {
    return {u"0"_s, u"1"_s, u"10"_s, u"20"_s};
}

QStringList vatRateChoices(const QStringList& workbookRates) {
    std::map<double, QString> byValue;
    for (const QString& rate : standingVatRates())
        byValue.emplace(money::value(rate), rate);
    for (const QString& text : workbookRates) {
        const QString rate = text.trimmed();
        const auto value = money::read(rate);
        if (value && *value >= 0 && !rate.isEmpty())
            byValue.insert_or_assign(*value, rate);
    }
    QStringList out;
    for (const auto& entry : byValue)
        out.append(entry.second);
    return out;
}

} // namespace tavlix
