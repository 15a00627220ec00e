// The per-user runtime folder (XDG_RUNTIME_DIR) Qt wants. A session without one gets a private
// folder of its own, so Qt has nothing to warn about on the terminal.
#pragma once

namespace tavlix {

// Sets XDG_RUNTIME_DIR to a folder only this user can use when it is unset; call before the
// QApplication is made. A folder that cannot be made private is left to Qt's own fallback.
void ensureRuntimeFolder();

} // namespace tavlix
