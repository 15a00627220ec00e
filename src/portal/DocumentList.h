// The portal's list of issued documents ("gen__1178-b") as the upload reads it, and which of its
// rows is the invoice just saved. The save counts only when that row is found.
#pragma once

#include "invoice/Money.h"
#include "portal/PortalBrowser.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavlix::portal {

// One "tr" of every "gen__1178-b", counted from 0 over all of them as the row tick counts.
struct ListRow {
    int index = -1;
    // Per "td": the text of its last "span" (as the list is read for the number and date), or
    // the cell's own text when it has none.
    QStringList cells;

    QString number() const { return cells.value(1).trimmed(); } // cell 2
    QString date() const { return cells.value(4).trimmed(); }   // cell 5
    QString ettn() const; // the first UUID-shaped text of its cells; empty when none shows one
    QString key() const { return number() + u'|' + ettn(); }
};

// The rows of every "gen__1178-b" on the page; nothing when the page shows no such list or
// cannot be read.
std::optional<QList<ListRow>> readDocumentList(BrowserDriver& driver);

// What the page shows as a message: a JavaScript alert (accepted after reading), an element with
// role alert, alertdialog or dialog, or a message box of the portal's "csc-" classes; its visible
// text without buttons, trailing dots dropped. Nothing when none is visible.
std::optional<QString> readPageMessage(BrowserDriver& driver);

struct InvoiceRowQuery {
    QStringList ettns; // the ETTNs "gen__1024" showed, the one read after the save first
    // Keys of the rows of the invoice date listed before the save; nothing when the list could
    // not be queried then.
    std::optional<QSet<QString>> before;
    QString taxNumber;                       // the buyer's, as typed into the form
    std::optional<money::Kurus> portalTotal; // nothing when the page showed none
    QDate invoiceDate;
};

struct InvoiceRowMatch {
    enum class Kind { None, Found, Ambiguous };
    Kind kind = Kind::None;
    ListRow row;         // when found
    QStringList numbers; // the rows that cannot be told apart, when ambiguous
};

// The row carrying one of the ETTNs; otherwise the one new row of the invoice date whose cells
// hold the buyer's tax number and the portal total (a list that shows no tax number or no amount
// is not asked for it). Several such rows are ambiguous.
InvoiceRowMatch findInvoiceRow(const QList<ListRow>& rows, const InvoiceRowQuery& query);

} // namespace tavlix::portal
