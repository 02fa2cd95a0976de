#ifndef PONDQUEST_CWAVECHECKER_H
#define PONDQUEST_CWAVECHECKER_H

#include "sound/CSoundFileChecker.h"

// A strict reader of RIFF WAVE files: the RIFF and WAVE headers, every chunk within the RIFF
// body, one format chunk whose fields agree with each other (integer PCM of 8 to 32 bits or
// 32-bit float, plain or in the extensible layout, 1 to 8 channels) and a data chunk after it
// holding a whole number of frames.
class CWaveChecker : public CSoundFileChecker {
public:
    static constexpr size_t kMaxFileBytes = 64u << 20;

    CWaveChecker();
    bool Check(const uint8_t* data, size_t size) override;

    // What the last passing file holds.
    int channels;
    int rate;
    int bits;
    bool floating;
    size_t frames;

private:
    bool CheckFormat(const uint8_t* chunk, uint32_t length);
};

#endif
