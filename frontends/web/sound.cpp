// The sound player: the nine WAVE cues handed to the page, which decodes them
// with WebAudio once the player's first key or click has started the sound,
// one sound at a time. Without a running sound every call returns at once.
// Never decides which cue plays.
#include <emscripten.h>

#include <cstdio>

#include "frontends/web/web_front_end.h"
#include "resources/embedded.h"
#include "seam/platform.h"

namespace {

constexpr int FirstCue = 801;
constexpr int CueCount = 9;

// clang-format off
EM_JS(void, OfferSound, (int cue, const unsigned char* bytes, int size), {
    QV.offerSound(cue, HEAPU8.slice(bytes, bytes + size));
});
EM_JS(int, StartSound, (int cue), { return QV.playSound(cue); });
EM_ASYNC_JS(void, WaitForSound, (), { await QV.soundEnded(); });
// clang-format on

}  // namespace

void RegisterSounds() {
    for (int cue = FirstCue; cue < FirstCue + CueCount; ++cue) {
        char name[8];
        std::snprintf(name, sizeof name, "%d", cue);
        const EmbeddedResource* wave = FindEmbeddedResource(name);
        if (wave != nullptr) OfferSound(cue, wave->data, static_cast<int>(wave->size));
    }
}

namespace platform {

// While a waited sound plays the wasm sleeps and nothing is handled: the
// page's events wait in its queue, as messages wait on the desktop.
void PlayWave(int cue, bool wait) {
    if (cue < FirstCue || cue >= FirstCue + CueCount) return;
    if (StartSound(cue) && wait) WaitForSound();
}

}  // namespace platform
