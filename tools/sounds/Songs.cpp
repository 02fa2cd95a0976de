#include "tools/sounds/Songs.h"

#include "tools/sounds/CComposer.h"
#include "tools/sounds/CMidiFile.h"

namespace {

const uint32_t S = 120;  // sixteenth
const uint32_t E = 240;  // eighth
const uint32_t Q = 480;  // quarter
const uint32_t H = 960;  // half
const uint32_t BAR = 1920;

const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
const int kPhrygian[7] = {0, 1, 3, 5, 7, 8, 10};

const int kDrums = 9;  // General MIDI percussion channel (10 counting from one)
enum {
    kKick = 36,
    kDeepKick = 35,
    kSideStick = 37,
    kSnare = 38,
    kClosedHat = 42,
    kLowFloorTom = 41,
    kLowTom = 45,
    kLowMidTom = 47,
    kHighMidTom = 48,
    kHighTom = 50,
    kOpenHat = 46,
    kCrash = 49,
    kRide = 51,
    kTambourine = 54,
    kCabasa = 69
};

// Program, volume, pan and reverb at the very start, so every pass of the loop
// begins from the same channel state.
void SetUpChannel(CMidiFile& f, int track, int channel, int program, int volume, int pan, int reverb) {
    if (channel != kDrums) f.Program(track, 0, channel, program);
    f.Control(track, 0, channel, 7, volume);
    f.Control(track, 0, channel, 10, pan);
    f.Control(track, 0, channel, 91, reverb);
}

void Chord(CMidiFile& f, int track, int channel, const std::vector<int>& keys, uint32_t at, uint32_t length,
           int velocity) {
    for (int key : keys)
        f.Note(track, at, channel, key, velocity, length);
}

int ConductorTrack(CMidiFile& f, const char* title, double bpm) {
    int track = f.AddTrack(title);
    f.Tempo(track, 0, bpm);
    f.TimeSignature(track, 0, 4, 2);
    return track;
}

}  // namespace

