#ifndef PONDQUEST_TOOLS_CCOMPOSER_H
#define PONDQUEST_TOOLS_CCOMPOSER_H

#include <cstdint>
#include <vector>

class CMidiFile;

// One note of a motif: where it starts within the motif, how long, and how many
// scale steps above the key's root it sits.
struct SMotifNote {
    uint32_t at;
    uint32_t length;
    int step;
};

// A key (root and seven-note scale), a deterministic random source and the few
// patterns the songs are built from.
class CComposer {
public:
    CComposer(int root, const int (&scale)[7], bool minor, uint32_t seed);

    // The MIDI key of a scale degree (any integer; 7 is the next octave up) in an
    // octave where 4 holds middle C. In a minor key the V chord raises the 7th.
    int Key(int degree, int octave, int chord = 0) const;
    // Root, third, fifth of the chord on a degree.
    std::vector<int> Triad(int chord, int octave) const;

    uint32_t Next();
    int Range(int low, int high);  // inclusive

    // A motif over two bars: lengths in sixteenths (negative for rests), its
    // contour a bounded random walk.
    std::vector<SMotifNote> MakeMotif(const std::vector<int>& sixteenths, int lowest, int highest);
    // Writes a motif over the chords (one per bar) starting at 'start'; notes on
    // the beat land on chord tones, so the tune follows the harmony.
    void PlaceMotif(CMidiFile& file, int track, int channel, uint32_t start,
                    const std::vector<SMotifNote>& motif, const int* chords, int octave, int velocity,
                    int shiftSteps) const;

    int root;
    int scale[7];
    bool minor;
    uint32_t state;
};

#endif
