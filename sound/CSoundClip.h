#ifndef PONDQUEST_CSOUNDCLIP_H
#define PONDQUEST_CSOUNDCLIP_H

#include <cstdint>
#include <memory>
#include <vector>

// The mixer's own type, declared here so that game code including this header
// does not pull in SDL.
struct Mix_Chunk;

// One loaded sound file; the sound system that loaded it owns it, plays it and
// frees it. A song (MIDI) plays on the one synthesizer behind the mixer's music
// stream, an effect (WAV) as a chunk on a channel of its sound system.
class CSoundClip {
public:
    CSoundClip();
    virtual ~CSoundClip();

    // The loaded data: exactly one of these is set while the clip is loaded.
    std::shared_ptr<const std::vector<uint8_t>> song;  // the checked file, as the synthesizer reads it
    Mix_Chunk* chunk;
    // The channel positional clips play on (the same one for every positional
    // clip of a system); -1 for a plain clip. The mixer has no 3-D path, so a
    // positional clip sounds head-relative at the listener, like a plain one.
    int buffer;
    bool positional;
    bool headRelative;

    void SetBuffer(int channel) { buffer = channel; }
    int GetBuffer() const { return buffer; }
    void SetPositional(bool on) { positional = on; }
    bool GetPositional() const { return positional; }

    bool IsSong() const { return song != nullptr; }
    bool IsLoaded() const { return song != nullptr || chunk != nullptr; }
    // Frees the data; the clip stays as an empty shell that plays nothing.
    virtual void FreeData();
};

#endif
