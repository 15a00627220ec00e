// Where the browser session takes its programs from.
#pragma once

#include <QString>

namespace tavlix::browser {

// The per-user driver the driver check installs:
// <GenericDataLocation>/Tavlix-Quillmark/chromedriver.
QString perUserDriverPath();

// The chromedriver a session starts: TAVLIX_CHROMEDRIVER, else the per-user driver when it exists,
// else `chromedriver` from the PATH. Empty when none is found.
QString chromedriverPath();

// The browser binary: TAVLIX_BROWSER, else `chromium` from the PATH (its full path).
QString browserPath();

} // namespace tavlix::browser
