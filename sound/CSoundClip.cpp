#include "sound/CSoundClip.h"

#include <SDL_mixer.h>

CSoundClip::CSoundClip()
    : music(nullptr), chunk(nullptr), buffer(-1), positional(false), headRelative(false) {}

CSoundClip::~CSoundClip() { FreeData(); }

void CSoundClip::FreeData() {
    if (music) {
        Mix_FreeMusic(music);
        music = nullptr;
    }
    if (chunk) {
        Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
}
