// The generated songs and effects: well-formed, long enough, seamless at the loop
// point, and the same bytes on every run of the generator.
#include <gtest/gtest.h>

#include "support/TempDir.h"

#include <sys/wait.h>
#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

uint32_t Big(const std::vector<unsigned char>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | b.at(at + i);
    return v;
}

uint32_t Little(const std::vector<unsigned char>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b.at(at + i);
    return v;
}

// What a song file holds, gathered by walking every event.
struct SongFacts {
    int format = -1;
    int tracks = 0;
    std::vector<uint32_t> trackEnds;
    double seconds = 0;
    double firstTempo = 0;
    int notes = 0;
    int drumNotes = 0;
    int notesLeftSounding = 0;
    int notesAfterEnd = 0;
    std::set<int> programs;
    std::set<int> melodicChannels;
    std::set<int> channelsSetUpAtStart;
    bool wellFormed = true;
};

SongFacts ReadSong(const std::string& path) {
    SongFacts f;
    std::vector<unsigned char> b = ReadFileBytes(path);
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd") {
        f.wellFormed = false;
        return f;
    }
    f.format = int(Big(b, 8, 2));
    int declaredTracks = int(Big(b, 10, 2));
    uint32_t division = Big(b, 12, 2);
    std::map<uint32_t, uint32_t> tempo;
    size_t p = 14;
    uint32_t songEnd = 0;
    while (p + 8 <= b.size()) {
        if (std::string(b.begin() + p, b.begin() + p + 4) != "MTrk") {
            f.wellFormed = false;
            break;
        }
        size_t stop = p + 8 + Big(b, p + 4, 4);
        if (stop > b.size()) {
            f.wellFormed = false;
            break;
        }
        size_t q = p + 8;
        uint32_t tick = 0;
        bool ended = false;
        std::map<int, int> sounding;
        while (q < stop && !ended) {
            uint32_t delta = 0;
            do
                delta = (delta << 7) | (b[q] & 0x7F);
            while (b[q++] & 0x80);
            tick += delta;
            unsigned char status = b[q++];
            if (status == 0xFF) {
                unsigned char type = b[q++];
                uint32_t n = 0;
                do
                    n = (n << 7) | (b[q] & 0x7F);
                while (b[q++] & 0x80);
                if (type == 0x51 && !tempo.count(tick)) tempo[tick] = Big(b, q, 3);
                if (type == 0x2F) {
                    ended = true;
                    f.trackEnds.push_back(tick);
                }
                q += n;
                continue;
            }
            if (!(status & 0x80)) {  // the generator never relies on running status
                f.wellFormed = false;
                break;
            }
            int kind = status & 0xF0, channel = status & 15;
            if (kind == 0xC0) {
                f.programs.insert(b[q]);
                if (tick == 0) f.channelsSetUpAtStart.insert(channel);
                q += 1;
            } else if (kind == 0xD0) {
                q += 1;
            } else {
                int key = b[q], velocity = b[q + 1];
                if (kind == 0x90 && velocity > 0) {
                    ++f.notes;
                    if (channel == 9)
                        ++f.drumNotes;
                    else
                        f.melodicChannels.insert(channel);
                    ++sounding[channel * 128 + key];
                } else if (kind == 0x80 || kind == 0x90) {
                    --sounding[channel * 128 + key];
                }
                q += 2;
            }
        }
        if (!ended || q != stop) f.wellFormed = false;
        for (auto& s : sounding)
            f.notesLeftSounding += s.second;
        if (tick > songEnd) songEnd = tick;
        ++f.tracks;
        p = stop;
    }
    if (f.tracks != declaredTracks) f.wellFormed = false;
    uint32_t at = 0, micros = 500000;
    for (auto& change : tempo) {
        if (change.first == 0) f.firstTempo = 60e6 / change.second;
        f.seconds += double(change.first - at) * micros / division / 1e6;
        at = change.first;
        micros = change.second;
    }
    f.seconds += double(songEnd - at) * micros / division / 1e6;
    return f;
}

class GeneratedSongs : public ::testing::TestWithParam<const char*> {};

