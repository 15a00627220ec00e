// The message that ends an upload: the program's total beside the portal's, their difference,
// and — when any step of the upload failed — how many were skipped and which came first.
#pragma once

#include "invoice/Money.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace tavlix::portal {

QString uploadCheckReportTitle(); // "Tavlix Fatura Yükleme Sonrası Kontrol Raporu"

// A buyer's name (title, or first name and surname) and tax office.
struct BuyerNames {
    QString name;
    QString taxOffice;
};

// True when the two name the same buyer: Turkish upper case, blanks collapsed.
bool sameBuyer(const BuyerNames& a, const BuyerNames& b);

// The report's two lines " Portal Alıcı Bilgisi …" and " Kart Alıcı Bilgisi …" when the buyer
// the portal wrote differs from the card's; none when they agree or either side is empty.
QStringList buyerDifferenceLines(const BuyerNames& portal, const BuyerNames& card);

// A skipped step as the user knows it: "gen__1041" → "Alıcı vergi dairesi", "gen__1067 V9015" →
// "Vergi V9015 seçimi"; a step with " onay" after its id is that field's confirmation. A line
// field's name comes from `lineFields` (id → "Satır 3 KDV oranı"). A text that is no id stays.
QString skippedStepName(const QString& step, const QHash<QString, QString>& lineFields = {});
// "Satır <line> " + the column as the user reads it: "KDV%" → "KDV oranı".
QString lineFieldName(int line, const QString& header);

// The five lines joined by CR LF, labels with their blanks as they stand, then `buyerLines`; a
// last line names the skipped steps when there are any, by skippedStepName. Totals and their
// difference are exact to the kuruş. When the portal did not confirm the save, the first line says
// so.
QString uploadCheckReport(money::Kurus checkTotal, money::Kurus portalTotal,
                          const QStringList& skippedSteps, bool saveConfirmed = true,
                          const QStringList& buyerLines = {});

} // namespace tavlix::portal
