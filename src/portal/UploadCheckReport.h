// The message that ends an upload: the program's total beside the portal's, their difference,
// and — when any step of the upload failed — how many were skipped and which came first.
#pragma once

#include "invoice/Money.h"

#include <QString>
#include <QStringList>

namespace tavlix::portal {

QString uploadCheckReportTitle(); // "Tavlix Fatura Yükleme Sonrası Kontrol Raporu"

// The five lines joined by CR LF, labels with their blanks as they stand; a sixth line names the
// skipped steps when there are any. Totals and their difference are exact to the kuruş. When the
// portal did not confirm the save, the first line says so.
QString uploadCheckReport(money::Kurus checkTotal, money::Kurus portalTotal,
                          const QStringList& skippedSteps, bool saveConfirmed = true);

} // namespace tavlix::portal
