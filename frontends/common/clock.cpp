// The seam's clock for every front-end: the calendar time in seconds, which
// seeds a new game's dealer.
#include <ctime>

#include "seam/platform.h"

std::int64_t platform::TimeSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }
