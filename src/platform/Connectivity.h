// Whether the computer is online. TAVLIX_CONNECTIVITY=online|offline decides when set (tests,
// demo); otherwise the system's reachability, or — without a reachability backend — a non-loopback
// interface that is up and has an address.
#pragma once

namespace tavlix {

bool isOnline();

} // namespace tavlix
