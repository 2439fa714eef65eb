// Which sounds hold the game still while they play. Waiting mode paces the
// landings, row removals, level changes, the end of a game and every click.
#include "engine/effects.h"

#include "seam/platform.h"

namespace {

struct CueMode {
    SoundCue cue;
    bool wait;
};

constexpr CueMode CueModes[] = {
    {SoundCue::Drop, false},  {SoundCue::Gone, true},    {SoundCue::Set, true},
    {SoundCue::LvlUp, true},  {SoundCue::Duck, true},    {SoundCue::Rotate, false},
    {SoundCue::Gameo, true},  {SoundCue::Click, true},   {SoundCue::Wow, false},
};

}  // namespace

void PlaySoundCue(SoundCue cue) {
    for (const CueMode& entry : CueModes) {
        if (entry.cue == cue) {
            platform::PlayWave(static_cast<int>(cue), entry.wait);
            return;
        }
    }
}
