#ifndef PONDQUEST_TOOLS_EFFECTS_H
#define PONDQUEST_TOOLS_EFFECTS_H

#include <cstdint>
#include <vector>

const int kEffectRate = 44100;

// The game's two effects as WAV bytes (mono, 16-bit, 44100 Hz).
std::vector<uint8_t> SynthesizeOuch();   // a hurt duck's quack
std::vector<uint8_t> SynthesizeMunch();  // three crunchy bites

#endif
