#include "sound/CSoundSystem.h"

#include "sound/CSoundClip.h"

#include "scene/CGameError.h"

#include "sound/CMidiChecker.h"
#include "sound/CSynthesizer.h"
#include "sound/CWaveChecker.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int kRate = 44100;
const int kChunkFrames = 2048;

// The one audio device of the process, shared by every sound system.
int openCount = 0;
bool silentOutput = false;
bool toldSilent = false;
// The mixer has one music stream; these say which system holds it and with what.
CSoundSystem* musicOwner = nullptr;
CSoundClip* musicClip = nullptr;
bool musicPositional = false;
// Which mixer channels are reserved by a sound system.
std::vector<bool> channelTaken;
// The player's levels.
float musicVolume = 1.0f;
float effectsVolume = 1.0f;
bool muted = false;

// The mixer always runs at this one format; SDL converts for the device.
bool TryOpen(const char* driver) {
    if (driver) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    bool ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (driver) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!ok) return false;
    if (Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, 2, kChunkFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

void ApplyLevels() {
    CSynthesizer::SetGain(muted ? 0.0f : CSoundSystem::kMusicLevel * musicVolume);
    if (openCount > 0)
        Mix_Volume(-1, muted ? 0
                             : static_cast<int>(std::lround(MIX_MAX_VOLUME * CSoundSystem::kEffectsLevel *
                                                            effectsVolume)));
}

// Returns 0 on success, otherwise the failure box to show.
int OpenDevice() {
    if (openCount > 0) {
        ++openCount;
        return 0;
    }
    // Songs need a General MIDI soundfont; without one no song can sound.
    std::string soundFont, why;
    if (!CSynthesizer::FindSoundFont(CSynthesizer::SoundFontPlaces(), &soundFont, &why)) {
        std::fprintf(stderr, "Pondquest: %s\n", why.c_str());
        return 1;
    }
    if (!TryOpen(nullptr)) {
        std::string reason = SDL_GetError();
        if (!TryOpen("dummy")) return 2;
        silentOutput = true;
        if (!toldSilent) {
            std::fprintf(stderr, "Pondquest: no audio output device (%s); playing on in silence.\n",
                         reason.c_str());
            toldSilent = true;
        }
    } else {
        silentOutput = false;
    }
    openCount = 1;
    channelTaken.clear();
    CSynthesizer::Open(soundFont);
    ApplyLevels();
    return 0;
}

void CloseDevice() {
    if (openCount <= 0) return;
    if (--openCount > 0) return;
    CSynthesizer::Close();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    channelTaken.clear();
    musicOwner = nullptr;
    musicClip = nullptr;
}

int TakeChannel() {
    for (size_t i = 0; i < channelTaken.size(); ++i) {
        if (!channelTaken[i]) {
            channelTaken[i] = true;
            return static_cast<int>(i);
        }
    }
    channelTaken.push_back(true);
    int needed = static_cast<int>(channelTaken.size());
    if (Mix_AllocateChannels(-1) < needed) Mix_AllocateChannels(needed);
    // Keep automatic channel picks off every channel a system owns.
    Mix_ReserveChannels(needed);
    return needed - 1;
}

void GiveBackChannel(int channel) {
    if (channel < 0 || channel >= static_cast<int>(channelTaken.size())) return;
    Mix_HaltChannel(channel);
    channelTaken[channel] = false;
}

// Effects: the mixer's loop count is the number of repeats after the first play.
int ChunkLoops(uint32_t repeats) {
    if (repeats == DMUS_SEG_REPEAT_INFINITE) return -1;
    return repeats > static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(repeats);
}

// Songs: the synthesizer's player takes the number of plays.
int MusicPlays(uint32_t repeats) {
    if (repeats == DMUS_SEG_REPEAT_INFINITE) return -1;
    return repeats >= static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(repeats) + 1;
}

void ShowBoxWithSdl(void* owner, const char* caption, const char* text) {
    std::fprintf(stderr, "%s %s\n", caption, text);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, static_cast<SDL_Window*>(owner));
}

}  // namespace

