#include "tools/sounds/CComposer.h"

#include "tools/sounds/CMidiFile.h"

#include <algorithm>

namespace {
const uint32_t kBar = 1920;
const uint32_t kSixteenth = 120;
const uint32_t kBeat = 480;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

CComposer::CComposer(int r, const int (&s)[7], bool m, uint32_t seed) : root(r), minor(m), state(seed) {
    std::copy(s, s + 7, scale);
}

int CComposer::Key(int degree, int octave, int chord) const {
    int octaves = FloorDiv(degree, 7);
    int d = degree - 7 * octaves;
    int semis = scale[d];
    // Harmonic minor over the dominant: the leading note pulls back home.
    if (minor && d == 6 && ((chord % 7) + 7) % 7 == 4) semis += 1;
    return 12 * (octave + 1 + octaves) + root + semis;
}

std::vector<int> CComposer::Triad(int chord, int octave) const {
    return {Key(chord, octave, chord), Key(chord + 2, octave, chord), Key(chord + 4, octave, chord)};
}

uint32_t CComposer::Next() {
    state = state * 1103515245u + 12345u;
    return (state >> 8) & 0xFFFFFF;
}

int CComposer::Range(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<uint32_t>(high - low + 1));
}

std::vector<SMotifNote> CComposer::MakeMotif(const std::vector<int>& sixteenths, int lowest, int highest) {
    static const int moves[] = {-2, -1, -1, 1, 1, 2, 3, -3, 0, 1};
    std::vector<SMotifNote> notes;
    uint32_t at = 0;
    int step = Range(lowest + 1, highest - 1);
    for (int length : sixteenths) {
        if (length < 0) {
            at += static_cast<uint32_t>(-length) * kSixteenth;
            continue;
        }
        notes.push_back(SMotifNote{at, static_cast<uint32_t>(length) * kSixteenth, step});
        at += static_cast<uint32_t>(length) * kSixteenth;
        step += moves[Next() % 10];
        if (step < lowest) step = lowest + 1;
        if (step > highest) step = highest - 2;
    }
    return notes;
}

void CComposer::PlaceMotif(CMidiFile& file, int track, int channel, uint32_t start,
                           const std::vector<SMotifNote>& motif, const int* chords, int octave, int velocity,
                           int shiftSteps) const {
    for (const SMotifNote& n : motif) {
        int chord = chords[n.at / kBar];
        // The contour stays in the key; notes on the beat move by a step at most
        // onto the nearest chord tone, so the tune follows the harmony smoothly.
        int degree = n.step + shiftSteps;
        if (n.at % kBeat == 0) {
            for (int move : {0, 1, -1}) {
                int above = (((degree + move - chord) % 7) + 7) % 7;
                if (above == 0 || above == 2 || above == 4) {
                    degree += move;
                    break;
                }
            }
        }
        int accent = n.at % kBar == 0 ? 12 : (n.at % kBeat == 0 ? 5 : 0);
        uint32_t length = n.length > kSixteenth ? n.length - kSixteenth / 4 : n.length * 3 / 4;
        file.Note(track, start + n.at, channel, Key(degree, octave, chord), velocity + accent, length);
    }
}
