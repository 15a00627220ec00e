// "Portal Durumlarını Güncelle": the approval state of each filed invoice as the portal's
// document list shows it, read date by date in one browser session and kept in the journal.
#pragma once

#include <functional>

#include "invoice/Money.h"
#include "portal/DocumentList.h"
#include "portal/PortalLogin.h"
#include "portal/UploadJournal.h"
#include "store/CompanySettings.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::portal {

// The portal's own words in a row of its document list, and ours for the rest.
inline constexpr char16_t kStateApproved[] = u"Onaylandı";
inline constexpr char16_t kStateNotApproved[] = u"Onaylanmadı";
inline constexpr char16_t kStateDeleted[] = u"Silinmiş";
inline constexpr char16_t kStateNotFound[] = u"portalda bulunamadı";
inline constexpr char16_t kStateUnknown[] = u"?";

// An invoice whose package was filed, as its XML describes it.
struct FiledInvoice {
    QString ettn;
    QString number;
    QDate date;
    QString typeText; // "SATIŞ" …
    QString buyerTaxNumber;
    QString buyerName;
    std::optional<money::Kurus> total; // the XML's payable amount
    QDateTime filedAt;                 // the XML file's time
};

// The state the list gives the invoice: the row that carries its ETTN (else its number) gives
// the portal's word when one of its cells reads exactly that word, "?" otherwise; no such row:
// "portalda bulunamadı".
QString stateInList(const QList<ListRow>& rows, const FiledInvoice& invoice);

// Each read state written into the invoice's journal row (by ETTN, else number) with the time.
// A filed invoice without a row (filed by an earlier version) gets one: outcome "hazırlandı",
// the filing time as the upload time and the XML's total as both totals.
void applyStates(QList<JournalEntry>& journal, const QList<FiledInvoice>& invoices,
                 const QHash<QString, QString>& stateByEttn, const QDateTime& now);

// ETTN → approval state of the journal's rows that have both.
QHash<QString, QString> statesByEttn(const QList<JournalEntry>& journal);

// The document list of one date queried as the upload queries it: the list's link, the fourth
// "date-gen__" field given the date, "Sorgula". The steps that failed are named in `skipped`.
struct ListQueryResult {
    bool linkFollowed = false;
    bool queried = false; // "Sorgula" pressed
    QStringList skipped;
    int waitedMs = 0;
};
// `linkFollowed` runs right after the link was clicked (a set looks for its login page there).
ListQueryResult queryDocumentListOf(BrowserDriver& driver, const QString& date,
                                    const std::function<void()>& linkFollowed = {});

enum class StateRefreshOutcome {
    Offline,
    NoCredentials,
    Nothing,     // no filed invoice in the month
    JournalKept, // the journal could not be read nor moved aside: nothing read or written
    LoginFailed,
    Cancelled, // the states read before "İptal" are kept
    Done,
};

struct StateRefreshInput {
    QString programDir;
    QString portalBase;
    QString company;
    CompanySettings settings;
    QList<FiledInvoice> invoices; // the month's filed invoices
    int listLimitMs = 10000;      // how long one date's list is awaited
};

StateRefreshOutcome refreshPortalStates(const StateRefreshInput& input, UserPrompt& prompt,
                                        const SessionFactory& makeSession);

} // namespace tavlix::portal
