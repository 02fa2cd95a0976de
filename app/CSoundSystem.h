#ifndef PONDQUEST_CSOUNDSYSTEM_H
#define PONDQUEST_CSOUNDSYSTEM_H

#include <cstdint>

class CSoundClip;

// Repeat forever, until Stop or Shutdown.
const uint32_t DMUS_SEG_REPEAT_INFINITE = 0xFFFFFFFFu;

// Every sound-making object owns one of these. A plain clip played here replaces
// the plain clip playing on this same system only.
class CSoundSystem {
public:
    CSoundSystem();
    ~CSoundSystem();

    bool Initialize(void* window);
    CSoundClip* Load(const char* fileName, bool positional);
    void Play(CSoundClip* clip, uint32_t repeats);
    void Stop(CSoundClip* clip);
    void Shutdown();
};

#endif
