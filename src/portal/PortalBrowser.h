// The browser operations the portal's steps are written in, named as the portal code uses them.
#pragma once

#include "browser/BrowserDriver.h"

namespace tavlix::portal {

using browser::BrowserDriver;
using browser::Element;
using browser::ElementList;
namespace keys = browser::keys;

} // namespace tavlix::portal
