// The engine's fall timer and clock, carried out on the window's timer and
// the machine's clock. The engine only names them (engine/effects.h).
#include "engine/effects.h"

#include "seam/platform.h"

void ArmFallTimer(int id, int periodMs) { platform::ArmTimer(id, periodMs); }

void StopFallTimer(int id) { platform::StopTimer(id); }

std::int64_t ClockSeconds() { return platform::TimeSeconds(); }
