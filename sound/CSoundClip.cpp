#include "sound/CSoundClip.h"

#include <SDL_mixer.h>

CSoundClip::CSoundClip() : chunk(nullptr), buffer(-1), positional(false), headRelative(false) {}

CSoundClip::~CSoundClip() { CSoundClip::FreeData(); }

void CSoundClip::FreeData() {
    song.reset();
    if (chunk) {
        Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
}
