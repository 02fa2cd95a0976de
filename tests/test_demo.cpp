// Demos: the shipped one plays back to the title through both wins and the credits, through
// the devices' real read path; the game refuses every kind of broken demo with one line and
// exit status 2, writing nothing; --timedemo plays one and prints the same digest every time.
#include "app/CDemoFile.h"
#include "app/CDemoPlayer.h"
#include "app/CDemoRecorder.h"
#include "app/CSimpEngine.h"
#include "objects/CWater.h"
#include "overlay/COverlay.h"
#include "scene/CRandom.h"
#include "support/ChildProcess.h"
#include "support/FrameDriver.h"
#include "support/TempDir.h"
#include "world/CGameWorld.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::string ShippedDemo() {
    const char* source = std::getenv("PONDQUEST_SOURCE_DIR");
    return std::string(source ? source : ".") + "/data/demos/whole_game.pqdemo";
}

CDemoFile LoadShipped() {
    CDemoFile demo;
    std::string error;
    EXPECT_TRUE(demo.Load(ShippedDemo(), &error)) << error;
    return demo;
}

std::unique_ptr<FrameDriver> FreshGame() {
    CRandom::Reset();  // as in a new process
    waveAngle = 0;
    return std::unique_ptr<FrameDriver>(new FrameDriver(48, 36));
}

std::string Game() { return GameDir() + "/pondquest"; }

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(Demo, TheShippedDemoWinsBothLevelsAndRollsTheCreditsBackToTheTitle) {
    const CDemoFile demo = LoadShipped();
    ASSERT_GT(demo.steps.size(), 60u * 60u);
    auto driver = FreshGame();
    CDemoPlayer player(&demo, &driver->script);
    CDemoRecorder again;  // what the engine read, step by step
    again.Begin(driver->engine->mouseSensitivity);
    driver->engine->demoPlayer = &player;
    driver->engine->demoRecorder = &again;
    std::set<int> seen;
    while (driver->Steps(1) == 1)
        seen.insert(driver->World()->state);
    EXPECT_TRUE(driver->engine->demoFinished);
    EXPECT_EQ(driver->engine->stepsRun, static_cast<long long>(demo.steps.size()));
    for (int state : {LevelOnePlay, LevelOneWon, LevelTwoPlay, LevelTwoWon, Credits})
        EXPECT_TRUE(seen.count(state)) << "never in state " << state;
    EXPECT_FALSE(seen.count(LevelOneLost) || seen.count(LevelTwoLost));
    EXPECT_EQ(driver->World()->state, MainMenu);
    EXPECT_GT(driver->engine->overlay->GetHealth(), 0);
    EXPECT_TRUE(again.demo.steps == demo.steps) << "the devices read back exactly the demo's input";

    // Written and read again, the recording is the same demo.
    TempDir dir;
    std::string error;
    ASSERT_TRUE(again.Open(dir.File("again.pqdemo"), &error)) << error;
    ASSERT_TRUE(again.Close(&error)) << error;
    CDemoFile reread;
    ASSERT_TRUE(reread.Load(dir.File("again.pqdemo"), &error)) << error;
    EXPECT_TRUE(reread.steps == demo.steps);
    EXPECT_EQ(reread.mouseSensitivity, demo.mouseSensitivity);
    EXPECT_EQ(FilesIn(dir.path), std::set<std::string>{"again.pqdemo"}) << "no temporary file left";
}

// A broken copy of the shipped demo's bytes, and what the refusal must say.
struct Broken {
    const char* name;
    std::vector<unsigned char> bytes;
    const char* reason;
};

