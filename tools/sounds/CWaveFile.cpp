#include "tools/sounds/CWaveFile.h"

#include <cmath>

namespace {
void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
}  // namespace

CWaveFile::CWaveFile(int rate) : sampleRate(rate) {}

void CWaveFile::Append(const std::vector<float>& input) {
    for (float v : input) {
        if (v > 1.0f) v = 1.0f;
        if (v < -1.0f) v = -1.0f;
        samples.push_back(static_cast<int16_t>(std::lround(v * 32767.0f)));
    }
}

std::vector<uint8_t> CWaveFile::Bytes() const {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    Put(out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(out, 16, 4);
    Put(out, 1, 2);  // PCM
    Put(out, 1, 2);  // mono
    Put(out, static_cast<uint32_t>(sampleRate), 4);
    Put(out, static_cast<uint32_t>(sampleRate) * 2, 4);
    Put(out, 2, 2);   // bytes per frame
    Put(out, 16, 2);  // bits per sample
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put(out, dataBytes, 4);
    for (int16_t s : samples)
        Put(out, static_cast<uint16_t>(s), 2);
    return out;
}