// Title: D minor at 144 beats a minute; a restless string ostinato under choir,
// brass fanfare and timpani.
std::vector<uint8_t> ComposeTitleSong() {
    CMidiFile f(480);
    CComposer c(2, kMinor, true, 0x5EED0001u);
    const int bars = 32;
    // Intro 0-3, A 4-11, B 12-19, A again 20-27, lead-back 28-31 (ends on V).
    const int chords[bars] = {0, 0, 5, 4, 0, 5, 2, 6, 0, 3, 4, 4, 3, 0, 5, 2,
                              3, 0, 1, 4, 0, 5, 2, 6, 0, 3, 4, 4, 0, 5, 3, 4};
    ConductorTrack(f, "Pondquest: title theme", 144.0);
    int strings = f.AddTrack("Strings");
    int choir = f.AddTrack("Choir");
    int brass = f.AddTrack("Brass");
    int horns = f.AddTrack("Horns");
    int bass = f.AddTrack("Contrabass");
    int timpani = f.AddTrack("Timpani");
    int drums = f.AddTrack("Drums");
    SetUpChannel(f, strings, 0, 48, 76, 44, 60);
    SetUpChannel(f, choir, 1, 52, 66, 80, 80);
    SetUpChannel(f, brass, 2, 61, 84, 64, 50);
    SetUpChannel(f, horns, 3, 60, 74, 30, 60);
    SetUpChannel(f, bass, 4, 43, 74, 70, 50);
    SetUpChannel(f, timpani, 5, 47, 80, 64, 60);
    SetUpChannel(f, drums, kDrums, 0, 72, 64, 50);

    std::vector<SMotifNote> fanfare = c.MakeMotif({4, 2, 2, 4, 4, 6, 2, 8}, 0, 7);
    std::vector<SMotifNote> answer = c.MakeMotif({2, 2, 2, 2, 4, 4, 4, 4, 8}, 1, 8);
    std::vector<SMotifNote> hymn = c.MakeMotif({8, 4, 4, 8, 8}, 2, 9);

    static const int ostinato[8] = {0, 2, 3, 2, 1, 2, 3, 2};
    for (int bar = 0; bar < bars; ++bar) {
        uint32_t t = bar * BAR;
        int ch = chords[bar];
        std::vector<int> tri = c.Triad(ch, 3);
        int tones[4] = {tri[0], tri[1], tri[2], tri[0] + 12};
        for (int i = 0; i < 8; ++i) {
            int velocity = (i % 2 == 0 ? 92 : 72) + (bar >= 28 ? i * 2 : 0);
            f.Note(strings, t + i * E, 0, tones[ostinato[i]], velocity, E - 20);
        }
        f.Note(bass, t, 4, c.Key(ch, 2, ch), 100, H - 30);
        f.Note(bass, t + H, 4, c.Key(ch, 2, ch), 90, H - 30);
        if (bar >= 4) Chord(f, choir, 1, c.Triad(ch, 4), t, BAR - 40, bar >= 12 && bar < 20 ? 62 : 74);
        bool section = bar == 0 || bar == 4 || bar == 12 || bar == 20 || bar == 28;
        if (section) f.Note(drums, t, kDrums, kCrash, 110, Q);
        // Driving low drum: dotted figure on every bar, snares on 2 and 4 when full.
        for (uint32_t at : {0u, 3 * E, 6 * E})
            f.Note(drums, t + at, kDrums, kDeepKick, 100, E);
        if (bar >= 12) {
            f.Note(drums, t + Q, kDrums, kSnare, 84, E);
            f.Note(drums, t + 3 * Q, kDrums, kSnare, 90, E);
        }
        bool timpaniBar = bar < 4 || bar >= 20;
        if (timpaniBar) {
            f.Note(timpani, t, 5, c.Key(ch, 2, ch), 110, Q);
            f.Note(timpani, t + H, 5, c.Key(ch + 4, 1, ch), 96, Q);
        }
        // Rolls at the end of each section pull into the next; the last one into the loop.
        if (bar == 3 || bar == 11 || bar == 19 || bar == 27 || bar == 31) {
            for (int i = 0; i < 8; ++i) {
                f.Note(drums, t + H + i * S, kDrums, kSnare, 60 + i * 7, S);
                f.Note(timpani, t + H + i * S, 5, c.Key(4, 2, 4), 70 + i * 6, S);
            }
        }
    }
    // Brass fanfare over both A sections; horns sing the hymn over B.
    for (int section : {4, 20}) {
        for (int phrase = 0; phrase < 4; ++phrase) {
            int bar = section + phrase * 2;
            const std::vector<SMotifNote>& m = phrase == 3 ? answer : fanfare;
            c.PlaceMotif(f, brass, 2, bar * BAR, m, &chords[bar], 4, 88, phrase == 2 ? 2 : 0);
        }
        for (int phrase = 0; phrase < 4; ++phrase) {
            int bar = section + phrase * 2;
            f.Note(horns, bar * BAR, 3, c.Key(chords[bar], 3, chords[bar]), 70, BAR * 2 - 60);
        }
    }
    for (int phrase = 0; phrase < 4; ++phrase) {
        int bar = 12 + phrase * 2;
        c.PlaceMotif(f, horns, 3, bar * BAR, hymn, &chords[bar], 4, 84, phrase % 2 ? 2 : 0);
        // Low brass answers, ending before the fanfare returns.
        if (phrase < 3) c.PlaceMotif(f, brass, 2, bar * BAR + H, answer, &chords[bar], 3, 60, 0);
    }
    f.End(bars * BAR);
    return f.Bytes();
}

