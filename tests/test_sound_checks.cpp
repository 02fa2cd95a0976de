// The song and effect checkers against files made here: every kind the formats allow is
// accepted, every damaged one refused with its reason; and where the soundfont is looked for.
#include <gtest/gtest.h>

#include "sound/CMidiChecker.h"
#include "sound/CSoundFontView.h"
#include "sound/CSynthesizer.h"
#include "sound/CWaveChecker.h"
#include "support/SoundBytes.h"
#include "support/TempDir.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace soundbytes;

Bytes SmallSong() { return Header(1, 2, 96) + Track(Tempo(500000) + kEnd) + Track(kRunning + kSysex + kEnd); }

struct Case {
    const char* name;
    Bytes bytes;
    const char* reason;  // a phrase of the refusal; null for a file that must pass
};

TEST(MidiChecker, AcceptsEveryKindTheFormatAllowsAndWritesItPlainly) {
    const Case cases[] = {
        {"format 0", Header(0, 1, 96) + Track(Tempo(500000) + kNotes + kEnd), nullptr},
        {"format 1 with running status",
         Header(1, 3, 480) + Track(Tempo(400000) + kEnd) + Track(kRunning + kEnd) + Track(kNotes + kEnd),
         nullptr},
        {"system exclusive, plain and escaped", Header(0, 1, 96) + Track(kSysex + kEscaped + kNotes + kEnd),
         nullptr},
        {"a track without end-of-track", Header(1, 2, 96) + Track(kNotes) + Track(kNotes + kEnd), nullptr},
        {"a longer header, an unknown chunk, padding after the end and the tracks",
         MidiChunk("MThd", Big(1, 2) + Big(1, 2) + Big(96, 2) + Bytes{0, 0}) +
             MidiChunk("XFIH", Text("info")) + Track(kNotes + kEnd + Bytes{0, 0, 0}) + Bytes{0, 0},
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMidiChecker checker;
        ASSERT_TRUE(checker.Check(c.bytes.data(), c.bytes.size())) << checker.reason;
        EXPECT_TRUE(checker.reason.empty());
        // The plain copy passes again, with every track closed, and is its own plain copy.
        const Bytes plain = checker.playable;
        CMidiChecker again;
        ASSERT_TRUE(again.Check(plain.data(), plain.size())) << again.reason;
        EXPECT_EQ(again.tracksWithoutEnd, 0);
        EXPECT_EQ(again.playable, plain);
        EXPECT_EQ(again.trackCount, checker.trackCount);
        EXPECT_EQ(again.division, checker.division);
    }
    // The game's own songs are already plain, and go to the synthesizer as they are.
    for (const char* name :
         {"DuelOfTheFates.mid", "Crawling.mid", "The_Kids_Arent_Alright.mid", "rubberduckie.mid"}) {
        CMidiChecker checker;
        ASSERT_TRUE(checker.CheckFile(name)) << name << ": " << checker.reason;
        EXPECT_EQ(checker.playable, checker.bytes) << name;
    }
}

TEST(MidiChecker, RefusesDamagedFilesWithTheirReason) {
    const Bytes small = SmallSong();
    Bytes song = ReadFileBytes("Crawling.mid");
    ASSERT_GT(song.size(), 2000u);
    Bytes overwritten = song;
    std::fill(overwritten.begin() + overwritten.size() / 2,
              overwritten.begin() + overwritten.size() / 2 + 200, 0xFF);
    Bytes absurdTrack = Header(0, 1, 96) + Text("MTrk") + Big(0xFFFFFFF0u, 4) + kNotes + kEnd;
    const Case cases[] = {
        {"empty", {}, "not a Standard MIDI File"},
        {"another kind of file", Wave(Format(1, 1, 44100, 16), 4), "not a Standard MIDI File"},
        {"cut inside the header", Bytes(small.begin(), small.begin() + 10), "ends inside the header"},
        {"header only", Header(1, 1, 96), "ends after 0 of 1 tracks"},
        {"a track missing", Header(1, 3, 96) + Track(kEnd) + Track(kEnd), "ends after 2 of 3 tracks"},
        {"zero tracks", Header(1, 0, 96), "no tracks"},
        {"absurd track count", Header(1, 200, 96) + Track(kEnd), "200 tracks"},
        {"format 0 with two tracks", Header(0, 2, 96) + Track(kEnd) + Track(kEnd), "format 0 with 2 tracks"},
        {"format 2", Header(2, 1, 96) + Track(kEnd), "format 2"},
        {"unknown format", Header(7, 1, 96) + Track(kEnd), "unknown format 7"},
        {"SMPTE time", Header(1, 1, 0xE728) + Track(kEnd), "SMPTE"},
        {"no time division", Header(1, 1, 0) + Track(kEnd), "time division of 0"},
        {"short header", MidiChunk("MThd", Big(1, 2) + Big(1, 2) + Bytes{0}) + Bytes{96} + Track(kEnd),
         "header of 5 bytes"},
        {"absurd header length", Text("MThd") + Big(0x7FFFFFFF, 4) + Big(1, 2) + Big(1, 2) + Big(96, 2),
         "header claims"},
        {"absurd track length", absurdTrack, "track 1 of 1 at byte 14 claims 4294967280 bytes"},
        {"chunk name not text", Header(0, 1, 96) + MidiChunk("M\x01rk", kEnd), "chunk without a name"},
        {"absurd meta length", Header(0, 1, 96) + Track(Bytes{0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F, 'a'}),
         "meta event at byte 22 claims 33554431 bytes"},
        {"absurd sysex length", Header(0, 1, 96) + Track(Bytes{0x00, 0xF0, 0x87, 0x7F, 0x7E} + kEnd),
         "system-exclusive event at byte 22 claims"},
        {"five-byte delta time",
         Header(0, 1, 96) + Track(Bytes{0x80, 0x80, 0x80, 0x80, 0x00, 0xFF, 0x2F, 0x00}),
         "delta time at byte 22 is longer than 4 bytes"},
        {"running status first", Header(0, 1, 96) + Track(Bytes{0x00, 0x3C, 0x64} + kEnd),
         "running status without a status"},
        {"running status after a meta event",
         Header(0, 1, 96) + Track(kNotes + Tempo(500000) + Bytes{0x00, 0x3C, 0x00}),
         "running status without a status"},
        {"data byte out of range", Header(0, 1, 96) + Track(Bytes{0x00, 0x90, 0x3C, 0x90} + kEnd),
         "data byte 0x90"},
        {"system message in a file", Header(0, 1, 96) + Track(Bytes{0x00, 0xF1, 0x00} + kEnd),
         "status 0xF1 at byte 22 does not belong"},
        {"tempo of zero", Header(0, 1, 96) + Track(Tempo(0) + kEnd), "tempo of 0 microseconds"},
        {"tempo of the wrong size",
         Header(0, 1, 96) + Track(Bytes{0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1} + kEnd),
         "has 2 bytes instead of 3"},
        {"end-of-track with data", Header(0, 1, 96) + Track(Bytes{0x00, 0xFF, 0x2F, 0x01, 0x00}),
         "has 1 bytes instead of 0"},
        {"event cut at the track's end", Header(0, 1, 96) + Track(Bytes{0x00, 0x90, 0x3C}),
         "track 1 ends inside the event at byte 22"},
        {"track lasting for ever",
         Header(0, 1, 96) + Track(Bytes{0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x64, 0x01, 0x3C, 0x00} + kEnd),
         "lasts more than"},
        {"200 bytes overwritten", overwritten, "track"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMidiChecker checker;
        EXPECT_FALSE(checker.Check(c.bytes.data(), c.bytes.size()));
        EXPECT_NE(checker.reason.find(c.reason), std::string::npos) << checker.reason;
        EXPECT_TRUE(checker.playable.empty());
    }
    // Cut anywhere, a song is refused: everywhere in a small one, at many points in a real one.
    for (size_t cut = 0; cut < small.size(); ++cut) {
        CMidiChecker checker;
        EXPECT_FALSE(checker.Check(small.data(), cut)) << "cut at " << cut;
        EXPECT_FALSE(checker.reason.empty());
    }
    for (size_t cut = 0; cut < song.size(); cut += song.size() / 50 + 1) {
        CMidiChecker checker;
        EXPECT_FALSE(checker.Check(song.data(), cut)) << "cut at " << cut;
    }
}

// --- RIFF WAVE files ---

TEST(WaveChecker, AcceptsPlainAndExtensiblePcmAndFloat) {
    const Case cases[] = {
        {"16-bit mono", Wave(Format(1, 1, 44100, 16), 200), nullptr},
        {"8-bit mono, odd length without its pad byte",
         Text("RIFF") + Little(4 + 24 + 8 + 7, 4) + Text("WAVE") + WaveChunk("fmt ", Format(1, 1, 22050, 8)) +
             Text("data") + Little(7, 4) + Bytes(7, 0x80),
         nullptr},
        {"24-bit six channels", Wave(Format(1, 6, 48000, 24), 18 * 10), nullptr},
        {"32-bit float", Wave(Format(3, 2, 44100, 32), 80), nullptr},
        {"extensible PCM with a list chunk",
         Riff(WaveChunk("fmt ", Extensible(1, 2, 44100, 16)) + WaveChunk("LIST", Text("INFOx")) +
              WaveChunk("data", Bytes(40, 1))),
         nullptr},
        {"fmt with an extension", Wave(Format(1, 1, 44100, 16) + Little(0, 2), 20), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWaveChecker checker;
        EXPECT_TRUE(checker.Check(c.bytes.data(), c.bytes.size())) << checker.reason;
    }
    for (const char* name : {"ouch.wav", "reeses.wav"}) {
        CWaveChecker checker;
        ASSERT_TRUE(checker.CheckFile(name)) << name << ": " << checker.reason;
        EXPECT_EQ(checker.frames * 2 + 44, checker.bytes.size()) << name;
        EXPECT_EQ(checker.rate, 44100);
    }
}

TEST(WaveChecker, RefusesDamagedFilesWithTheirReason) {
    const Bytes good = Wave(Format(1, 2, 44100, 16), 64);
    Bytes longRiff = good;
    longRiff[4] = 0xF0;
    Bytes longData = good;
    longData[40] = 0xF0;
    Bytes unknownGuid = Extensible(1, 1, 44100, 16);
    unknownGuid.back() = 0;
    const Case cases[] = {
        {"empty", {}, "not a RIFF file"},
        {"a song", Header(0, 1, 96), "not a RIFF file"},
        {"cut inside the RIFF header", Text("RIFF") + Bytes{4, 0, 0}, "ends inside the RIFF header"},
        {"not a WAVE", Text("RIFF") + Little(4, 4) + Text("AVI "), "not a WAVE"},
        {"RIFF longer than the file", longRiff, "RIFF claims 240 bytes"},
        {"data longer than the RIFF", longData, "chunk 'data' at byte 36 claims 240 bytes"},
        {"no format", Riff(WaveChunk("data", Bytes(4, 0))), "data before the format chunk"},
        {"no data", Riff(WaveChunk("fmt ", Format(1, 1, 44100, 16))), "no data chunk"},
        {"nothing at all", Riff({}), "no format chunk"},
        {"short format", Riff(WaveChunk("fmt ", Bytes(14, 1)) + WaveChunk("data", Bytes(4, 0))),
         "format chunk of 14 bytes"},
        {"two formats",
         Riff(WaveChunk("fmt ", Format(1, 1, 8000, 8)) + WaveChunk("fmt ", Format(1, 1, 8000, 8))),
         "a second format chunk"},
        {"zero channels", Wave(Format(1, 0, 44100, 16), 4), "0 channels"},
        {"nine channels", Wave(Format(1, 9, 44100, 16), 18), "9 channels"},
        {"no sample rate", Wave(Format(1, 1, 0, 16), 4), "sample rate of 0"},
        {"12-bit samples", Wave(Format(1, 1, 44100, 12), 4), "12-bit PCM"},
        {"64-bit float", Wave(Format(3, 1, 44100, 64), 8), "64-bit floating-point"},
        {"compressed", Wave(Format(2, 1, 44100, 4), 4), "format 0x0002 is neither"},
        {"unknown extensible", Riff(WaveChunk("fmt ", unknownGuid) + WaveChunk("data", Bytes(4, 0))),
         "unknown extensible sub-format"},
        {"wrong frame size",
         Riff(WaveChunk("fmt ", Little(1, 2) + Little(2, 2) + Little(44100, 4) + Little(44100 * 4, 4) +
                                    Little(3, 2) + Little(16, 2)) +
              WaveChunk("data", Bytes(12, 0))),
         "frame of 3 bytes"},
        {"wrong byte rate",
         Riff(WaveChunk("fmt ", Little(1, 2) + Little(1, 2) + Little(44100, 4) + Little(1000, 4) +
                                    Little(2, 2) + Little(16, 2)) +
              WaveChunk("data", Bytes(4, 0))),
         "byte rate 1000"},
        {"no samples", Wave(Format(1, 1, 44100, 16), 0), "no samples"},
        {"part of a frame", Wave(Format(1, 2, 44100, 16), 6), "not a whole number of 4-byte frames"},
        // Found by fuzzing: the chunk's name went raw into the message, line break and all.
        {"a long chunk named with control bytes", Riff(Bytes{0x1B, 'm', 't', '\n'} + Little(0x03540010, 4)),
         "chunk '?mt?' at byte 12 claims"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWaveChecker checker;
        EXPECT_FALSE(checker.Check(c.bytes.data(), c.bytes.size()));
        EXPECT_NE(checker.reason.find(c.reason), std::string::npos) << checker.reason;
        EXPECT_EQ(checker.reason.find_first_of("\n\x1b"), std::string::npos) << checker.reason;
    }
    for (size_t cut = 0; cut < good.size(); ++cut) {
        CWaveChecker checker;
        EXPECT_FALSE(checker.Check(good.data(), cut)) << "cut at " << cut;
        EXPECT_FALSE(checker.reason.empty());
    }
}

TEST(SoundFileChecker, FilesThatCannotBeReadAreRefusedWithTheSystemsReason) {
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    CMidiChecker checker;
    EXPECT_FALSE(checker.CheckFile(dir.File("missing.mid")));
    EXPECT_EQ(checker.reason, "No such file or directory");
    EXPECT_FALSE(checker.CheckFile(dir.path));
    EXPECT_EQ(checker.reason, "Is a directory");
    const std::string big = dir.Write("big.mid", Bytes(CMidiChecker::kMaxFileBytes + 1, 0));
    EXPECT_FALSE(checker.CheckFile(big));
    EXPECT_NE(checker.reason.find("larger than"), std::string::npos) << checker.reason;
    EXPECT_TRUE(checker.CheckFile(dir.Write("ok.mid", SmallSong()))) << checker.reason;
}

// --- The soundfont ---

class SoundFontLookup : public ::testing::Test {
protected:
    void SetUp() override {
        const char* now = std::getenv("SDL_SOUNDFONTS");
        had = now != nullptr;
        if (had) saved = now;
    }
    void TearDown() override {
        if (had)
            setenv("SDL_SOUNDFONTS", saved.c_str(), 1);
        else
            unsetenv("SDL_SOUNDFONTS");
    }
    bool had = false;
    std::string saved;
};

TEST_F(SoundFontLookup, EnvironmentFirstElseDebiansGeneralMidiFonts) {
    setenv("SDL_SOUNDFONTS", "/a/one.sf2;/b/two.sf2;", 1);
    EXPECT_EQ(CSynthesizer::SoundFontPlaces(), (std::vector<std::string>{"/a/one.sf2", "/b/two.sf2"}));
    unsetenv("SDL_SOUNDFONTS");
    std::vector<std::string> places = CSynthesizer::SoundFontPlaces();
    ASSERT_GE(places.size(), 3u);
    EXPECT_EQ(places[0], "/usr/share/sounds/sf2/default-GM.sf2");
    EXPECT_EQ(places[1], "/usr/share/sounds/sf2/TimGM6mb.sf2");
    EXPECT_EQ(places[2], "/usr/share/sounds/sf2/FluidR3_GM.sf2");
}

TEST_F(SoundFontLookup, FirstRealSoundFontWinsAndEveryPlaceLookedAtIsNamed) {
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const std::string notFont = dir.Write("notes.sf2", Text("just some text"));
    const std::string font = dir.Write("font.sf2", Text("RIFF") + Little(4, 4) + Text("sfbk"));
    const std::string later = dir.Write("later.sf2", Text("RIFF") + Little(4, 4) + Text("sfbk"));
    std::string path, why;
    ASSERT_TRUE(CSynthesizer::FindSoundFont({dir.File("gone.sf2"), notFont, font, later}, &path, &why));
    EXPECT_EQ(path, font);

    unsetenv("SDL_SOUNDFONTS");
    EXPECT_FALSE(CSynthesizer::FindSoundFont({dir.File("gone.sf2"), notFont}, &path, &why));
    EXPECT_NE(why.find(dir.File("gone.sf2") + " (No such file or directory)"), std::string::npos) << why;
    EXPECT_NE(why.find(notFont + " (not a soundfont)"), std::string::npos) << why;
}

// A synthesizer set up as the game's, reading fonts through the views' loader.
struct Synth {
    Synth() {
        settings = new_fluid_settings();
        fluid_settings_setnum(settings, "synth.sample-rate", 44100);
        fluid_settings_setint(settings, "synth.lock-memory", 0);
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(settings, "synth.polyphony", CSynthesizer::kPolyphony);
        synth = new_fluid_synth(settings);
        CSoundFontView::AddLoader(synth);
    }
    ~Synth() {
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
    }
    // How many presets the font loaded under that name holds; -1 when it is refused.
    int Load(const std::string& name) {
        const int id = fluid_synth_sfload(synth, name.c_str(), 1);
        fluid_sfont_t* font = fluid_synth_get_sfont_by_id(synth, id);
        if (!font) return -1;
        int presets = 0;
        fluid_sfont_iteration_start(font);
        while (fluid_sfont_iteration_next(font))
            ++presets;
        return presets;
    }
    // The song's first blocks of 512 frames as the game's synthesizer renders them.
    std::vector<float> Render(const Bytes& song, int blocks) {
        fluid_synth_system_reset(synth);
        fluid_player_t* player = new_fluid_player(synth);
        fluid_player_add_mem(player, song.data(), song.size());
        fluid_player_play(player);
        std::vector<float> samples(size_t(blocks) * 1024);
        for (int i = 0; i < blocks; ++i)
            fluid_synth_write_float(synth, 512, samples.data() + i * 1024, 0, 2, samples.data() + i * 1024, 1,
                                    2);
        fluid_player_stop(player);
        delete_fluid_player(player);
        return samples;
    }
    fluid_settings_t* settings;
    fluid_synth_t* synth;
};

std::string SoundFont() {
    std::string path, why;
    return CSynthesizer::FindSoundFont(CSynthesizer::SoundFontPlaces(), &path, &why) ? path : "";
}

Bytes PlayableSong(const char* name) {
    const Bytes file = ReadFileBytes(name);
    CMidiChecker checker;
    return checker.Check(file.data(), file.size()) ? checker.playable : Bytes();
}

// The font trimmed to one song's presets sounds sample for sample as the whole font does, for
// a song that changes instruments and plays drums.
TEST(SoundFontView, TrimmedFontSoundsExactlyAsTheWholeOne) {
    const std::string font = SoundFont();
    ASSERT_FALSE(font.empty());
    const Bytes song = PlayableSong("DuelOfTheFates.mid");
    std::set<CSoundFontView::Preset> presets;
    ASSERT_TRUE(CSoundFontView::AddSongPresets(song, &presets));
    CSoundFontView view(font, presets);
    ASSERT_TRUE(view.IsTrimmed());
    EXPECT_TRUE(view.Keeps(presets));
    EXPECT_FALSE(view.Keeps({{0, 127}, {1, 0}}));

    Synth whole, trimmed;
    const int allPresets = whole.Load(font);
    EXPECT_EQ(trimmed.Load(view.Name()), view.KeptPresets());
    EXPECT_LT(view.KeptPresets() * 4, allPresets);
    const std::vector<float> expected = whole.Render(song, 700);
    const std::vector<float> heard = trimmed.Render(song, 700);
    ASSERT_EQ(heard.size(), expected.size());
    EXPECT_EQ(std::memcmp(heard.data(), expected.data(), heard.size() * sizeof(float)), 0);
    EXPECT_GT(*std::max_element(expected.begin(), expected.end()), 0.05f);
}

// A font whose layout or indices are off is shown whole, unchanged: FluidSynth takes it or
// refuses it as it does without the view.
TEST(SoundFontView, DamagedFontIsShownWholeAndLoadsAsBefore) {
    const std::string font = SoundFont();
    ASSERT_FALSE(font.empty());
    const Bytes intact = ReadFileBytes(font);
    ASSERT_GT(intact.size(), 1000u);
    // The preset data's sub-chunks, found by walking them from the last 'pdta'.
    const Bytes id = Text("pdta");
    const size_t pdta =
        size_t(std::find_end(intact.begin(), intact.end(), id.begin(), id.end()) - intact.begin());
    std::map<std::string, size_t> chunk;  // where each one's records start
    for (size_t at = pdta + 4; at + 8 <= intact.size();) {
        const uint32_t size =
            intact[at + 4] | intact[at + 5] << 8 | intact[at + 6] << 16 | uint32_t(intact[at + 7]) << 24;
        chunk[std::string(intact.begin() + at, intact.begin() + at + 4)] = at + 8;
        at += 8 + size;
    }
    ASSERT_EQ(chunk.size(), 9u);
    auto patch = [](Bytes bytes, size_t at, uint16_t value) {
        bytes[at] = uint8_t(value);
        bytes[at + 1] = uint8_t(value >> 8);
        return bytes;
    };
    size_t instrumentGen = chunk["pgen"];
    while (intact[instrumentGen] != 41)
        instrumentGen += 4;
    struct Damage {
        const char* name;
        Bytes bytes;
    };
    const Damage damages[] = {
        {"cut short", Bytes(intact.begin(), intact.begin() + intact.size() / 2)},
        {"a RIFF size two bytes long", patch(intact, 4, uint16_t(intact[4] | intact[5] << 8) + 2)},
        {"a zone naming a missing instrument", patch(intact, instrumentGen + 2, 0xFFFF)},
        {"preset bags out of order", patch(intact, chunk["phdr"] + 38 + 24, 0xFFFF)},
        {"instrument bags past the last", patch(intact, chunk["inst"] + 24 * 22 + 20, 0xFFF0)},
        {"a preset list not where it belongs", patch(intact, pdta, 'p' | 'x' << 8)},
    };
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const std::set<CSoundFontView::Preset> presets = {{0, 0}, {128, 0}, {0, 40}};
    fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    {
        CSoundFontView view(dir.Write("intact.sf2", intact), presets);
        EXPECT_TRUE(view.IsTrimmed());  // what the damages below change
    }
    for (const Damage& damage : damages) {
        const std::string path = dir.Write("damaged.sf2", damage.bytes);
        CSoundFontView view(path, presets);
        EXPECT_FALSE(view.IsTrimmed()) << damage.name;
        EXPECT_EQ(view.Name(), path) << damage.name;
        Synth through, plain;
        fluid_synth_t* alone = new_fluid_synth(plain.settings);
        const int id = fluid_synth_sfload(alone, path.c_str(), 1);
        EXPECT_EQ(through.Load(view.Name()) >= 0, id != FLUID_FAILED) << damage.name;
        delete_fluid_synth(alone);
    }
}

}  // namespace
