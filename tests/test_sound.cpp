// The sound system measured through SDL's disk audio driver: every test reads
// back the samples the mixer actually produced.
#include <gtest/gtest.h>

#include "scene/CGameError.h"
#include "sound/CSoundClip.h"
#include "sound/CSoundFontView.h"
#include "sound/CSoundSystem.h"
#include "sound/CSynthesizer.h"
#include "support/SoundBytes.h"
#include "support/TempDir.h"

#include <SDL_mixer.h>
#include <time.h>
#include <unistd.h>

#include <regex.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kRate = 44100;
const size_t kFrameBytes = 4;        // 16-bit stereo
const size_t kLatencyFrames = 4096;  // two device buffers may already be on their way

// Length in seconds of a Standard MIDI File, following its tempo changes.
double MidiSeconds(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 14) return 0;
    int division = (b[12] << 8) | b[13];
    struct Change {
        uint32_t tick;
        uint32_t micros;
    };
    std::vector<Change> tempo;
    uint32_t end = 0;
    size_t p = 14;
    while (p + 8 <= b.size()) {
        size_t length = (size_t(b[p + 4]) << 24) | (b[p + 5] << 16) | (b[p + 6] << 8) | b[p + 7];
        size_t q = p + 8, stop = p + 8 + length;
        uint32_t tick = 0;
        unsigned char running = 0;
        while (q < stop) {
            uint32_t delta = 0;
            do
                delta = (delta << 7) | (b[q] & 0x7F);
            while (b[q++] & 0x80);
            tick += delta;
            unsigned char status = b[q] & 0x80 ? b[q++] : running;
            if (status == 0xFF) {
                unsigned char type = b[q++];
                uint32_t n = 0;
                do
                    n = (n << 7) | (b[q] & 0x7F);
                while (b[q++] & 0x80);
                if (type == 0x51) tempo.push_back({tick, uint32_t(b[q] << 16 | b[q + 1] << 8 | b[q + 2])});
                q += n;
            } else {
                running = status;
                q += (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            }
        }
        if (tick > end) end = tick;
        p = stop;
    }
    double seconds = 0;
    uint32_t at = 0, micros = 500000;
    for (const Change& c : tempo) {
        seconds += double(c.tick - at) * micros / division / 1e6;
        at = c.tick;
        micros = c.micros;
    }
    return seconds + double(end - at) * micros / division / 1e6;
}

void RecordBox(void* owner, const char* caption, const char* text) {
    std::fprintf(stderr, "[box owner=%s caption=%s text=%s]\n", owner ? "window" : "none", caption, text);
}

// Points SDL at its disk driver writing to a fresh temporary file, and reads the
// samples back. Must be set up before the first Initialize of a test.
class DiskAudio : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder.path.empty());
        path = folder.File("audio.raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
        // One millisecond per buffer: far faster than real time, yet the file
        // grows at a pace the test can follow.
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        CSoundSystem::showFailureBox = RecordBox;
    }
    void TearDown() override {
        CSoundSystem::SetMusicVolume(1.0f);
        CSoundSystem::SetEffectsVolume(1.0f);
        CSoundSystem::SetMuted(false);
    }

    size_t Frames() const {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        return in ? size_t(in.tellg()) / kFrameBytes : 0;
    }
    // Waits for the mixer to have produced this many frames in all.
    void WaitForFrames(size_t frames) const {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (Frames() < frames) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "audio stopped advancing";
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    std::vector<int16_t> Read(size_t from, size_t to) const {
        WaitForFrames(to);
        std::vector<int16_t> samples((to - from) * 2);
        std::ifstream in(path, std::ios::binary);
        in.seekg(std::streamoff(from * kFrameBytes));
        in.read(reinterpret_cast<char*>(samples.data()), std::streamsize(samples.size() * 2));
        return samples;
    }
    double Rms(size_t from, size_t to) const { return RmsOf(Read(from, to)); }
    static double RmsOf(const std::vector<int16_t>& s) {
        double sum = 0;
        for (int16_t v : s)
            sum += double(v) * v;
        return s.empty() ? 0 : std::sqrt(sum / s.size());
    }
    // Samples at full scale, either way.
    static int FullScale(const std::vector<int16_t>& s) {
        return int(std::count_if(s.begin(), s.end(), [](int16_t v) { return v == 32767 || v == -32768; }));
    }
    bool AllZero(size_t from, size_t to) const {
        for (int16_t v : Read(from, to))
            if (v != 0) return false;
        return true;
    }
    // First and one-past-last frame with sound in [from, to).
    std::pair<size_t, size_t> Span(size_t from, size_t to) const {
        std::vector<int16_t> s = Read(from, to);
        size_t first = s.size(), last = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] != 0) {
                if (first == s.size()) first = i;
                last = i + 1;
            }
        }
        if (first == s.size()) return {from, from};
        return {from + first / 2, from + (last + 1) / 2};
    }
    static size_t Seconds(double s) { return size_t(s * kRate); }

    // What is heard for `seconds` from frame `at` on, past the buffers already queued then.
    double RmsPastLatency(size_t at, double seconds) const {
        return Rms(at + kLatencyFrames, at + kLatencyFrames + Seconds(seconds));
    }
    // Silence for a second from now, past the buffers already queued.
    bool SilentFromNow() const {
        const size_t now = Frames();
        return AllZero(now + kLatencyFrames, now + kLatencyFrames + Seconds(1));
    }

    TempDir folder;
    std::string path;
};

