// The fixed 60 Hz step: the same input gives the same game whatever the frame rate and
// however unevenly frames come; a stall cannot carry the duckling through a fence; and at
// exactly 60 frames a second the loop plays step for step what the classic frame plays.
#include "app/CDemoFile.h"
#include "app/CDemoPlayer.h"
#include "app/CSimpEngine.h"
#include "objects/CCougarBox.h"
#include "objects/CReeses.h"
#include "objects/CTerrain.h"
#include "objects/CTerrain2.h"
#include "objects/CWater.h"
#include "overlay/COverlay.h"
#include "scene/CRandom.h"
#include "scene/CViewCamera.h"
#include "support/FrameDriver.h"
#include "support/NodeRing.h"
#include "support/ScriptedGame.h"
#include "world/CGameWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

const double kSixtieth = 1.0 / 60.0;

// A small window: these tests look at the game, not at its pictures.
std::unique_ptr<FrameDriver> FreshGame() {
    CRandom::Reset();  // as in a new process
    waveAngle = 0;
    return std::unique_ptr<FrameDriver>(new FrameDriver(48, 36));
}

std::string ShippedDemo() {
    const char* source = std::getenv("PONDQUEST_SOURCE_DIR");
    return std::string(source ? source : ".") + "/data/demos/whole_game.pqdemo";
}

// What a game leaves behind, field by field: the state, the camera, the level statistics
// and clock, and where every live object of both levels stands, in tree order.
using Fields = std::vector<std::pair<std::string, double>>;

Fields GameFields(FrameDriver& driver) {
    CGameWorld* world = driver.World();
    CViewCamera* camera = driver.Camera();
    COverlay* overlay = driver.engine->overlay;
    Fields fields;
    auto vec = [&](const std::string& name, const CVec3& v) {
        fields.push_back({name + ".x", v.x});
        fields.push_back({name + ".y", v.y});
        fields.push_back({name + ".z", v.z});
    };
    fields = {{"state", world->state},         {"yaw", camera->yaw},          {"pitch", camera->pitch},
              {"elapsed", world->elapsed},     {"energy", overlay->energy},   {"health", overlay->health},
              {"bonus", overlay->energyBonus}, {"minutes", overlay->minutes}, {"seconds", overlay->seconds},
              {"goal", overlay->goalReached}};
    vec("position", camera->position);
    vec("velocity", camera->velocity);
    vec("acceleration", camera->acceleration);
    std::vector<CNode*> nodes;
    SubtreeNodes(world->levelOneTerrain, &nodes);
    SubtreeNodes(world->levelTwoTerrain, &nodes);
    for (size_t i = 0; i < nodes.size(); ++i)
        vec("object " + std::to_string(i), static_cast<CObject*>(nodes[i])->position);
    return fields;
}

// The shipped demo's first ten seconds: the title, P, Space, and the maze pilot at work,
// the mouse moving in nearly every step.
CDemoFile DemoOpening() {
    CDemoFile demo;
    std::string error;
    EXPECT_TRUE(demo.Load(ShippedDemo(), &error)) << error;
    if (demo.steps.size() > 600) demo.steps.resize(600);
    return demo;
}

struct Replay {
    uint64_t digest;
    long long steps, frames;
};

// Plays demo back through the loop, each pass `interval()` seconds after the last.
Replay Play(const CDemoFile& demo, const std::function<double()>& interval) {
    auto driver = FreshGame();
    CDemoPlayer player(&demo, &driver->script);
    driver->engine->demoPlayer = &player;
    for (int passes = 0; !driver->quitArrived && passes < 400 * 600; ++passes)
        driver->Pass(interval());
    EXPECT_TRUE(driver->engine->demoFinished);
    return {driver->engine->StateDigest(), driver->engine->stepsRun, driver->engine->framesDrawn};
}

TEST(FixedStep, TheSameInputPlaysTheSameGameAtEveryFrameRateAndWithJitter) {
    const CDemoFile demo = DemoOpening();
    const long long steps = static_cast<long long>(demo.steps.size());
    const Replay even = Play(demo, [] { return kSixtieth; });
    EXPECT_EQ(even.steps, steps);
    EXPECT_EQ(even.frames, steps + 1);  // the last pass finds the demo over and draws once more

    for (double rate : {30.0, 144.0, 400.0}) {
        const Replay replay = Play(demo, [rate] { return 1.0 / rate; });
        EXPECT_EQ(replay.digest, even.digest) << rate << " frames a second";
        EXPECT_EQ(replay.steps, steps) << rate << " frames a second";
        // Every step is owed by the time drawn, give or take the last pass.
        EXPECT_NEAR(replay.frames, steps * rate / 60, rate / 60 + 2) << rate << " frames a second";
    }
    std::mt19937 random(20240613);
    std::uniform_int_distribution<int> milliseconds(1, 50);
    const Replay jittered = Play(demo, [&] { return milliseconds(random) / 1000.0; });
    EXPECT_EQ(jittered.digest, even.digest) << "frames 1 to 50 ms apart";
    EXPECT_EQ(jittered.steps, steps);
}

