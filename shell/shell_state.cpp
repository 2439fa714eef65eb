// The shell's records, at their start values.
#include "shell/shell_state.h"

ScreenMode CurrentScreen = ScreenMode::Game;
ButtonId HeldButton = ButtonId::None;
bool HeldFromFrame = false;