// One frame count per effect file, as the mixer holds it (stereo, 16-bit).
size_t ChunkFrames(CSoundClip* clip) { return clip->chunk->alen / kFrameBytes; }

TEST_F(DiskAudio, SongWithInfiniteRepeatsOutlastsItsLengthWhileOnePlayEnds) {
    const double length = MidiSeconds("Crawling.mid");
    ASSERT_GT(length, 45.0);
    CSoundSystem world;
    ASSERT_TRUE(world.Initialize(nullptr));
    CSoundClip* song = world.Load("Crawling.mid", false);
    ASSERT_NE(song, nullptr);

    size_t start = Frames();
    world.Play(song, 0);
    // Played once, the song has died away shortly after its own length.
    EXPECT_GT(Rms(start + Seconds(1), start + Seconds(3)), 300.0);
    EXPECT_LT(Rms(start + Seconds(length + 1.5), start + Seconds(length + 2.5)), 30.0);

    start = Frames();
    world.Play(song, DMUS_SEG_REPEAT_INFINITE);
    EXPECT_GT(Rms(start + Seconds(length + 1.5), start + Seconds(length + 2.5)), 300.0);
    EXPECT_TRUE(world.IsPlaying(song));
    world.Shutdown();
}

TEST_F(DiskAudio, EffectWithOneRepeatSoundsTwiceAsLong) {
    CSoundSystem player;
    ASSERT_TRUE(player.Initialize(nullptr));
    CSoundClip* ouch = player.Load("ouch.wav", false);
    ASSERT_NE(ouch, nullptr);
    const size_t clip = ChunkFrames(ouch);
    ASSERT_GT(clip, size_t(kRate / 10));

    size_t start = Frames();
    player.Play(ouch, 0);
    std::pair<size_t, size_t> once = Span(start, start + 3 * clip + kLatencyFrames);
    start = Frames();
    player.Play(ouch, 1);
    std::pair<size_t, size_t> twice = Span(start, start + 4 * clip + kLatencyFrames);

    double onceLength = double(once.second - once.first);
    double twiceLength = double(twice.second - twice.first);
    EXPECT_NEAR(onceLength, double(clip), clip * 0.02);
    EXPECT_NEAR(twiceLength - onceLength, double(clip), clip * 0.02);
    EXPECT_FALSE(player.IsPlaying(ouch));
}