const char* const CSoundSystem::kFailureCaption = "ERROR!";
void (*CSoundSystem::showFailureBox)(void*, const char*, const char*) = ShowBoxWithSdl;

CSoundSystem::CSoundSystem() : window(nullptr), plainChannel(-1), positionalChannel(-1), initialized(false) {}

CSoundSystem::~CSoundSystem() {
    CSoundSystem::Shutdown();
    for (CSoundClip* clip : clips)
        delete clip;
    clips.clear();
}

const char* CSoundSystem::FailureText(int box) {
    switch (box) {
    case 1: return "Unable to create the IDirectMusicLoader8 object!\nPress OK to exit";
    case 2: return "Unable to create the IDirectMusicPerformance8 object!\nPress OK to exit";
    case 3: return "Unable to create standard 3D audiopath! Press OK to exit";
    case 4: return "Unable to retrieve the listener! Press OK to exit";
    case 5: return "Audio file not found! Press OK to exit";
    case 6: return "Unable to retrieve 3D buffer from audiopath! Press OK to exit";
    default: return nullptr;
    }
}

void CSoundSystem::Fail(int box) {
    const char* text = FailureText(box);
    // Boxes about setting up belong to the game's window; file boxes have no owner.
    showFailureBox(box <= 4 ? window : nullptr, kFailureCaption, text ? text : "");
    // The owners' destructors stop the sound on the way out; main gives the display back.
    throw CGameError(text ? text : "sound failure", kFailureExitStatus, true);
}

bool CSoundSystem::UsingSilentOutput() { return openCount > 0 && silentOutput; }

bool CSoundSystem::Initialize(void* owner) {
    if (initialized) return true;
    window = owner;
    int box = OpenDevice();
    if (box != 0) {
        Fail(box);
        return false;
    }
    plainChannel = TakeChannel();
    positionalChannel = TakeChannel();

    char directory[4096];
    searchDirectory = getcwd(directory, sizeof directory) ? directory : "";
    initialized = true;
    return true;
}

std::string CSoundSystem::ResolvePath(const char* fileName) const {
    if (fileName[0] == '/' || searchDirectory.empty()) return fileName;
    return searchDirectory + "/" + fileName;
}

bool CSoundSystem::LoadData(CSoundClip* clip, const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string reason;
    bool ok = CSoundFileChecker::ReadFile(
        path, std::max(CMidiChecker::kMaxFileBytes, CWaveChecker::kMaxFileBytes), &bytes, &reason);
    // Judge by content, not by name: a song is a Standard MIDI File, an effect a RIFF WAVE.
    if (ok && bytes.size() >= 4 && std::memcmp(bytes.data(), "MThd", 4) == 0) {
        CMidiChecker midi;
        ok = midi.Check(bytes.data(), bytes.size());
        if (ok) {
            clip->song = std::make_shared<const std::vector<uint8_t>>(std::move(midi.playable));
            CSynthesizer::Expect(midi);
        }
        reason = midi.reason;
    } else if (ok && bytes.size() >= 4 && std::memcmp(bytes.data(), "RIFF", 4) == 0) {
        CWaveChecker wave;
        ok = wave.Check(bytes.data(), bytes.size());
        reason = wave.reason;
        if (ok) {
            clip->chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
            ok = clip->chunk != nullptr;
            if (!ok) reason = std::string("the mixer cannot decode it: ") + Mix_GetError();
        }
    } else if (ok) {
        ok = false;
        reason = "neither a MIDI song nor a WAV effect";
    }
    if (!ok)
        std::fprintf(stderr, "Pondquest: cannot use the sound file %s: %s\n", path.c_str(), reason.c_str());
    return ok;
}

