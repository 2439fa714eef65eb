// resources/ holds the pictures, sounds, icons and font the programs carry.
// The resources compiled into the SDL program: every picture, sound, the icon
// and the font, found by name, so that the program needs no file beside it.
#pragma once

#include <cstddef>

struct EmbeddedResource {
    const char* name;            // "Console", "P0", "801", "icon.png", "font.ttf", ...
    const unsigned char* data;   // the file's bytes
    std::size_t size;
};

// The resource of that name, compared without regard to case; null if none.
const EmbeddedResource* FindEmbeddedResource(const char* name);