TEST_F(DiskAudio, MunchReplacesYelpOnPlayerWhileWorldSongPlaysOn) {
    CSoundSystem world, player;
    ASSERT_TRUE(world.Initialize(nullptr));
    ASSERT_TRUE(player.Initialize(nullptr));
    CSoundClip* song = world.Load("The_Kids_Arent_Alright.mid", false);
    CSoundClip* ouch = player.Load("ouch.wav", false);
    CSoundClip* munch = player.Load("reeses.wav", false);
    ASSERT_TRUE(song && ouch && munch);

    world.Play(song, DMUS_SEG_REPEAT_INFINITE);
    player.Play(ouch, DMUS_SEG_REPEAT_INFINITE);  // would yelp for ever unless replaced
    EXPECT_TRUE(player.IsPlaying(ouch));
    player.Play(munch, 1);
    EXPECT_FALSE(player.IsPlaying(ouch));
    EXPECT_TRUE(player.IsPlaying(munch));
    EXPECT_TRUE(world.IsPlaying(song));

    // Long after the munch has ended, the song is still sounding...
    size_t after = Frames() + 2 * ChunkFrames(munch) + Seconds(1);
    EXPECT_GT(Rms(after, after + Seconds(1)), 300.0);
    EXPECT_TRUE(world.IsPlaying(song));
    EXPECT_FALSE(player.IsPlaying(munch));
    // ...and it is all that is sounding: with the song stopped there is silence,
    // so no yelp is left looping on the player's channel.
    world.Stop(song);
    EXPECT_TRUE(SilentFromNow());
}

TEST_F(DiskAudio, StopSilencesSongsAndEffectsAtOnce) {
    CSoundSystem world, player;
    ASSERT_TRUE(world.Initialize(nullptr));
    ASSERT_TRUE(player.Initialize(nullptr));
    CSoundClip* song = world.Load("DuelOfTheFates.mid", false);
    CSoundClip* ouch = player.Load("ouch.wav", false);
    ASSERT_TRUE(song && ouch);

    size_t start = Frames();
    world.Play(song, DMUS_SEG_REPEAT_INFINITE);
    EXPECT_GT(Rms(start + Seconds(0.5), start + Seconds(1.5)), 300.0);
    world.Stop(song);
    EXPECT_TRUE(SilentFromNow());
    EXPECT_FALSE(world.IsPlaying(song));

    start = Frames();
    player.Play(ouch, DMUS_SEG_REPEAT_INFINITE);
    EXPECT_GT(RmsPastLatency(start, 0.3), 300.0);
    // Stopping a clip that is not playing on this system changes nothing.
    world.Stop(ouch);
    EXPECT_TRUE(player.IsPlaying(ouch));
    player.Stop(ouch);
    EXPECT_TRUE(SilentFromNow());
}

TEST_F(DiskAudio, ShutdownStopsEverythingOfThatSystemOnly) {
    CSoundSystem world, player;
    ASSERT_TRUE(world.Initialize(nullptr));
    ASSERT_TRUE(player.Initialize(nullptr));
    CSoundClip* song = world.Load("rubberduckie.mid", false);
    CSoundClip* nearby = world.Load("reeses.wav", true);
    CSoundClip* ouch = player.Load("ouch.wav", false);
    ASSERT_TRUE(song && nearby && ouch);
    // A positional clip keeps its fields and plays beside the song, not instead of it.
    EXPECT_TRUE(nearby->GetPositional());
    EXPECT_TRUE(nearby->headRelative);
    EXPECT_EQ(nearby->GetBuffer(), world.positionalChannel);
    EXPECT_EQ(ouch->GetBuffer(), -1);

    world.Play(song, DMUS_SEG_REPEAT_INFINITE);
    world.Play(nearby, DMUS_SEG_REPEAT_INFINITE);
    player.Play(ouch, DMUS_SEG_REPEAT_INFINITE);
    EXPECT_TRUE(world.IsPlaying(song));
    EXPECT_TRUE(world.IsPlaying(nearby));

    world.Shutdown();
    EXPECT_FALSE(world.IsPlaying(song));
    EXPECT_TRUE(player.IsPlaying(ouch));
    EXPECT_GT(RmsPastLatency(Frames(), 0.5), 300.0);
    // The yelp was all that was left: stopping it leaves silence.
    player.Stop(ouch);
    EXPECT_TRUE(SilentFromNow());

    // A shut-down system plays nothing, and the device closes with the last system.
    world.Play(song, 0);
    EXPECT_FALSE(world.IsPlaying(song));
    int rate = 0, channels = 0;
    Uint16 format = 0;
    EXPECT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);
    player.Shutdown();
    EXPECT_EQ(Mix_QuerySpec(&rate, &format, &channels), 0);
    player.Shutdown();  // a second shut-down is harmless
}

