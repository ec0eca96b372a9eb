#pragma once

namespace wexon::platform {

// Hands the heap's free pages back to the system. The C library keeps what a
// program freed for its next allocations; after start-up has read the log, the
// country table and the known calls, most of what the reading took is free
// and would otherwise stay counted against the program for the whole contest.
void releaseFreedMemory();

} // namespace wexon::platform
