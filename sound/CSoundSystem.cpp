#include "sound/CSoundSystem.h"

#include "sound/CSoundClip.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Debian's General MIDI soundfont (timgm6mb-soundfont), named explicitly so the
// songs play without any user configuration.
const char* const kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
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

bool TryOpen(const char* driver) {
    if (driver) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    bool ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (driver) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!ok) return false;
    if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// Returns 0 on success, otherwise the failure box to show.
int OpenDevice() {
    if (openCount > 0) {
        ++openCount;
        return 0;
    }
    // Songs need the FluidSynth decoder and the soundfont; without them no song loads.
    if ((Mix_Init(MIX_INIT_MID) & MIX_INIT_MID) == 0) return 1;
    FILE* font = std::fopen(kSoundFont, "rb");
    if (!font) {
        Mix_Quit();
        return 1;
    }
    std::fclose(font);
    Mix_SetSoundFonts(kSoundFont);

    if (!TryOpen(nullptr)) {
        std::string why = SDL_GetError();
        if (!TryOpen("dummy")) {
            Mix_Quit();
            return 2;
        }
        silentOutput = true;
        if (!toldSilent) {
            std::fprintf(stderr, "Pondquest: no audio output device (%s); playing on in silence.\n",
                         why.c_str());
            toldSilent = true;
        }
    } else {
        silentOutput = false;
    }
    openCount = 1;
    channelTaken.clear();
    return 0;
}

void CloseDevice() {
    if (openCount <= 0) return;
    if (--openCount > 0) return;
    Mix_CloseAudio();
    Mix_Quit();
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

// Songs: the music stream takes the number of plays (0 and 1 both play once).
int MusicPlays(uint32_t repeats) {
    if (repeats == DMUS_SEG_REPEAT_INFINITE) return -1;
    return repeats >= static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(repeats) + 1;
}

void ShowBoxWithSdl(void* owner, const char* caption, const char* text) {
    std::fprintf(stderr, "%s %s\n", caption, text);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, static_cast<SDL_Window*>(owner));
}

}  // namespace

const char* const CSoundSystem::failureCaption = "ERROR!";
void (*CSoundSystem::showFailureBox)(void*, const char*, const char*) = ShowBoxWithSdl;

CSoundSystem::CSoundSystem() : window(nullptr), plainChannel(-1), positionalChannel(-1), initialized(false) {}

CSoundSystem::~CSoundSystem() {
    Shutdown();
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
    showFailureBox(box <= 4 ? window : nullptr, failureCaption, text ? text : "");
    // Stop the sound and give the display back before the program ends.
    if (openCount > 0) {
        Mix_HaltMusic();
        Mix_HaltChannel(-1);
        Mix_CloseAudio();
        openCount = 0;
    }
    SDL_Quit();
    std::exit(failureExitStatus);
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
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (!file) return false;
    unsigned char head[12];
    if (SDL_RWread(file, head, 1, sizeof head) != sizeof head || SDL_RWseek(file, 0, RW_SEEK_SET) != 0) {
        SDL_RWclose(file);
        return false;
    }
    // Judge by content, not by name: a song is a Standard MIDI File, an effect a RIFF WAVE.
    if (std::memcmp(head, "MThd", 4) == 0) {
        clip->music = Mix_LoadMUSType_RW(file, MUS_MID, 1);
        return clip->music != nullptr;
    }
    if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) {
        clip->chunk = Mix_LoadWAV_RW(file, 1);
        return clip->chunk != nullptr;
    }
    SDL_RWclose(file);
    return false;
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
        if (Mix_PlayMusic(clip->music, MusicPlays(repeats)) == 0) {
            musicOwner = this;
            musicClip = clip;
            musicPositional = clip->positional;
        }
        return;
    }
    int loops = ChunkLoops(repeats);
    if (clip->positional) {
        Mix_PlayChannel(positionalChannel, clip->chunk, loops);
        return;
    }
    if (musicOwner == this && !musicPositional) {
        Mix_HaltMusic();
        musicOwner = nullptr;
        musicClip = nullptr;
    }
    Mix_PlayChannel(plainChannel, clip->chunk, loops);
}

void CSoundSystem::Stop(CSoundClip* clip) {
    if (!initialized || !clip || !clip->IsLoaded()) return;
    if (clip->IsSong()) {
        if (musicOwner == this && musicClip == clip) {
            Mix_HaltMusic();
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
    if (clip->IsSong()) return musicOwner == this && musicClip == clip && Mix_PlayingMusic();
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
        Mix_HaltMusic();
        musicOwner = nullptr;
        musicClip = nullptr;
    }
    ReleaseChannels();
    // The data goes now, while the device and its decoders are still open; the
    // clips stay as empty shells for callers still holding them.
    for (CSoundClip* clip : clips) {
        if (clip == musicClip) {
            Mix_HaltMusic();
            musicOwner = nullptr;
            musicClip = nullptr;
        }
        clip->FreeData();
    }
    initialized = false;
    CloseDevice();
}