TEST_P(GeneratedSongs, CompleteMultiInstrumentPieceThatLoopsWithoutASeam) {
    SongFacts f = ReadSong(GetParam());
    ASSERT_TRUE(f.wellFormed);
    EXPECT_EQ(f.format, 1);
    EXPECT_GE(f.tracks, 5);
    EXPECT_GE(f.seconds, 45.0);
    EXPECT_LE(f.seconds, 120.0);
    EXPECT_GE(f.programs.size(), 4u);
    EXPECT_GE(f.notes, 300);
    EXPECT_GT(f.drumNotes, 50);
    // Every track ends at the loop point and no note is left hanging across it.
    ASSERT_FALSE(f.trackEnds.empty());
    for (uint32_t end : f.trackEnds)
        EXPECT_EQ(end, f.trackEnds[0]);
    EXPECT_EQ(f.notesLeftSounding, 0);
    // Each pass starts from the same sounds: every melodic channel is set up at tick 0.
    for (int channel : f.melodicChannels)
        EXPECT_TRUE(f.channelsSetUpAtStart.count(channel)) << channel;
}

INSTANTIATE_TEST_SUITE_P(AllFour, GeneratedSongs,
                         ::testing::Values("DuelOfTheFates.mid", "Crawling.mid", "The_Kids_Arent_Alright.mid",
                                           "rubberduckie.mid"));

TEST(GeneratedSongCharacter, TempoFitsWhereEachSongPlays) {
    double title = ReadSong("DuelOfTheFates.mid").firstTempo;
    double levelOne = ReadSong("Crawling.mid").firstTempo;
    double levelTwo = ReadSong("The_Kids_Arent_Alright.mid").firstTempo;
    double credits = ReadSong("rubberduckie.mid").firstTempo;
    EXPECT_LT(levelOne, 80.0);   // slow, underwater
    EXPECT_GT(levelTwo, 160.0);  // fast, tense
    EXPECT_GT(title, 120.0);     // urgent
    EXPECT_GT(credits, levelOne);
    EXPECT_LT(credits, levelTwo);
}

TEST(GeneratedEffects, ShortAudiblePcmWithoutClicksAndWithHeadroom) {
    for (const char* name : {"ouch.wav", "reeses.wav"}) {
        SCOPED_TRACE(name);
        std::vector<unsigned char> b = ReadFileBytes(name);
        ASSERT_GE(b.size(), 44u);
        ASSERT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        ASSERT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(Little(b, 4, 4), b.size() - 8);
        EXPECT_EQ(Little(b, 20, 2), 1u);  // PCM
        uint32_t channels = Little(b, 22, 2), rate = Little(b, 24, 4);
        EXPECT_TRUE(channels == 1 || channels == 2);
        EXPECT_TRUE(rate == 22050 || rate == 44100);
        EXPECT_EQ(Little(b, 34, 2), 16u);
        ASSERT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        uint32_t bytes = Little(b, 40, 4);
        ASSERT_EQ(bytes + 44, b.size());
        size_t count = bytes / 2;
        double seconds = double(count) / channels / rate;
        EXPECT_GT(seconds, 0.15);
        EXPECT_LT(seconds, 1.5);
        int peak = 0;
        for (size_t i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(int(int16_t(Little(b, 44 + 2 * i, 2)))));
        EXPECT_GT(peak, 8000);
        // At least 1 dB of headroom: no sample anywhere near full scale.
        EXPECT_LE(peak, int(32767 * std::pow(10.0, -1.0 / 20.0)));
        EXPECT_LT(std::abs(int16_t(Little(b, 44, 2))), 1000);
        EXPECT_LT(std::abs(int16_t(Little(b, 44 + bytes - 2, 2))), 1000);
    }
}

TEST(SoundGenerator, WritesTheSameBytesEveryRunAndRejectsBadUse) {
    // Tests run in the game folder, which the build puts beside the generator.
    const std::string tool = "../pondquest_sounds";
    ASSERT_EQ(access(tool.c_str(), X_OK), 0);
    TempDir made;
    ASSERT_FALSE(made.path.empty());
    const std::string& dir = made.path;
    ASSERT_EQ(std::system((tool + " " + dir).c_str()), 0);
    for (const char* name : {"DuelOfTheFates.mid", "Crawling.mid", "The_Kids_Arent_Alright.mid",
                             "rubberduckie.mid", "ouch.wav", "reeses.wav"}) {
        std::vector<unsigned char> fresh = ReadFileBytes(dir + "/" + name);
        EXPECT_FALSE(fresh.empty()) << name;
        EXPECT_EQ(fresh, ReadFileBytes(name)) << name;
    }
    int status = std::system((tool + " 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
    status = std::system((tool + " /nonexistent/folder 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
