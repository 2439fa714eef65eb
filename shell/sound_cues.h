// The nine sounds and the one mode each is played in.
#pragma once

enum class SoundCue : int {
    Drop = 801, Gone = 802, Set = 803, LvlUp = 804, Duck = 805,
    Rotate = 806, Gameo = 807, Click = 808, Wow = 809
};

// Plays the cue in its own mode: free cues return at once, waiting cues when
// the sound has ended. Without a sound device every call returns at once.
void PlaySoundCue(SoundCue cue);
