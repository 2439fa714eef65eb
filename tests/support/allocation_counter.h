// Counts the program's heap allocations between StartCountingAllocations and
// StopCountingAllocations, by replacing the global operator new. Linked only
// into tests that run on the seam that does nothing, since the recording fake
// allocates for its own trace.
#pragma once

void StartCountingAllocations();
// Stops counting; returns how many allocations were made since the start.
long StopCountingAllocations();
