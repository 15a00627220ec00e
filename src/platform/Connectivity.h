// Whether the computer is online: TAVLIX_CONNECTIVITY=online|offline when set, else the system's
// reachability, else (no backend) any interface besides loopback that is up with an address.
#pragma once

namespace tavlix {

bool isOnline();

} // namespace tavlix