TEST_F(DiskAudio, NamesResolveAgainstTheDirectoryCurrentAtInitialize) {
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    const std::string game = here;
    TempDir firstDir, secondDir;
    const std::string first = firstDir.path, second = secondDir.path;
    ASSERT_FALSE(first.empty() || second.empty());
    // The same name holds a different effect in each directory.
    ASSERT_EQ(symlink((game + "/ouch.wav").c_str(), (first + "/effect.wav").c_str()), 0);
    ASSERT_EQ(symlink((game + "/reeses.wav").c_str(), (second + "/effect.wav").c_str()), 0);

    CSoundSystem reference;
    ASSERT_TRUE(reference.Initialize(nullptr));
    const Uint32 ouchBytes = reference.Load("ouch.wav", false)->chunk->alen;
    const Uint32 munchBytes = reference.Load("reeses.wav", false)->chunk->alen;
    ASSERT_NE(ouchBytes, munchBytes);

    ASSERT_EQ(chdir(first.c_str()), 0);
    CSoundSystem sound;
    ASSERT_TRUE(sound.Initialize(nullptr));
    ASSERT_EQ(chdir(second.c_str()), 0);
    CSoundClip* effect = sound.Load("effect.wav", false);
    ASSERT_EQ(chdir(game.c_str()), 0);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->chunk->alen, ouchBytes);
}

TEST_F(DiskAudio, PlayingNothingOrAfterShutdownIsHarmless) {
    CSoundSystem sound;
    CSoundClip* never = nullptr;
    sound.Play(never, 0);  // not initialised yet
    ASSERT_TRUE(sound.Initialize(nullptr));
    sound.Play(nullptr, DMUS_SEG_REPEAT_INFINITE);
    sound.Stop(nullptr);
    CSoundClip* ouch = sound.Load("ouch.wav", false);
    ASSERT_NE(ouch, nullptr);
    sound.Shutdown();
    EXPECT_FALSE(ouch->IsLoaded());  // its data went with the shut-down
    sound.Play(ouch, 0);
    sound.Stop(ouch);
    EXPECT_FALSE(sound.IsPlaying(ouch));
}

