#ifndef PONDQUEST_TESTS_SOUNDBYTES_H
#define PONDQUEST_TESTS_SOUNDBYTES_H

// Song and effect files built byte by byte, for feeding the checkers and the sound system
// files of every kind, whole or damaged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace soundbytes {

using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Big(uint32_t v, int n) {
    Bytes out;
    for (int i = n - 1; i >= 0; --i)
        out.push_back(uint8_t(v >> (8 * i)));
    return out;
}

inline Bytes Little(uint32_t v, int n) {
    Bytes out;
    for (int i = 0; i < n; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
    return out;
}

inline Bytes Text(const char* s) { return Bytes(s, s + std::string(s).size()); }

// Standard MIDI Files.
inline Bytes MidiChunk(const char* id, const Bytes& body) {
    return Text(id) + Big(uint32_t(body.size()), 4) + body;
}
inline Bytes Header(int format, int tracks, int division) {
    return MidiChunk("MThd", Big(format, 2) + Big(tracks, 2) + Big(division, 2));
}
inline Bytes Track(const Bytes& events) { return MidiChunk("MTrk", events); }

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};
inline Bytes Tempo(uint32_t micros) { return Bytes{0x00, 0xFF, 0x51, 0x03} + Big(micros, 3); }
const Bytes kNotes = {0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x40};
// Four events on one status byte.
const Bytes kRunning = {0x00, 0x90, 0x3C, 0x64, 0x30, 0x40, 0x64, 0x30, 0x3C, 0x00, 0x30, 0x40, 0x00};
const Bytes kSysex = {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
const Bytes kEscaped = {0x10, 0xF7, 0x02, 0xF8, 0xFA};

// RIFF WAVE files.
inline Bytes WaveChunk(const char* id, const Bytes& body) {
    Bytes out = Text(id) + Little(uint32_t(body.size()), 4) + body;
    if (body.size() % 2) out.push_back(0);
    return out;
}
inline Bytes Format(int tag, int channels, int rate, int bits) {
    const int align = channels * bits / 8;
    return Little(tag, 2) + Little(channels, 2) + Little(rate, 4) + Little(rate * align, 4) +
           Little(align, 2) + Little(bits, 2);
}
inline Bytes Extensible(int subTag, int channels, int rate, int bits) {
    return Format(0xFFFE, channels, rate, bits) + Little(22, 2) + Little(bits, 2) + Little(3, 4) +
           Little(subTag, 2) +
           Bytes{0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
}
inline Bytes Riff(const Bytes& chunks) {
    return Text("RIFF") + Little(uint32_t(chunks.size() + 4), 4) + Text("WAVE") + chunks;
}
inline Bytes Wave(const Bytes& format, size_t dataBytes) {
    return Riff(WaveChunk("fmt ", format) + WaveChunk("data", Bytes(dataBytes, 0x40)));
}

}  // namespace soundbytes

#endif