void PutU32(std::vector<unsigned char>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

TEST(Demo, EveryBrokenDemoIsRefusedWithOneLineAndExitStatusTwoWritingNothing) {
    const std::vector<unsigned char> good = ReadFileBytes(ShippedDemo());
    ASSERT_GT(good.size(), 40u);
    const size_t kStepCountAt = 16;
    std::vector<Broken> cases;
    cases.push_back({"empty", {}, "truncated"});
    cases.push_back({"half-header", {good.begin(), good.begin() + 12}, "truncated"});
    cases.push_back({"cut", {good.begin(), good.end() - 7}, "truncated at step"});
    Broken magic{"magic", good, "wrong magic"};
    magic.bytes[0] = 'X';
    cases.push_back(magic);
    Broken version{"version", good, "format version 7"};
    version.bytes[8] = 7;
    cases.push_back(version);
    Broken rate{"rate", good, "recorded at 30 steps a second"};
    rate.bytes[10] = 30;
    cases.push_back(rate);
    Broken count{"count", good, "absurd step count 4294967295"};
    PutU32(count.bytes, kStepCountAt, 0xFFFFFFFFu);
    cases.push_back(count);
    // Five steps declared, then one record of sixteen.
    const size_t records = kStepCountAt + 5 + good[kStepCountAt + 4];
    Broken overrun{"overrun", {good.begin(), good.begin() + records}, "repeats past the 5 steps"};
    PutU32(overrun.bytes, kStepCountAt, 5);
    overrun.bytes.push_back(0xF0);
    overrun.bytes.push_back(0x00);
    cases.push_back(overrun);
    Broken extra{"extra", good, "stray bytes after the last step"};
    extra.bytes.push_back(0);
    cases.push_back(extra);

    TempDir dir;
    const std::string folder = dir.path + "/run";  // the game's working folder: must stay empty
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    struct Run {
        std::string path, reason;
    };
    std::vector<Run> runs;
    for (const Broken& b : cases)
        runs.push_back({dir.Write(std::string(b.name) + ".pqdemo", b.bytes), b.reason});
    runs.push_back({dir.path, "is a directory"});
    runs.push_back({dir.File("missing.pqdemo"), "No such file or directory"});
    const std::string fifo = dir.File("fifo.pqdemo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    runs.push_back({fifo, "not a regular file"});
    if (geteuid() != 0) {  // root reads anything
        const std::string locked = dir.Write("locked.pqdemo", good);
        chmod(locked.c_str(), 0);
        runs.push_back({locked, "Permission denied"});
    }

    const std::set<std::string> before = FilesIn(dir.path);
    for (const Run& run : runs)
        for (const char* option : {"--timedemo", "--playdemo"}) {
            SCOPED_TRACE(std::string(option) + " " + run.path);
            const bool file = std::filesystem::is_regular_file(run.path);
            const std::vector<unsigned char> bytesBefore =
                file ? ReadFileBytes(run.path) : std::vector<unsigned char>();
            ChildProcess game = ChildProcess::Run(Game(), {option, run.path}, folder);
            EXPECT_EQ(game.status, 2);
            ASSERT_EQ(game.ErrLines().size(), 1u) << game.err;
            EXPECT_EQ(game.err.rfind("Pondquest: demo " + run.path + ": ", 0), 0u) << game.err;
            EXPECT_NE(game.err.find(run.reason), std::string::npos) << game.err;
            EXPECT_EQ(game.out, "");
            if (file) {
                EXPECT_TRUE(ReadFileBytes(run.path) == bytesBefore);
            }
        }
    EXPECT_TRUE(FilesIn(folder).empty()) << "the game wrote into its folder";
    EXPECT_EQ(FilesIn(dir.path), before);

    // An option without its file is refused the same way.
    ChildProcess bare = ChildProcess::Run(Game(), {"--timedemo"}, folder);
    EXPECT_EQ(bare.status, 2);
    EXPECT_EQ(bare.err, "Pondquest: --timedemo needs a FILE\n");
}

TEST(Demo, TimedemoPlaysAsFastAsItDrawsAndPrintsTheSameDigestEveryTime) {
    CDemoFile opening = LoadShipped();
    opening.steps.resize(240);
    TempDir dir;
    const std::vector<uint8_t> bytes = opening.Encode();
    const std::string path =
        dir.Write("opening.pqdemo", std::vector<unsigned char>(bytes.begin(), bytes.end()));

    // The same steps in this process, in a window of another size.
    auto driver = FreshGame();
    CDemoPlayer player(&opening, &driver->script);
    driver->engine->demoPlayer = &player;
    while (driver->Steps(1) == 1) {}
    const std::string digest = driver->engine->DescribeState();
    driver.reset();

    for (int run = 0; run < 2; ++run) {
        ChildProcess game = ChildProcess::Run(Game(), {"--timedemo", path}, GameDir());
        EXPECT_EQ(game.status, 0) << game.err;
        EXPECT_NE(game.out.find("timedemo " + path + ": 240 steps, 241 frames drawn in "), std::string::npos)
            << game.out;
        EXPECT_NE(game.out.find(" frames a second\nfinal " + digest + "\n"), std::string::npos) << game.out;
    }
}

}  // namespace