TEST_F(DiskAudio, VolumeAndMuteApplyAtOnceToWhatPlays) {
    // The opening of a song from a fresh synthesizer, at full and at half music volume: the
    // same samples at half their size.
    auto opening = [&](float volume) {
        CSoundSystem::SetMusicVolume(volume);
        CSoundSystem world;
        EXPECT_TRUE(world.Initialize(nullptr));
        CSoundClip* song = world.Load("DuelOfTheFates.mid", false);
        const size_t from = Frames();
        world.Play(song, 0);
        const size_t first = Span(from, from + Seconds(3)).first;
        std::vector<int16_t> samples = Read(first, first + Seconds(2));
        world.Shutdown();
        return samples;
    };
    const std::vector<int16_t> full = opening(1.0f), half = opening(0.5f);
    ASSERT_EQ(full.size(), half.size());
    // At half volume the first faint samples round to nothing: it is heard from a little later.
    int best = 1 << 30;
    for (size_t late = 0; late <= 512; late += 2) {
        int worst = 0;
        for (size_t i = 0; i + late < full.size(); ++i)
            worst = std::max(worst, std::abs(2 * half[i] - full[i + late]));
        best = std::min(best, worst);
    }
    EXPECT_LE(best, 2);
    EXPECT_GT(RmsOf(full), 300.0);
    CSoundSystem::SetMusicVolume(1.0f);

    CSoundSystem world, player;
    ASSERT_TRUE(world.Initialize(nullptr));
    ASSERT_TRUE(player.Initialize(nullptr));
    CSoundClip* song = world.Load("DuelOfTheFates.mid", false);
    CSoundClip* ouch = player.Load("ouch.wav", false);
    ASSERT_TRUE(song && ouch);

    // A looping yelp, measured over whole loops, at full and at half effects volume.
    player.Play(ouch, DMUS_SEG_REPEAT_INFINITE);
    const size_t loops = 2 * ChunkFrames(ouch);
    const double yelp = Rms(Frames() + kLatencyFrames, Frames() + kLatencyFrames + loops);
    CSoundSystem::SetEffectsVolume(0.5f);
    const size_t now = Frames() + kLatencyFrames;
    EXPECT_NEAR(Rms(now, now + loops) / yelp, 0.5, 0.01);

    // Muted, nothing sounds, yet everything plays on and sounds again once unmuted.
    world.Play(song, DMUS_SEG_REPEAT_INFINITE);
    CSoundSystem::SetMuted(true);
    EXPECT_TRUE(CSoundSystem::IsMuted());
    EXPECT_TRUE(SilentFromNow());
    EXPECT_TRUE(world.IsPlaying(song));
    EXPECT_TRUE(player.IsPlaying(ouch));
    CSoundSystem::SetMuted(false);
    player.Stop(ouch);
    EXPECT_GT(RmsPastLatency(Frames(), 1.0), 300.0);
    CSoundSystem::SetMusicVolume(0.0f);
    EXPECT_TRUE(SilentFromNow());

    // Volumes stay within 0 to 1; a NaN changes nothing.
    CSoundSystem::SetMusicVolume(2.0f);
    CSoundSystem::SetEffectsVolume(-1.0f);
    EXPECT_EQ(CSoundSystem::GetMusicVolume(), 1.0f);
    EXPECT_EQ(CSoundSystem::GetEffectsVolume(), 0.0f);
    CSoundSystem::SetMusicVolume(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(CSoundSystem::GetMusicVolume(), 1.0f);
}

// A song the checker accepts for all its oddities (format 0, running status, system
// exclusive plain and escaped, no end-of-track event) sounds and comes to its end.
TEST_F(DiskAudio, SongOfEveryKindTheCheckerAcceptsPlaysToItsEnd) {
    using namespace soundbytes;
    TempDir dir;
    const Bytes notes = {0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x64, 0x60,
                         0x40, 0x64, 0x60, 0x3C, 0x00, 0x60, 0x40, 0x00};
    const std::string path =
        dir.Write("odd.mid", Header(0, 1, 96) + Track(Tempo(500000) + kSysex + kEscaped + notes));
    CSoundSystem world;
    ASSERT_TRUE(world.Initialize(nullptr));
    CSoundClip* song = world.Load(path.c_str(), false);
    ASSERT_NE(song, nullptr);
    const size_t start = Frames();
    world.Play(song, 0);
    EXPECT_GT(Rms(start, start + Seconds(1.5)), 300.0);
    WaitForFrames(start + Seconds(5));
    EXPECT_FALSE(world.IsPlaying(song));
}

// The soundfont is loaded holding only the game's songs' presets; a song choosing another
// instrument brings in the whole font and sounds with that instrument, not a substitute
// (FluidSynth says when it substitutes one).
TEST_F(DiskAudio, SongOutsideTheExpectedOnesPlaysItsOwnInstrument) {
    using namespace soundbytes;
    std::set<CSoundFontView::Preset> used;
    for (const char* name :
         {"Crawling.mid", "The_Kids_Arent_Alright.mid", "DuelOfTheFates.mid", "rubberduckie.mid"})
        ASSERT_TRUE(CSoundFontView::AddSongPresets(ReadFileBytes(name), &used));
    uint8_t program = 1;
    while (used.count({0, program}))
        ++program;
    ASSERT_LT(program, 128);
    const auto other = std::make_shared<const std::vector<uint8_t>>(
        Header(0, 1, 96) + Track(Tempo(500000) + Bytes{0x00, 0xC0, program} + kNotes + kEnd));

    ::testing::internal::CaptureStderr();
    CSynthesizer::HoldLoading();
    CSoundSystem world;
    ASSERT_TRUE(world.Initialize(nullptr));
    CSoundClip* song = world.Load("Crawling.mid", false);
    ASSERT_NE(song, nullptr);
    CSynthesizer::ReleaseLoading();
    const size_t start = Frames();
    world.Play(song, 0);
    EXPECT_GT(Rms(start + Seconds(1), start + Seconds(2)), 200.0);
    const size_t then = Frames();
    CSynthesizer::Play(other, 1);
    EXPECT_GT(RmsPastLatency(then, 0.4), 100.0);
    world.Shutdown();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("fluidsynth"), std::string::npos) << said;
}

class SongLevels : public DiskAudio, public ::testing::WithParamInterface<const char*> {};

