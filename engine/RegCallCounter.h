#pragma once
// Counts the registry calls this program makes through its registry layer,
// so the benchmark can tell how many calls a scan needs per entry. Under
// Wine each call is a round trip to the server, on Windows a kernel call:
// the count, more than anything else, sets the speed of a scan.

namespace RegCheck {

// Adds one call; safe from any thread.
void CountRegistryCall();

// Calls counted since the process started.
long RegistryCallCount();

}  // namespace RegCheck
