// The sound player: one device, the nine cues decoded and converted to the
// device's format once, one sound at a time. Never decides which cue plays.
#include <cstdio>

#include "seam/platform.h"
#include "frontends/sdl/front_end.h"
#include "resources/embedded.h"

namespace {

constexpr int FirstCue = 801;
constexpr int CueCount = 9;

struct LoadedSound {
    Uint8* samples;  // in the device's format; null when the cue failed to load
    Uint32 length;   // bytes
    Uint32 lengthMs;
};

// While nothing sounds, the main thread holds the device's lock, so that the
// device's thread sleeps instead of mixing silence dozens of times a second.
struct SoundPlayer {
    SDL_AudioDeviceID device;    // 0: no device, every call returns at once
    SDL_AudioSpec output;        // the device's own format
    LoadedSound cues[CueCount];
    // Shared with the device's callback, under the device lock.
    const LoadedSound* playing;  // null: silence
    Uint32 position;             // bytes of `playing` already mixed
    SDL_sem* finished;           // posted when a waited-for sound has been mixed to its end
    bool waited;                 // the playing sound has a caller waiting for it
    bool resting;                // the main thread holds the lock: the device is idle
};

SoundPlayer Player;

void Mix(void*, Uint8* stream, int length) {
    SDL_memset(stream, Player.output.silence, static_cast<std::size_t>(length));
    if (Player.playing == nullptr) return;
    const Uint32 left = Player.playing->length - Player.position;
    const Uint32 count = left < static_cast<Uint32>(length) ? left : static_cast<Uint32>(length);
    SDL_memcpy(stream, Player.playing->samples + Player.position, count);
    Player.position += count;
    if (Player.position >= Player.playing->length) {
        Player.playing = nullptr;
        if (Player.waited) SDL_SemPost(Player.finished);
        Player.waited = false;
        SDL_Event rest;
        SDL_zero(rest);
        rest.type = FrontEnd.soundEvent;
        SDL_PushEvent(&rest);
    }
}

LoadedSound Prepare(int cue) {
    LoadedSound sound = {nullptr, 0, 0};
    char name[8];
    std::snprintf(name, sizeof name, "%d", cue);
    const EmbeddedResource* wave = FindEmbeddedResource(name);
    if (wave == nullptr) return sound;
    SDL_AudioSpec format;
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(SDL_RWFromConstMem(wave->data, static_cast<int>(wave->size)), 1, &format, &samples, &length) ==
        nullptr) {
        return sound;
    }
    SDL_AudioCVT convert;
    if (SDL_BuildAudioCVT(&convert, format.format, format.channels, format.freq, Player.output.format,
                          Player.output.channels, Player.output.freq) < 0) {
        SDL_FreeWAV(samples);
        return sound;
    }
    convert.len = static_cast<int>(length);
    convert.buf = static_cast<Uint8*>(SDL_malloc(static_cast<std::size_t>(length) * convert.len_mult));
    if (convert.buf == nullptr) {
        SDL_FreeWAV(samples);
        return sound;
    }
    SDL_memcpy(convert.buf, samples, length);
    SDL_FreeWAV(samples);
    if (convert.needed != 0 && SDL_ConvertAudio(&convert) < 0) {
        SDL_free(convert.buf);
        return sound;
    }
    sound.samples = convert.buf;
    sound.length = static_cast<Uint32>(convert.needed != 0 ? convert.len_cvt : convert.len);
    const Uint32 frameBytes = (SDL_AUDIO_BITSIZE(Player.output.format) / 8) * Player.output.channels;
    sound.lengthMs = static_cast<Uint32>(std::uint64_t{sound.length} * 1000 / frameBytes / Player.output.freq);
    return sound;
}

}  // namespace

void OpenSound() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = 22050;  // the rate of nearly every cue
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = 512;
    wanted.callback = Mix;
    Player.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &Player.output, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (Player.device == 0) return;
    Player.finished = SDL_CreateSemaphore(0);
    // 804 is ADPCM with a fact chunk that gives its exact length.
    SDL_SetHint(SDL_HINT_WAVE_FACT_CHUNK, "truncate");
    for (int i = 0; i < CueCount; ++i) Player.cues[i] = Prepare(FirstCue + i);
    SDL_PauseAudioDevice(Player.device, 0);
    RestSound();
}

void RestSound() {
    if (Player.device == 0 || Player.resting) return;
    SDL_LockAudioDevice(Player.device);
    Player.resting = Player.playing == nullptr;
    if (!Player.resting) SDL_UnlockAudioDevice(Player.device);
}

void CloseSound() {
    if (Player.device == 0) return;
    if (Player.resting) SDL_UnlockAudioDevice(Player.device);
    Player.resting = false;
    SDL_CloseAudioDevice(Player.device);
    Player.device = 0;
    for (LoadedSound& sound : Player.cues) SDL_free(sound.samples);
    SDL_DestroySemaphore(Player.finished);
    Player.finished = nullptr;
}

void WakeWaitingSound() {
    if (Player.finished != nullptr) SDL_SemPost(Player.finished);
}

namespace platform {

void PlayWave(int cue, bool wait) {
    if (Player.device == 0 || cue < FirstCue || cue >= FirstCue + CueCount) return;
    const LoadedSound& sound = Player.cues[cue - FirstCue];
    if (sound.samples == nullptr) return;
    // The player sees the picture as it stands while the program stands still.
    if (wait) ShowSurface();
    if (!Player.resting) SDL_LockAudioDevice(Player.device);
    Player.resting = false;
    while (SDL_SemTryWait(Player.finished) == 0) {
    }
    Player.playing = &sound;
    Player.position = 0;
    Player.waited = wait;
    SDL_UnlockAudioDevice(Player.device);
    // A program asked to end waits for no sound.
    if (!wait || QuitSignalled()) return;
    // Mixed to its end is not yet heard to its end: the wait lasts the whole
    // sound. A device that stops calling back must not hang the game.
    const Uint32 start = SDL_GetTicks();
    SDL_SemWaitTimeout(Player.finished, sound.lengthMs + 500);
    if (QuitSignalled()) return;
    const Uint32 spent = SDL_GetTicks() - start;
    if (spent < sound.lengthMs) SDL_Delay(sound.lengthMs - spent);
}

}  // namespace platform
