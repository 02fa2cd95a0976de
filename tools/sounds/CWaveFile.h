#ifndef PONDQUEST_TOOLS_CWAVEFILE_H
#define PONDQUEST_TOOLS_CWAVEFILE_H

#include <cstdint>
#include <vector>

// A mono 16-bit PCM RIFF WAVE file.
class CWaveFile {
public:
    explicit CWaveFile(int sampleRate);

    // Appends samples in -1..1; anything louder is clipped.
    void Append(const std::vector<float>& samples);
    std::vector<uint8_t> Bytes() const;

    int sampleRate;
    std::vector<int16_t> samples;
};

#endif