// Through the real synthesiser each song is clearly audible from start to loop
// point, never drives the output into clipping and never runs out of voices.
TEST_P(SongLevels, WholeSongIsAudibleAndNeverClips) {
    const double length = MidiSeconds(GetParam());
    ASSERT_GT(length, 45.0);
    CSoundSystem world;
    ASSERT_TRUE(world.Initialize(nullptr));
    CSoundClip* song = world.Load(GetParam(), false);
    ASSERT_NE(song, nullptr);
    size_t start = Frames();
    world.Play(song, 0);
    std::vector<int16_t> samples = Read(start, start + Seconds(length));
    // Every note sounds whole: the song never needs more voices than the synthesizer keeps.
    EXPECT_GT(CSynthesizer::PeakVoices(), 0);
    EXPECT_LT(CSynthesizer::PeakVoices(), CSynthesizer::kPolyphony);
    int peak = 0;
    double sum = 0;
    for (int16_t v : samples) {
        peak = std::max(peak, std::abs(int(v)));
        sum += double(v) * v;
    }
    EXPECT_LT(peak, 32767);
    EXPECT_GT(std::sqrt(sum / samples.size()), 1500.0);
    // No stretch of a second falls silent within the song.
    for (double at = 1.0; at + 1.0 < length; at += 1.0)
        EXPECT_GT(Rms(start + Seconds(at), start + Seconds(at + 1.0)), 200.0) << "at " << at << " s";
}

INSTANTIATE_TEST_SUITE_P(AllFour, SongLevels,
                         ::testing::Values("DuelOfTheFates.mid", "Crawling.mid", "The_Kids_Arent_Alright.mid",
                                           "rubberduckie.mid"));

class SongUnderHits : public DiskAudio, public ::testing::WithParamInterface<const char*> {};

// The levels are set so that a cougar's yelp over any song, however they fall on each other,
// stays under full scale: the yelp repeats over the whole song.
TEST_P(SongUnderHits, YelpOverTheWholeSongNeverReachesFullScale) {
    const double length = MidiSeconds(GetParam());
    CSoundSystem world, player;
    ASSERT_TRUE(world.Initialize(nullptr));
    ASSERT_TRUE(player.Initialize(nullptr));
    CSoundClip* song = world.Load(GetParam(), false);
    CSoundClip* ouch = player.Load("ouch.wav", false);
    ASSERT_TRUE(song && ouch);
    const size_t start = Frames();
    world.Play(song, 0);
    player.Play(ouch, DMUS_SEG_REPEAT_INFINITE);
    std::vector<int16_t> mix = Read(start, start + Seconds(length));
    EXPECT_EQ(FullScale(mix), 0);
    EXPECT_GT(*std::max_element(mix.begin(), mix.end()), 16000);  // both are really there
}

INSTANTIATE_TEST_SUITE_P(AllFour, SongUnderHits,
                         ::testing::Values("DuelOfTheFates.mid", "Crawling.mid", "The_Kids_Arent_Alright.mid",
                                           "rubberduckie.mid"));

// The bite is as loud as the level-one song it is heard over (RMS within 3 dB), as mixed.
TEST_F(DiskAudio, BiteIsAsLoudAsTheLevelOneSong) {
    CSoundSystem world, player;
    ASSERT_TRUE(world.Initialize(nullptr));
    ASSERT_TRUE(player.Initialize(nullptr));
    CSoundClip* song = world.Load("Crawling.mid", false);
    CSoundClip* munch = player.Load("reeses.wav", false);
    ASSERT_TRUE(song && munch);
    size_t start = Frames();
    world.Play(song, 0);
    const double songRms = Rms(start, start + Seconds(MidiSeconds("Crawling.mid")));
    world.Stop(song);
    start = Frames();
    player.Play(munch, 0);
    std::pair<size_t, size_t> bite = Span(start, start + 2 * ChunkFrames(munch) + kLatencyFrames);
    std::vector<int16_t> heard = Read(bite.first, bite.first + ChunkFrames(munch));
    EXPECT_NEAR(20.0 * std::log10(RmsOf(heard) / songRms), 0.0, 3.0);
    EXPECT_EQ(FullScale(heard), 0);
}

