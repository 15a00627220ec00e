// The units of measure an invoice line may carry: a fixed list, compared exactly.
#pragma once

#include <QString>
#include <QStringList>

namespace tavlix::lines {

// The 49 accepted unit names, in their fixed order; case, blanks and dots all count.
extern const QStringList AcceptedUnitNames;

bool isAcceptedUnit(const QString& text);

// The unit field's rule on every change: an accepted name stays, anything else becomes empty.
QString unitFieldText(const QString& text);

} // namespace tavlix::lines
