#ifndef PONDQUEST_CSOUNDSYSTEM_H
#define PONDQUEST_CSOUNDSYSTEM_H

#include <cstdint>
#include <string>
#include <vector>

class CSoundClip;

// Repeat forever, until Stop or Shutdown. Kept under its original name:
// NOLINTNEXTLINE(readability-identifier-naming)
const uint32_t DMUS_SEG_REPEAT_INFINITE = 0xFFFFFFFFu;

// Every sound-making object owns one of these. A plain clip played here replaces
// the plain clip playing on this same system only.
//
// The process shares one audio device: the first Initialize opens it and the
// last Shutdown closes it. Each system reserves two mixer channels of its own,
// one for plain effects and one for positional ones. The mixer has a single
// music stream, fed by one synthesizer, so songs (MIDI) play there, held by
// whichever system played a song last; a plain effect played on the system
// holding the stream stops its song, as a plain song stops that system's plain
// effect. Every file is checked whole before it is used: a damaged one is
// refused like a missing one.
//
// Clips belong to the system that loaded them: Shutdown frees their sound data
// and the destructor frees the clips themselves. Callers never delete a clip.
class CSoundSystem {
public:
    CSoundSystem();
    virtual ~CSoundSystem();

    virtual bool Initialize(void* window);
    virtual CSoundClip* Load(const char* fileName, bool positional);
    virtual void Play(CSoundClip* clip, uint32_t repeats);
    virtual void Stop(CSoundClip* clip);
    virtual void Shutdown();

    // Whether the clip is sounding on this system right now.
    virtual bool IsPlaying(CSoundClip* clip);

    // The six failure boxes (1 to 6) and their texts; null for any other number.
    static const char* FailureText(int box);
    static const char* const kFailureCaption;
    static constexpr int kFailureExitStatus = 1;
    // Shows a failure box and returns once the user has dismissed it. Replaceable
    // so that the failure path can be exercised without a real box.
    static void (*showFailureBox)(void* owner, const char* caption, const char* text);
    // Shows the box for a failure, then throws a CGameError carrying kFailureExitStatus;
    // main ends the program once the sound systems and the window are released.
    [[noreturn]] virtual void Fail(int box);

    // Whether the process fell back to the silent dummy output because no audio
    // device could be opened.
    static bool UsingSilentOutput();

    // The player's levels, shared by every sound system and kept across
    // Initialize and Shutdown; each applies at once to whatever is playing.
    // Volumes run from 0 (silent) to 1 (the game's full level, the default);
    // values outside are clamped, and a NaN leaves the volume as it was. Muting
    // silences songs and effects without stopping them.
    static void SetMusicVolume(float volume);
    static float GetMusicVolume();
    static void SetEffectsVolume(float volume);
    static float GetEffectsVolume();
    static void SetMuted(bool muted);
    static bool IsMuted();

    // The levels at full volume, set so that songs and effects sum without
    // clipping: the songs' gain on the synthesizer's own output, and the
    // effects' share of the mixer's full channel volume.
    static constexpr float kMusicLevel = 0.65f;
    static constexpr float kEffectsLevel = 1.0f;

    void* window;
    std::string searchDirectory;  // working directory read at Initialize
    int plainChannel;             // this system's own mixer channels, -1 when none
    int positionalChannel;
    bool initialized;
    std::vector<CSoundClip*> clips;

protected:
    std::string ResolvePath(const char* fileName) const;
    virtual bool LoadData(CSoundClip* clip, const std::string& path);
    void ReleaseChannels();
};

#endif