// Level one: E phrygian at 68 beats a minute; slow pads, a celesta drifting in
// arpeggios, fretless bass, a lonely pan flute and the sea.
std::vector<uint8_t> ComposeLevelOneSong() {
    CMidiFile f(480);
    CComposer c(4, kPhrygian, false, 0x5EED0002u);
    const int bars = 16;
    const int chords[bars] = {0, 1, 0, 6, 5, 1, 3, 0, 3, 5, 1, 0, 3, 5, 6, 1};
    ConductorTrack(f, "Pondquest: level one, under the pond", 68.0);
    int pad = f.AddTrack("Warm pad");
    int halo = f.AddTrack("Halo pad");
    int celesta = f.AddTrack("Celesta");
    int bass = f.AddTrack("Fretless bass");
    int flute = f.AddTrack("Pan flute");
    int vibes = f.AddTrack("Vibraphone");
    int sea = f.AddTrack("Sea");
    int drums = f.AddTrack("Percussion");
    SetUpChannel(f, pad, 0, 89, 90, 50, 110);
    SetUpChannel(f, halo, 1, 94, 70, 80, 120);
    SetUpChannel(f, celesta, 2, 8, 84, 90, 120);
    SetUpChannel(f, bass, 3, 35, 100, 60, 70);
    SetUpChannel(f, flute, 4, 75, 90, 40, 110);
    SetUpChannel(f, vibes, 5, 11, 70, 100, 120);
    SetUpChannel(f, sea, 6, 122, 60, 64, 80);
    SetUpChannel(f, drums, kDrums, 0, 70, 64, 100);
    f.Control(celesta, 0, 2, 93, 70);  // chorus: a little wobble, as through water
    f.Control(pad, 0, 0, 93, 80);

    std::vector<SMotifNote> drift = c.MakeMotif({8, 4, 4, 12, -4}, 0, 6);
    std::vector<SMotifNote> reply = c.MakeMotif({-4, 4, 4, 4, 16}, 2, 8);

    static const int arpeggio[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    for (int bar = 0; bar < bars; ++bar) {
        uint32_t t = bar * BAR;
        int ch = chords[bar];
        Chord(f, pad, 0, c.Triad(ch, 3), t, BAR - 20, 58);
        if (bar >= 8) Chord(f, halo, 1, c.Triad(ch, 4), t, BAR - 20, 46);
        std::vector<int> tri = c.Triad(ch, 5);
        int tones[5] = {tri[0] - 12, tri[0], tri[1], tri[2], tri[0] + 12};
        for (int i = 0; i < 8; ++i) {
            int key = tones[arpeggio[i]];
            f.Note(celesta, t + i * E, 2, key, 48 + (i == 0 ? 12 : 0) + (i % 3) * 3, E + S);
        }
        f.Note(bass, t, 3, c.Key(ch, 2), 88, H + Q - 20);
        f.Note(bass, t + H + Q, 3, c.Key(ch + 4, 1), 70, Q - 20);
        f.Note(vibes, t + H, 5, c.Key(ch + 4, 5), 40, H);
        if (bar % 4 == 0) f.Note(sea, t, 6, 60, 36, 4 * BAR - Q);
        // A heartbeat far below, and sand shifting.
        if (bar % 2 == 0) f.Note(drums, t, kDrums, kLowFloorTom, 46, Q);
        for (int i = 0; i < 8; ++i)
            f.Note(drums, t + i * E, kDrums, kCabasa, i % 2 ? 18 : 28, E);
    }
    for (int phrase = 0; phrase < 8; ++phrase) {
        int bar = phrase * 2;
        const std::vector<SMotifNote>& m = phrase % 2 ? reply : drift;
        c.PlaceMotif(f, flute, 4, bar * BAR, m, &chords[bar], bar >= 8 ? 5 : 4, 70, 0);
    }
    f.End(bars * BAR);
    return f.Bytes();
}

// Level two: E at 176 beats a minute over chromatic power chords; distorted
// guitars, picked bass, a square-wave lead and hard drums.
std::vector<uint8_t> ComposeLevelTwoSong() {
    CMidiFile f(480);
    CComposer c(4, kMinor, true, 0x5EED0003u);
    const int bars = 40;
    // Power-chord roots in semitones above E.
    const int roots[bars] = {0, 0, 1, 0, 0, 0, 1,  0, 0, 0, -2, 1, 5, 3, 1, 0, 5, 3, 7, 6,
                             0, 0, 1, 0, 0, 0, -2, 1, 0, 0, 1,  1, 3, 3, 1, 1, 0, 1, 0, -1};
    // Scale degrees for the lead's harmony, matched to the riff.
    const int harmony[bars] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 3, 2, 0, 0, 3, 2, 4, 4,
                               0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 0, 4};
    ConductorTrack(f, "Pondquest: level two, ring of fire", 176.0);
    int guitar = f.AddTrack("Distortion guitar");
    int bass = f.AddTrack("Picked bass");
    int lead = f.AddTrack("Square lead");
    int strings = f.AddTrack("Tremolo strings");
    int stabs = f.AddTrack("Overdriven guitar");
    int drums = f.AddTrack("Drums");
    SetUpChannel(f, guitar, 0, 30, 84, 40, 30);
    SetUpChannel(f, bass, 1, 34, 92, 64, 20);
    SetUpChannel(f, lead, 2, 80, 84, 74, 50);
    SetUpChannel(f, strings, 3, 44, 80, 90, 70);
    SetUpChannel(f, stabs, 4, 29, 80, 96, 40);
    SetUpChannel(f, drums, kDrums, 0, 94, 64, 30);

    std::vector<SMotifNote> hook = c.MakeMotif({2, 2, 2, 2, 3, 3, 2, 2, 2, 2, 2, 6, -2}, 0, 7);
    std::vector<SMotifNote> run = c.MakeMotif({1, 1, 2, 2, 2, 4, 1, 1, 2, 2, 2, 4, 8}, 2, 9);

    static const int mask[8] = {2, 1, 0, 2, 1, 1, 2, 0};  // 2 full chord, 1 muted root, 0 rest
    for (int bar = 0; bar < bars; ++bar) {
        uint32_t t = bar * BAR;
        int r = 40 + roots[bar];  // low E on the guitar
        bool breakdown = bar >= 28 && bar < 36;
        for (int i = 0; i < 8; ++i) {
            uint32_t at = t + i * E;
            if (mask[i] == 2 || (breakdown && i % 4 == 0)) {
                Chord(f, guitar, 0, {r, r + 7, r + 12}, at, E - 30, 100);
            } else if (mask[i] == 1 && !breakdown) {
                f.Note(guitar, at, 0, r, 70, E - 60);
            }
            f.Note(bass, at, 1, r - 12, i % 2 ? 84 : 100, E - 20);
        }
        // Drums: a straight rock beat, half time in the breakdown.
        bool section = bar == 0 || bar == 4 || bar == 12 || bar == 20 || bar == 28 || bar == 36;
        if (section) f.Note(drums, t, kDrums, kCrash, 116, Q);
        for (int i = 0; i < 8; ++i) {
            uint32_t at = t + i * E;
            int hat = breakdown ? kRide : (bar >= 20 && i % 2 ? kOpenHat : kClosedHat);
            f.Note(drums, at, kDrums, hat, i % 2 ? 70 : 92, E - 40);
        }
        if (breakdown) {
            f.Note(drums, t, kDrums, kKick, 110, E);
            f.Note(drums, t + H, kDrums, kSnare, 112, E);
        } else {
            for (uint32_t at : {0u, 3 * E, 4 * E})
                f.Note(drums, t + at, kDrums, kKick, 108, E);
            f.Note(drums, t + Q, kDrums, kSnare, 110, E);
            f.Note(drums, t + 3 * Q, kDrums, kSnare, 114, E);
        }
        bool fill = bar == 3 || bar == 11 || bar == 19 || bar == 27 || bar == 35 || bar == 39;
        if (fill) {
            static const int toms[8] = {kHighTom,   kHighTom,   kHighMidTom, kHighMidTom,
                                        kLowMidTom, kLowMidTom, kLowTom,     kLowTom};
            for (int i = 0; i < 8; ++i)
                f.Note(drums, t + H + i * S, kDrums, toms[i], 90 + i * 4, S);
        }
        if ((bar >= 12 && bar < 20) || breakdown) {
            f.Note(strings, t, 3, r + 12, 76, BAR - 20);
            f.Note(strings, t, 3, r + 19, 70, BAR - 20);
        }
        if (bar >= 12 && bar < 20) {
            for (uint32_t at : {E, 3 * E, 5 * E, 7 * E})
                Chord(f, stabs, 4, {r + 24, r + 31}, t + at, S, 84);
        }
    }
    for (int section : {4, 20}) {
        for (int phrase = 0; phrase < 4; ++phrase) {
            int bar = section + phrase * 2;
            const std::vector<SMotifNote>& m = phrase == 3 ? run : hook;
            c.PlaceMotif(f, lead, 2, bar * BAR, m, &harmony[bar], 5, 92, phrase == 2 ? 1 : 0);
        }
    }
    for (int phrase = 0; phrase < 4; ++phrase) {
        int bar = 12 + phrase * 2;
        c.PlaceMotif(f, lead, 2, bar * BAR, run, &harmony[bar], 4, 86, phrase % 2 ? 2 : 0);
    }
    f.End(bars * BAR);
    return f.Bytes();
}

