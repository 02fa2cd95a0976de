#include "sound/CSynthesizer.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <cmath>
#include <cstdio>
#include <string>

// Windows plays the songs on its own General MIDI synthesizer through SDL_mixer's native MIDI
// music, so there is no soundfont to find and no rendering thread. Where the system's MIDI
// device cannot be opened (Wine without one, a machine with no synthesizer), the songs stay
// silent and the game goes on.

namespace {

bool opened = false;
enum DeviceState { kUntried, kWorks, kRefused };
DeviceState device = kUntried;  // whether the system's MIDI stream opened when first tried
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

// The MIDI stream is tried once in the process, here, and the songs stay silent for good if it
// will not open: the mixer cannot tell its caller that a song failed to start, and Wine's MIDI
// mapper crashes when asked again after a refusal.
void CSynthesizer::Open(const std::string&) {
    opened = true;
    if (device == kUntried) {
        UINT id = MIDI_MAPPER;
        HMIDISTRM stream = nullptr;
        const MMRESULT result = midiStreamOpen(&stream, &id, 1, 0, 0, CALLBACK_NULL);
        device = result == MMSYSERR_NOERROR ? kWorks : kRefused;
        if (device == kWorks)
            midiStreamClose(stream);
        else if (!toldSilent) {
            toldSilent = true;
            std::fprintf(
                stderr,
                "Pondquest: the system's MIDI device cannot be opened (error %u); the songs stay silent\n",
                static_cast<unsigned>(result));
        }
    }
    ApplyGain();
}

void CSynthesizer::Close() {
    FreeMusic();
    opened = false;
}

// The system's own MIDI player loads nothing up front.
void CSynthesizer::HoldLoading() {}

void CSynthesizer::ReleaseLoading() {}

// The system's MIDI player holds no soundfont of its own to trim.
void CSynthesizer::Expect(const CMidiChecker&) {}

void CSynthesizer::Play(std::shared_ptr<const std::vector<uint8_t>> song, int plays) {
    if (!opened || device != kWorks) return;
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

int CSynthesizer::PeakVoices() { return 0; }
