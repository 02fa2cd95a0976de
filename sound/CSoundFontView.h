#ifndef PONDQUEST_CSOUNDFONTVIEW_H
#define PONDQUEST_CSOUNDFONTVIEW_H

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CMidiChecker;

// A soundfont as FluidSynth sees it when only some of its presets are wanted: the real file's
// bytes up to its preset data, so that every sample stays where it is and is still read from
// the real file, followed by preset data rebuilt to hold only the presets kept and the
// instruments they reach. FluidSynth builds every zone of every preset it is given, a couple of
// kilobytes each; a font of a few hundred presets costs megabytes the songs never touch.
//
// The file is not trusted: anything unexpected in its layout or its indices leaves the view
// showing the whole file unchanged, which FluidSynth then takes or refuses as it always did.
class CSoundFontView {
public:
    // A (bank, program) pair as FluidSynth's presets are numbered; the drum kits are bank 128.
    using Preset = std::pair<int, int>;

    CSoundFontView(const std::string& path, const std::set<Preset>& presets);
    ~CSoundFontView();
    CSoundFontView(const CSoundFontView&) = delete;
    CSoundFontView& operator=(const CSoundFontView&) = delete;

    // The name to hand fluid_synth_sfload on a synthesizer given AddLoader: the trimmed font's
    // while the view is trimmed, the real file's otherwise. Valid while the view lives, which
    // must be as long as the font stays loaded (FluidSynth reopens it for samples).
    const std::string& Name() const { return name; }
    bool IsTrimmed() const { return trimmed; }
    // Whether every preset listed is among those kept (always so for the whole file).
    bool Keeps(const std::set<Preset>& presets) const;
    int KeptPresets() const { return keptPresets; }

    // Gives the synthesizer the loader that reads views by their names and every other name
    // as a plain file. Call before its first fluid_synth_sfload.
    // `synth` is a fluid_synth_t*, kept opaque so that this header needs no FluidSynth header.
    static bool AddLoader(void* synth);

    // Adds every preset a song may have FluidSynth select, with what FluidSynth falls back to
    // when a bank lacks it: the programs its channels choose, in every bank it selects and in
    // the drum bank, and the presets reset channels start on. More than it uses at times,
    // never fewer. The song is one the checker passed.
    static void AddSongPresets(const CMidiChecker& song, std::set<Preset>* presets);
    // The same for a Standard MIDI File's bytes; false, adding nothing, when the checker
    // refuses them.
    static bool AddSongPresets(const std::vector<uint8_t>& song, std::set<Preset>* presets);

private:
    bool Build(const std::string& path);

    std::string name;
    bool trimmed;
    int keptPresets;
    std::set<Preset> kept;
};

#endif
