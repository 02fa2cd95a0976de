#include "sound/CSynthesizer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <cstdio>
#include <string>

// Windows plays the songs on its own General MIDI synthesizer through SDL_mixer's native MIDI
// music, so there is no soundfont to find and no rendering thread. Where the system's MIDI
// device cannot be opened (Wine without one, a machine with no synthesizer), the songs stay
// silent and the game goes on.

namespace {

bool opened = false;
Mix_Music* music = nullptr;
// The bytes the music was loaded from, kept for as long as the mixer may read them.
std::shared_ptr<const std::vector<uint8_t>> bytes;
float gainNow = 1.0f;
bool toldSilent = false;

void SaySilent(const char* what) {
    if (toldSilent) return;
    toldSilent = true;
    std::fprintf(stderr, "Pondquest: %s (%s); the songs stay silent\n", what, Mix_GetError());
}

void FreeMusic() {
    if (!music) return;
    Mix_HaltMusic();
    Mix_FreeMusic(music);
    music = nullptr;
    bytes.reset();
}

void ApplyGain() {
    if (!opened) return;
    const float level = gainNow < 0.0f ? 0.0f : gainNow > 1.0f ? 1.0f : gainNow;
    Mix_VolumeMusic(static_cast<int>(std::lround(MIX_MAX_VOLUME * level)));
}

}  // namespace

std::vector<std::string> CSynthesizer::SoundFontPlaces() { return {}; }

// The system's own synthesizer needs no soundfont: always found, with an empty path.
bool CSynthesizer::FindSoundFont(const std::vector<std::string>&, std::string* path, std::string*) {
    path->clear();
    return true;
}

void CSynthesizer::Open(const std::string&) {
    opened = true;
    ApplyGain();
}

void CSynthesizer::Close() {
    FreeMusic();
    opened = false;
}

void CSynthesizer::Play(std::shared_ptr<const std::vector<uint8_t>> song, int plays) {
    if (!opened) return;
    FreeMusic();
    if (!song || song->empty()) return;
    SDL_RWops* source = SDL_RWFromConstMem(song->data(), static_cast<int>(song->size()));
    music = source ? Mix_LoadMUSType_RW(source, MUS_MID, 1) : nullptr;
    if (!music) {
        SaySilent("the MIDI song cannot be loaded");
        return;
    }
    bytes = std::move(song);
    ApplyGain();
    // The mixer counts plays the same way: -1 for ever, otherwise how many times in all.
    if (Mix_PlayMusic(music, plays) != 0) {
        SaySilent("the system's MIDI device cannot play");
        FreeMusic();
    }
}

void CSynthesizer::Stop() { FreeMusic(); }

bool CSynthesizer::IsPlaying() { return music && Mix_PlayingMusic(); }

void CSynthesizer::SetGain(float gain) {
    gainNow = gain;
    ApplyGain();
}
