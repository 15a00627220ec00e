// The main window's two portal shortcuts: log in and leave the user on a portal page, the browser
// window staying open after the operation.
#pragma once

#include "portal/PortalLogin.h"
#include "store/CompanySettings.h"

namespace tavlix {
class UserPrompt;
}

namespace tavlix::portal {

enum class Shortcut {
    IssuedDocuments, // " e-Arşiv Taslak": "Düzenlenen Belgeler (5.000/30.000 TL)"
    Cancellations,   // "İptal/İtiraz": "İptal/İtiraz Talepleri"
};

enum class ShortcutOutcome {
    Offline,
    NoCredentials,
    LoginFailed,
    PageNotOpened,
    PageOpened,
    Cancelled
};

ShortcutOutcome runPortalShortcut(Shortcut shortcut, const QString& portalUrl,
                                  const CompanySettings& settings, UserPrompt& prompt,
                                  const SessionFactory& makeSession = portal::makeSession);

} // namespace tavlix::portal