TEST(FixedStep, MazePilotWinsLevelOneWithFramesDrawnThirtyTimesASecond) {
    auto driver = FreshGame();
    ScriptedGame game(*driver, [&] { driver->Pass(1.0 / 30); });
    ASSERT_TRUE(game.PlayTo(ScriptedGame::LevelOneWon)) << game.failure;
    EXPECT_EQ(driver->engine->stepsRun, 2 * driver->engine->framesDrawn);
    EXPECT_GT(driver->engine->overlay->GetEnergy(), 0);
}

// Level two's play from the title: P, Space, F1 and Space, a step each.
void ToLevelTwoPlay(FrameDriver& driver) {
    for (const char* key : {"P", "P", "Space", "F1", "F1", "Space"}) {
        driver.Hold(key);
        driver.Steps(1);
        driver.Release(key);
    }
    ASSERT_EQ(driver.World()->state, LevelTwoPlay);
}

// Runs at the east fence with W held, stalls for 0.7 s there, then turns along the fence
// with W still held; returns the farthest the eye got from the arena's centre along x or z.
float StallAgainstTheEastFence(CEngine::Timing timing) {
    auto driver = FreshGame();
    ToLevelTwoPlay(*driver);
    CViewCamera* camera = driver->Camera();
    driver->engine->timing = timing;
    driver->Hold("W");  // yaw 0 looks along +x, at the east fence
    int passes = 0;
    while (camera->position.x < 250.0f && passes++ < 60 * 30)
        driver->Pass(kSixtieth);
    driver->engine->overlay->health = 1000;  // a stray cougar must not end the level here
    for (int i = 0; i < 60; ++i)
        driver->Pass(kSixtieth);
    EXPECT_LT(camera->position.x, 254.0f) << "pressed against the fence, not in it";

    const int steps = driver->Pass(0.7);
    if (timing == CEngine::kFixedStep) {
        EXPECT_EQ(steps, CEngine::kMaxStepsPerPass) << "time owed beyond five steps is dropped";
    }
    float farthest = std::max(std::fabs(camera->position.x), std::fabs(camera->position.z));
    driver->SetMouse(10, 0);
    for (int i = 0; i < 120 && driver->World()->state == LevelTwoPlay; ++i) {
        driver->Pass(kSixtieth);
        farthest = std::max(farthest, std::max(std::fabs(camera->position.x), std::fabs(camera->position.z)));
    }
    return farthest;
}

TEST(FixedStep, AStallAgainstALevelTwoFenceLeavesTheDucklingInsideTheArena) {
    EXPECT_LT(StallAgainstTheEastFence(CEngine::kFixedStep), 256.0f);
    // The classic frame takes the whole stall in one step and carries the eye out.
    EXPECT_GT(StallAgainstTheEastFence(CEngine::kClassicTiming), 256.0f);
}

// One whole game, the digest after each turn, and what it leaves.
struct Game {
    std::vector<uint64_t> digests;
    Fields end;
};

Game PlayWholeGame(bool classic) {
    Game game;
    auto driver = FreshGame();
    FrameDriver& d = *driver;
    ScriptedGame players(d, [&] {
        if (classic)
            d.Frames(1, CEngine::kStepSeconds);
        else
            EXPECT_EQ(d.Pass(kSixtieth), 1);
        game.digests.push_back(d.engine->StateDigest());
    });
    EXPECT_TRUE(players.PlayTo(ScriptedGame::BackOnTheTitle)) << players.failure;
    EXPECT_EQ(d.engine->stepsRun, d.engine->framesDrawn);
    game.end = GameFields(d);
    return game;
}

TEST(FixedStep, AtSixtyFramesASecondTheLoopPlaysTheClassicFrameStepForStep) {
    const Game classic = PlayWholeGame(true);
    const Game fixed = PlayWholeGame(false);
    ASSERT_EQ(fixed.digests.size(), classic.digests.size());
    for (size_t i = 0; i < classic.digests.size(); ++i)
        ASSERT_EQ(fixed.digests[i], classic.digests[i]) << "turn " << i;
    ASSERT_EQ(fixed.end.size(), classic.end.size());
    for (size_t i = 0; i < classic.end.size(); ++i)
        EXPECT_EQ(fixed.end[i], classic.end[i]);
    std::printf("[ run      ] %zu turns alike, the last on the title\n", classic.digests.size());
}

}  // namespace