CSoundClip* CSoundSystem::Load(const char* fileName, bool positional) {
    CSoundClip* clip = new CSoundClip();
    if (!initialized || !fileName || !fileName[0] || !LoadData(clip, ResolvePath(fileName))) {
        delete clip;
        Fail(5);
        return nullptr;
    }
    if (positional) {
        clip->SetBuffer(positionalChannel);
        clip->SetPositional(true);
        clip->headRelative = true;
    }
    clips.push_back(clip);
    return clip;
}

void CSoundSystem::Play(CSoundClip* clip, uint32_t repeats) {
    if (!initialized || !clip || !clip->IsLoaded()) return;
    if (clip->IsSong()) {
        // A plain song takes over from this system's plain effect.
        if (!clip->positional) Mix_HaltChannel(plainChannel);
        CSynthesizer::Play(clip->song, MusicPlays(repeats));
        musicOwner = this;
        musicClip = clip;
        musicPositional = clip->positional;
        return;
    }
    int loops = ChunkLoops(repeats);
    if (clip->positional) {
        Mix_PlayChannel(positionalChannel, clip->chunk, loops);
        return;
    }
    if (musicOwner == this && !musicPositional) {
        CSynthesizer::Stop();
        musicOwner = nullptr;
        musicClip = nullptr;
    }
    Mix_PlayChannel(plainChannel, clip->chunk, loops);
}

void CSoundSystem::Stop(CSoundClip* clip) {
    if (!initialized || !clip || !clip->IsLoaded()) return;
    if (clip->IsSong()) {
        if (musicOwner == this && musicClip == clip) {
            CSynthesizer::Stop();
            musicOwner = nullptr;
            musicClip = nullptr;
        }
        return;
    }
    const int channels[2] = {plainChannel, positionalChannel};
    for (int channel : channels) {
        if (channel >= 0 && Mix_Playing(channel) && Mix_GetChunk(channel) == clip->chunk)
            Mix_HaltChannel(channel);
    }
}

bool CSoundSystem::IsPlaying(CSoundClip* clip) {
    if (!initialized || !clip || !clip->IsLoaded()) return false;
    if (clip->IsSong()) return musicOwner == this && musicClip == clip && CSynthesizer::IsPlaying();
    const int channels[2] = {plainChannel, positionalChannel};
    for (int channel : channels) {
        if (channel >= 0 && Mix_Playing(channel) && Mix_GetChunk(channel) == clip->chunk) return true;
    }
    return false;
}

void CSoundSystem::ReleaseChannels() {
    GiveBackChannel(plainChannel);
    GiveBackChannel(positionalChannel);
    plainChannel = -1;
    positionalChannel = -1;
}

void CSoundSystem::Shutdown() {
    if (!initialized) return;
    if (musicOwner == this) {
        CSynthesizer::Stop();
        musicOwner = nullptr;
        musicClip = nullptr;
    }
    ReleaseChannels();
    // The data goes now, while the device and its decoders are still open; the
    // clips stay as empty shells for callers still holding them.
    for (CSoundClip* clip : clips) {
        if (clip == musicClip) {
            CSynthesizer::Stop();
            musicOwner = nullptr;
            musicClip = nullptr;
        }
        clip->FreeData();
    }
    initialized = false;
    CloseDevice();
}

void CSoundSystem::SetMusicVolume(float volume) {
    if (std::isnan(volume)) return;
    musicVolume = std::min(1.0f, std::max(0.0f, volume));
    ApplyLevels();
}

float CSoundSystem::GetMusicVolume() { return musicVolume; }

void CSoundSystem::SetEffectsVolume(float volume) {
    if (std::isnan(volume)) return;
    effectsVolume = std::min(1.0f, std::max(0.0f, volume));
    ApplyLevels();
}

float CSoundSystem::GetEffectsVolume() { return effectsVolume; }

void CSoundSystem::SetMuted(bool on) {
    muted = on;
    ApplyLevels();
}

bool CSoundSystem::IsMuted() { return muted; }
