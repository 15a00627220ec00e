// "SORGULA": looks a tax or identity number up on the e-Archive portal's invoice form, which fills
// the buyer's name and tax office itself once the number is typed and the focus leaves it.
#pragma once

#include "portal/PortalLogin.h"
#include "store/CompanySettings.h"

namespace tavlix {
class UserPrompt;
}

namespace tavlix::customers {

struct LookupResult {
    enum class Kind { None, Organisation, Person };
    // The customer type the card switches to (by the number's length), also when nothing was read.
    Kind kind = Kind::None;
    bool read = false; // the fields below come from the portal
    QString title;
    QString firstName;
    QString surname;
    QString taxOffice;
    // The card's status line afterwards; empty leaves it empty.
    QString status;
};

// Messages go through `prompt` as boxes; the status line text comes back in the result. The
// session is always released before this returns.
LookupResult lookUpTaxNumber(const QString& number, const QString& portalUrl,
                             const CompanySettings& settings, UserPrompt& prompt,
                             const portal::SessionFactory& makeSession = portal::makeSession);

} // namespace tavlix::customers