// A failing set-up as main sees it: the status the game would end with (0 when nothing was
// thrown) and what was told on stderr, the recorded box included.
struct Failure {
    int status = 0;
    bool shown = false;
    std::string told;
};

template <class Steps>
Failure FailureOf(Steps steps) {
    Failure failure;
    ::testing::internal::CaptureStderr();
    try {
        steps();
    } catch (const CGameError& error) {
        failure.status = error.exitStatus;
        failure.shown = error.shown;
    }
    failure.told = ::testing::internal::GetCapturedStderr();
    return failure;
}

// POSIX extended expressions: std::regex draws false maybe-uninitialized warnings from GCC 12
// under the sanitizers.
bool ContainsMatch(const std::string& text, const std::string& pattern) {
    regex_t expression;
    if (regcomp(&expression, pattern.c_str(), REG_EXTENDED | REG_NOSUB) != 0) return false;
    const bool found = regexec(&expression, text.c_str(), 0, nullptr, 0) == 0;
    regfree(&expression);
    return found;
}

void ExpectEndedWithBox(const Failure& failure, const std::string& pattern) {
    EXPECT_EQ(failure.status, CSoundSystem::kFailureExitStatus);
    EXPECT_TRUE(failure.shown) << "main would show a second box";
    EXPECT_TRUE(ContainsMatch(failure.told, pattern)) << failure.told;
}

class SoundFailure : public ::testing::Test {
protected:
    void SetUp() override {
        CSoundSystem::showFailureBox = RecordBox;
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
};

TEST_F(SoundFailure, MissingOrUnreadableFileShowsBoxFiveWithoutOwnerAndEndsTheGame) {
    void* window = reinterpret_cast<void*>(0x1);  // only passed along, never used
    ExpectEndedWithBox(FailureOf([&] {
                           CSoundSystem sound;
                           sound.Initialize(window);
                           sound.Load("no_such_song.mid", false);
                       }),
                       "\\[box owner=none caption=ERROR! text=Audio file not found! Press OK to exit\\]");
    // A file that is there but is no sound at all fails the same way.
    ExpectEndedWithBox(FailureOf([&] {
                           CSoundSystem sound;
                           sound.Initialize(window);
                           sound.Load("../CMakeCache.txt", false);
                       }),
                       "text=Audio file not found! Press OK to exit");
    // The failed systems let the device go: a new one opens and plays.
    CSoundSystem after;
    ASSERT_TRUE(after.Initialize(nullptr));
    CSoundClip* ouch = after.Load("ouch.wav", false);
    after.Play(ouch, 0);
    EXPECT_TRUE(after.IsPlaying(ouch));
    EXPECT_STREQ(CSoundSystem::FailureText(5), "Audio file not found! Press OK to exit");
    EXPECT_STREQ(CSoundSystem::FailureText(1),
                 "Unable to create the IDirectMusicLoader8 object!\nPress OK to exit");
    EXPECT_EQ(CSoundSystem::FailureText(7), nullptr);
}

TEST_F(SoundFailure, DamagedSongIsRefusedLikeAMissingOneNamingFileAndReason) {
    TempDir dir;
    std::vector<unsigned char> song = ReadFileBytes("DuelOfTheFates.mid");
    song.resize(song.size() / 2);
    const std::string cut = dir.Write("cut.mid", song);
    ExpectEndedWithBox(
        FailureOf([&] {
            CSoundSystem sound;
            sound.Initialize(nullptr);
            sound.Load(cut.c_str(), false);
        }),
        "cannot use the sound file [^\n]*/cut\\.mid: track [0-9]+ of [0-9]+ at byte [0-9]+ claims [0-9]+ "
        "bytes but only [0-9]+ remain\n\\[box owner=none caption=ERROR! text=Audio file not found! Press OK "
        "to "
        "exit\\]");
}

TEST_F(SoundFailure, MissingSoundFontShowsBoxOneNamingEveryPlaceLooked) {
    setenv("SDL_SOUNDFONTS", "/nowhere/gm.sf2;/nowhere/else.sf2", 1);
    ExpectEndedWithBox(FailureOf([&] {
                           CSoundSystem sound;
                           sound.Initialize(nullptr);
                       }),
                       "no soundfont found; looked at /nowhere/gm.sf2 \\(No such file or directory\\), "
                       "/nowhere/else.sf2 \\(No such file or directory\\), as \\$SDL_SOUNDFONTS lists\n"
                       "\\[box owner=none caption=ERROR! text=Unable to create the IDirectMusicLoader8 "
                       "object!\nPress OK");
}

TEST(SoundFallback, NoAudioDeviceFallsBackToSilenceSaysSoOnceAndPlaysOn) {
    setenv("SDL_AUDIODRIVER", "no_such_audio_driver", 1);
    CSoundSystem::showFailureBox = RecordBox;
    ::testing::internal::CaptureStderr();
    {
        CSoundSystem world;
        ASSERT_TRUE(world.Initialize(nullptr));
        EXPECT_TRUE(CSoundSystem::UsingSilentOutput());
        CSoundClip* ouch = world.Load("ouch.wav", false);
        ASSERT_NE(ouch, nullptr);
        world.Play(ouch, DMUS_SEG_REPEAT_INFINITE);
        EXPECT_TRUE(world.IsPlaying(ouch));
    }
    {
        CSoundSystem again;  // a second opening says nothing more
        ASSERT_TRUE(again.Initialize(nullptr));
        EXPECT_TRUE(CSoundSystem::UsingSilentOutput());
    }
    std::string said = ::testing::internal::GetCapturedStderr();
    size_t first = said.find("no audio output device");
    ASSERT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find("no audio output device", first + 1), std::string::npos) << said;
    EXPECT_EQ(said.find("[box"), std::string::npos) << said;
    EXPECT_FALSE(CSoundSystem::UsingSilentOutput());
}

double ProcessSeconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Past the checker, a song cut short makes the synthesizer itself loop for ever (it reloads
// the file over and over to repeat it). Nothing the game calls may wait on it, its messages
// are not repeated without end, and shutting down still ends. Last in this file: the
// synthesizer stays caught in its loop until the process ends.
TEST(StuckSynthesizer, NothingWaitsOnASynthesizerCaughtInALoop) {
    CSoundSystem::showFailureBox = RecordBox;
    std::vector<unsigned char> cut = ReadFileBytes("DuelOfTheFates.mid");
    ASSERT_GT(cut.size(), 1000u);
    cut.resize(cut.size() / 2);
    ::testing::internal::CaptureStderr();
    std::future<void> run = std::async(std::launch::async, [&cut]() {
        CSoundSystem world, player;
        ASSERT_TRUE(world.Initialize(nullptr));
        ASSERT_TRUE(player.Initialize(nullptr));
        CSoundClip* song = world.Load("Crawling.mid", false);
        CSoundClip* ouch = player.Load("ouch.wav", false);
        ASSERT_TRUE(song && ouch);
        const double before = ProcessSeconds();
        CSynthesizer::Play(std::make_shared<const std::vector<uint8_t>>(cut.begin(), cut.end()), -1);
        // Caught: a second of processor time spent where rendering takes a few milliseconds.
        while (ProcessSeconds() - before < 1.0)
            std::this_thread::yield();
        world.Play(song, DMUS_SEG_REPEAT_INFINITE);
        EXPECT_TRUE(world.IsPlaying(song));
        world.Stop(song);
        EXPECT_FALSE(world.IsPlaying(song));
        player.Play(ouch, 0);
        EXPECT_TRUE(player.IsPlaying(ouch));
        world.Shutdown();
        player.Shutdown();
    });
    ASSERT_EQ(run.wait_for(std::chrono::seconds(30)), std::future_status::ready)
        << "blocked on the synthesizer";
    run.get();
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::string message = "fluidsynth: error: Unexpected end of file";
    size_t lines = 0, counted = 0;
    for (size_t at = said.find(message); at != std::string::npos; at = said.find(message, at + 1)) {
        size_t end = said.find('\n', at);
        if (said.compare(at, end - at, message) == 0)
            ++lines;
        else if (said.find("more times)", at) < end)
            ++counted;
    }
    EXPECT_LE(lines, 3u) << said.substr(0, 2000);
    EXPECT_EQ(counted, 1u) << said.substr(0, 2000);
    EXPECT_NE(said.find("the synthesizer did not stop"), std::string::npos);
}

}  // namespace