// Credits: F major at 126 beats a minute; clarinet tune over marimba, tuba
// oom-pahs and pizzicato, glockenspiel sparkle.
std::vector<uint8_t> ComposeCreditsSong() {
    CMidiFile f(480);
    CComposer c(5, kMajor, false, 0x5EED0004u);
    const int bars = 28;
    const int chords[bars] = {0, 5, 3, 4, 0, 5, 3, 4, 0, 5, 1, 4, 3, 4,
                              2, 5, 1, 4, 0, 4, 0, 5, 3, 4, 0, 5, 1, 4};
    ConductorTrack(f, "Pondquest: credits", 126.0);
    int clarinet = f.AddTrack("Clarinet");
    int marimba = f.AddTrack("Marimba");
    int tuba = f.AddTrack("Tuba");
    int pizzicato = f.AddTrack("Pizzicato strings");
    int glock = f.AddTrack("Glockenspiel");
    int flute = f.AddTrack("Flute");
    int drums = f.AddTrack("Drums");
    SetUpChannel(f, clarinet, 0, 71, 100, 70, 50);
    SetUpChannel(f, marimba, 1, 12, 88, 40, 50);
    SetUpChannel(f, tuba, 2, 58, 96, 60, 30);
    SetUpChannel(f, pizzicato, 3, 45, 80, 90, 50);
    SetUpChannel(f, glock, 4, 9, 72, 100, 70);
    SetUpChannel(f, flute, 5, 73, 92, 30, 60);
    SetUpChannel(f, drums, kDrums, 0, 84, 64, 40);

    std::vector<SMotifNote> tune = c.MakeMotif({2, 2, 2, 2, 4, 2, 2, 2, 2, 4, 8}, 0, 7);
    std::vector<SMotifNote> skip = c.MakeMotif({3, 1, 3, 1, 4, 4, 3, 1, 3, 1, 8}, 1, 8);
    std::vector<SMotifNote> song = c.MakeMotif({4, 4, 2, 2, 4, 6, 2, 8}, 2, 9);

    static const int bounce[8] = {0, 1, 2, 1, 3, 1, 2, 1};
    for (int bar = 0; bar < bars; ++bar) {
        uint32_t t = bar * BAR;
        int ch = chords[bar];
        std::vector<int> tri = c.Triad(ch, 4);
        int tones[4] = {tri[0], tri[1], tri[2], tri[0] + 12};
        for (int i = 0; i < 8; ++i)
            f.Note(marimba, t + i * E, 1, tones[bounce[i]], i % 2 ? 60 : 76, E);
        f.Note(tuba, t, 2, c.Key(ch, 2), 96, Q - 60);
        f.Note(tuba, t + H, 2, c.Key(ch + 4, 1), 86, Q - 60);
        Chord(f, pizzicato, 3, c.Triad(ch, 4), t + Q, E, 70);
        Chord(f, pizzicato, 3, c.Triad(ch, 4), t + 3 * Q, E, 66);
        f.Note(drums, t, kDrums, kKick, 84, E);
        f.Note(drums, t + H, kDrums, kKick, 76, E);
        f.Note(drums, t + Q, kDrums, kSideStick, 80, E);
        f.Note(drums, t + 3 * Q, kDrums, kSideStick, 84, E);
        for (int i = 0; i < 8; ++i)
            f.Note(drums, t + i * E, kDrums, kClosedHat, i % 2 ? 44 : 62, E - 40);
        if (bar >= 12) {
            for (int i = 1; i < 8; i += 2)
                f.Note(drums, t + i * E, kDrums, kTambourine, 54, E);
        }
        if (bar >= 12 && bar < 20 && bar % 2 == 1) f.Note(glock, t + 3 * Q + E, 4, c.Key(ch + 4, 6), 70, E);
    }
    for (int section : {4, 20}) {
        for (int phrase = 0; phrase < 4; ++phrase) {
            int bar = section + phrase * 2;
            const std::vector<SMotifNote>& m = phrase == 3 ? skip : tune;
            c.PlaceMotif(f, clarinet, 0, bar * BAR, m, &chords[bar], 4, 88, phrase == 2 ? 2 : 0);
            if (section == 20)
                c.PlaceMotif(f, glock, 4, bar * BAR, m, &chords[bar], 6, 60, phrase == 2 ? 2 : 0);
        }
    }
    for (int phrase = 0; phrase < 4; ++phrase) {
        int bar = 12 + phrase * 2;
        c.PlaceMotif(f, flute, 5, bar * BAR, song, &chords[bar], 5, 84, phrase % 2 ? 1 : 0);
    }
    // The intro's clarinet pickup, so the loop point leads into the tune.
    c.PlaceMotif(f, clarinet, 0, 2 * BAR, skip, &chords[2], 4, 70, 0);
    f.End(bars * BAR);
    return f.Bytes();
}
