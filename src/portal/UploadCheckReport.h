// The message that ends an upload: the program's total beside the portal's, their difference,
// and — when any step of the upload failed — how many were skipped and which came first.
#pragma once

#include <QString>
#include <QStringList>

namespace tavlix::portal {

QString uploadCheckReportTitle(); // "Tavlix Fatura Yükleme Sonrası Kontrol Raporu"

// The five lines joined by CR LF, labels with their blanks as they stand; a sixth line names the
// skipped steps when there are any. The difference is computed in single precision.
QString uploadCheckReport(float checkTotal, float portalTotal, const QStringList& skippedSteps);

} // namespace tavlix::portal
