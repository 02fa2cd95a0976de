#ifndef PONDQUEST_CSYNTHESIZER_H
#define PONDQUEST_CSYNTHESIZER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMidiChecker;

// The one synthesizer behind every sound system's songs: one soundfont, loaded once off the
// main thread, and one MIDI player, rendering on a thread of its own into a short queue that
// the mixer's music stream reads. Nothing called here waits on the synthesizer, so starting or
// stopping a song never blocks, whatever the synthesizer does.
//
// This file is the FluidSynth one; a platform with its own MIDI player puts its variant of
// these operations behind the same header.
class CSynthesizer {
public:
    // The most voices the synthesizer sounds at once; a note past them would cut another short.
    static constexpr int kPolyphony = 128;

    // Where soundfonts are looked for, in order: the paths in $SDL_SOUNDFONTS (separated by
    // ';', as SDL_mixer reads it) when that is set, else Debian's General MIDI soundfonts.
    static std::vector<std::string> SoundFontPlaces();
    // The first of the places holding a soundfont; false with a one-line account of every
    // place looked at and what was wrong there.
    static bool FindSoundFont(const std::vector<std::string>& places, std::string* path, std::string* why);

    // With the mixer's device open (44100 Hz, 16-bit stereo): starts loading the soundfont and
    // feeds the mixer's music stream. A song played before the soundfont is in starts once it is.
    static void Open(const std::string& soundFont);
    // Stops feeding the mixer and ends the rendering; gives up waiting after half a second.
    static void Close();
    // The next Open leaves the soundfont unloaded until ReleaseLoading (or a second at most), so
    // that loading it does not take the processor from the game's first picture.
    static void HoldLoading();
    static void ReleaseLoading();

    // A song that may be played (a checked Standard MIDI File): a soundfont loaded from now on
    // may hold only the presets of the songs expected so far; playing any other song brings
    // in the whole font first.
    static void Expect(const CMidiChecker& song);
    // Starts the song (a checked Standard MIDI File) in place of any other: plays times in all,
    // or for ever when plays is -1.
    static void Play(std::shared_ptr<const std::vector<uint8_t>> song, int plays);
    static void Stop();
    // Whether the last song played is still going (it has been neither stopped nor played out).
    static bool IsPlaying();
    // Scales the songs' samples from now on (1 is the synthesizer's own level).
    static void SetGain(float gain);
    // The most voices sounding at once so far in the song played last (0 where the platform's
    // synthesizer does not tell).
    static int PeakVoices();
};

#endif
