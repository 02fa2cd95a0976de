// The whole game played through the engine's own loop, one fixed-length step at a time (a
// classic drawn frame every thirtieth), from a fresh random generator: keys and mouse motion go in through
// the scripted devices, and every run checks the states, the level statistics and the song it passes.
#include "app/CSimpEngine.h"
#include "objects/CCougarBox.h"
#include "objects/CMaze.h"
#include "objects/CPlayer.h"
#include "objects/CReeses.h"
#include "objects/CTerrain.h"
#include "objects/CTerrain2.h"
#include "overlay/COverlay.h"
#include "scene/CRandom.h"
#include "scene/CViewCamera.h"
#include "sound/CSoundSystem.h"
#include "support/CougarDodger.h"
#include "support/FrameDriver.h"
#include "support/MazePilot.h"
#include "support/NodeRing.h"
#include "world/CGameWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

const float kDt = 1.0f / 60.0f;

class Playthrough : public ::testing::Test {
protected:
    // The generator starts as it does in a new process, before the engine is built.
    struct FreshGenerator {
        FreshGenerator() { CRandom::Reset(); }
    } fresh;
    std::unique_ptr<FrameDriver> driver{new FrameDriver()};
    CGameWorld* world = driver->World();
    CViewCamera* camera = driver->Camera();
    COverlay* overlay = driver->engine->overlay;

    // The one song sounding, by file name; "none" when silent, "several" when mixed.
    std::string Song() const {
        CSoundSystem* sound = world->sound;
        const struct {
            CSoundClip* clip;
            const char* name;
        } songs[4] = {{world->levelOneMusic, "Crawling.mid"},
                      {world->levelTwoMusic, "The_Kids_Arent_Alright.mid"},
                      {world->menuMusic, "DuelOfTheFates.mid"},
                      {world->creditsMusic, "rubberduckie.mid"}};
        std::string playing = "none";
        for (const auto& song : songs)
            if (sound->IsPlaying(song.clip)) playing = playing == "none" ? song.name : "several";
        return playing;
    }

    // n turns of the game: steps, with a classic drawn frame every thirtieth. Nothing here
    // reads a picture, and a step is the classic frame without its drawing (the fixed-step
    // tests hold them equal), so the drawing still runs all through the game at a thirtieth
    // of the cost.
    int turns = 0;
    void Turns(int n) {
        for (int i = 0; i < n; ++i)
            if (++turns % 30 == 0)
                driver->Frames(1, kDt);
            else
                driver->Steps(1);
    }

    // Holds a key for n frames, then lets it go.
    void Press(const char* key, int frames = 1) {
        driver->Hold(key);
        Turns(frames);
        driver->Release(key);
    }

    // A key held over two frames from a finished screen: the level's loading state, silent,
    // then the screen it builds.
    void HoldThroughLoading(const char* key, GameState loading) {
        driver->Hold(key);
        Turns(1);
        EXPECT_EQ(world->state, loading);
        EXPECT_EQ(Song(), "none");
        Turns(1);
        driver->Release(key);
    }

    // Lets go of every key and the mouse after a steered run.
    void LetGo() {
        driver->ReleaseAll();
        driver->SetMouse(0, 0);
    }

    // The song of the current screen, checked every half second of a long run.
    void ExpectSongEveryHalfSecond(int frames, const char* song) {
        if (frames % 30 == 0) {
            EXPECT_EQ(Song(), song) << "frame " << frames;
        }
    }

    // Title, then P held over two frames: level one is built and introduced.
    void ToLevelOneIntro() {
        Turns(1);
        ASSERT_EQ(world->state, MainMenu);
        EXPECT_EQ(Song(), "DuelOfTheFates.mid");
        HoldThroughLoading("P", LevelOneLoading);
        ExpectLevelOneIntro();
    }

    void ExpectLevelOneIntro() {
        ASSERT_EQ(world->state, LevelOneIntro);
        EXPECT_EQ(Song(), "Crawling.mid");
        EXPECT_EQ(overlay->GetEnergy(), 20);
        EXPECT_FALSE(overlay->IsGoalReached());
        EXPECT_EQ(LiveCount<CReeses>(world->maze), 5);
    }

    // From level-one play, F1 skips to level two; its introduction, then play.
    void SkipToLevelTwoPlay() {
        ASSERT_EQ(world->state, LevelOnePlay);
        HoldThroughLoading("F1", LevelTwoLoading);
        LevelTwoIntroToPlay();
    }

    void LevelTwoIntroToPlay() {
        ExpectLevelTwoIntro();
        Press("Space");
        ASSERT_EQ(world->state, LevelTwoPlay);
    }

    void ExpectLevelTwoIntro() {
        ASSERT_EQ(world->state, LevelTwoIntro);
        EXPECT_EQ(Song(), "The_Kids_Arent_Alright.mid");
        EXPECT_EQ(overlay->GetHealth(), 5);
        EXPECT_EQ(overlay->minutes, 1);
        EXPECT_EQ(overlay->seconds, 30);
        EXPECT_EQ(overlay->subSeconds, 0);
        EXPECT_EQ(LiveCount<CCougarBox>(world->levelTwoTerrain), 20);
        EXPECT_FLOAT_EQ(camera->position.x, 0.0f);
        EXPECT_FLOAT_EQ(camera->position.z, 0.0f);
    }

    struct Run {
        int frames = 0;
        float seconds = 0;
    };

    // Flies level one with the pilot until the level ends; the energy must never run out
    // on the way and every meal must show in the energy and vanish from the maze.
    Run PilotLevelOne(MazePilot& pilot) {
        Run run;
        int foodBefore = LiveCount<CReeses>(world->maze);
        int bonusBefore = overlay->energyBonus;
        int meals = 0;
        while (world->state == LevelOnePlay && run.frames < 60 * 120) {
            pilot.Steer(*driver);
            Turns(1);
            ++run.frames;
            const int food = LiveCount<CReeses>(world->maze);
            const int bonus = overlay->energyBonus;
            if (food != foodBefore) {
                // Eaten and removed in the same frame, and worth at least 20 each.
                EXPECT_EQ(foodBefore - food, 1) << "frame " << run.frames;
                EXPECT_GE(bonus - bonusBefore, 20) << "frame " << run.frames;
                // The bite is heard on the duckling's own sounds; the song plays on.
                EXPECT_TRUE(world->player->sound->IsPlaying(world->player->eatClip))
                    << "frame " << run.frames;
                EXPECT_EQ(Song(), "Crawling.mid") << "frame " << run.frames;
                ++meals;
            } else {
                EXPECT_EQ(bonus, bonusBefore) << "energy bonus without a meal, frame " << run.frames;
            }
            foodBefore = food;
            bonusBefore = bonus;
            if (world->state == LevelOnePlay) {
                EXPECT_GT(overlay->GetEnergy(), 0) << "frame " << run.frames;
            }
            ExpectSongEveryHalfSecond(run.frames, "Crawling.mid");
        }
        LetGo();
        run.seconds = world->elapsed;
        EXPECT_EQ(overlay->energyBonus % 20, 0);
        EXPECT_GE(overlay->energyBonus, 20 * meals);
        // More than 19 s of play cannot be survived without a meal.
        if (run.seconds > 19.0f) {
            EXPECT_GE(meals, 1);
        }
        return run;
    }

    // Level two, dodging the cougars' paths, until the level ends.
    Run DodgeLevelTwo(CougarDodger& dodger) {
        Run run;
        int lastClock = 90;
        while (world->state == LevelTwoPlay && run.frames < 60 * 100) {
            dodger.Steer(*driver, world->levelTwoTerrain, kDt);
            Turns(1);
            ++run.frames;
            const int clock = overlay->minutes * 60 + overlay->seconds;
            EXPECT_LE(clock, lastClock) << "frame " << run.frames;
            lastClock = clock;
            ExpectSongEveryHalfSecond(run.frames, "The_Kids_Arent_Alright.mid");
        }
        LetGo();
        run.seconds = world->elapsed;
        return run;
    }

    // The level-two clock's end: the HUD shows zero after more than 89 s of play and the
    // won screen follows one frame later, with the song still playing.
    void ExpectLevelTwoWon(const Run& run) {
        ASSERT_EQ(world->state, LevelTwoWon);
        EXPECT_GT(overlay->GetHealth(), 0);
        EXPECT_TRUE(overlay->IsGoalReached());
        EXPECT_EQ(overlay->minutes, 0);
        EXPECT_EQ(overlay->seconds, 0);
        EXPECT_EQ(overlay->subSeconds, 0);
        EXPECT_GT(run.seconds, 89.0f + kDt);
        EXPECT_LE(run.seconds, 89.0f + 3 * kDt);
        EXPECT_EQ(Song(), "The_Kids_Arent_Alright.mid");
    }

    // Space held on the won screen: the credits' loading state, then the roll itself.
    void ToCredits() {
        HoldThroughLoading("Space", CreditsLoading);
        ASSERT_EQ(world->state, Credits);
        EXPECT_EQ(Song(), "rubberduckie.mid");
        EXPECT_TRUE(camera->pitchLimitOff);
        EXPECT_FLOAT_EQ(camera->pitch, -90.0f);
        EXPECT_FLOAT_EQ(camera->yaw, 0.0f);
        EXPECT_FLOAT_EQ(camera->position.y, 5.0f);
        EXPECT_NEAR(camera->position.x, 0.0f, 0.05f);
        EXPECT_NEAR(camera->position.z, 0.0f, 0.05f);
    }
};

TEST_F(Playthrough, PilotWinsLevelOneThenLevelTwoIsSurvivedAndTheCreditsRollBackToTheTitle) {
    ToLevelOneIntro();
    MazePilot pilot(*world->maze, kDt);
    // The maze as the pilot reads it: fenced, on the grid, every cell reachable.
    EXPECT_EQ(pilot.offGridPieces, 0);
    EXPECT_TRUE(pilot.fenceComplete);
    EXPECT_TRUE(pilot.AllConnected());
    EXPECT_GT(pilot.standingPieces, 44);
    EXPECT_LT(pilot.standingPieces, 264);
    ASSERT_TRUE(pilot.plan.feasible) << "no route the energy allows";

    Press("Space");
    ASSERT_EQ(world->state, LevelOnePlay);
    const Run one = PilotLevelOne(pilot);
    std::printf(
        "[ run      ] level one won by the pilot: %d frames, %.2f s of play, energy %d, "
        "bonus %d, %d mouse counts\n",
        one.frames, one.seconds, overlay->GetEnergy(), overlay->energyBonus, pilot.turnCounts);
    ASSERT_EQ(world->state, LevelOneWon);
    EXPECT_TRUE(overlay->IsGoalReached());
    EXPECT_EQ(pilot.bounces, 0) << "the route ran into a wall";
    EXPECT_GE(pilot.next + 1, pilot.plan.waypoints.size());
    // The duckling stood inside the Wise Old Man's box when it touched him.
    EXPECT_GT(world->player->position.x, 525.0f);
    EXPECT_GT(world->player->position.z, 525.0f);
    EXPECT_GT(pilot.framesHeldW, one.frames / 2);
    EXPECT_GT(pilot.turnCounts, 0);
    EXPECT_EQ(Song(), "Crawling.mid");

    // Space held: the won screen, level two's loading state, its introduction.
    HoldThroughLoading("Space", LevelTwoLoading);
    LevelTwoIntroToPlay();

    CougarDodger dodger;
    const Run two = DodgeLevelTwo(dodger);
    std::printf("[ run      ] level two survived by dodging: %d frames, %.2f s of play, health %d\n",
                two.frames, two.seconds, overlay->GetHealth());
    ExpectLevelTwoWon(two);

    ToCredits();
    // The roll backs away at half a unit a second and ends by itself past x = -33.
    int frames = 0;
    float lastX = camera->position.x;
    while (world->state == Credits && frames < 60 * 80) {
        Turns(1);
        ++frames;
        EXPECT_LT(camera->position.x, lastX) << "frame " << frames;
        lastX = camera->position.x;
        if (world->state == Credits) ExpectSongEveryHalfSecond(frames, "rubberduckie.mid");
    }
    std::printf("[ run      ] credits rolled to the end: %d frames, %.2f s\n", frames, frames * kDt);
    ASSERT_EQ(world->state, MainMenu);
    EXPECT_LT(lastX, -33.0f);
    EXPECT_NEAR(frames * kDt, 66.0f, 0.2f);
    EXPECT_EQ(Song(), "none");
    Turns(1);
    EXPECT_EQ(world->state, MainMenu);
    EXPECT_EQ(Song(), "DuelOfTheFates.mid");
    // Leaving by the roll's end keeps the pitch free; the title faces the picture again.
    EXPECT_TRUE(camera->pitchLimitOff);
    EXPECT_FLOAT_EQ(camera->pitch, 0.0f);
    EXPECT_FLOAT_EQ(camera->yaw, 0.0f);
    EXPECT_FLOAT_EQ(camera->position.x, 0.0f);
}

TEST_F(Playthrough, LevelOneLostByStarvingThenSpaceBuildsANewMazeAndQLeavesFromTheMenu) {
    ToLevelOneIntro();
    float firstMaze[CMaze::kWallCount][3];
    std::memcpy(firstMaze, world->maze->wallSpots, sizeof firstMaze);
    Press("Space");
    ASSERT_EQ(world->state, LevelOnePlay);

    // Nothing held: the energy counts down through every whole number to zero.
    // The frame that started play already ran the clock once, from 20.
    EXPECT_EQ(overlay->GetEnergy(), 20);
    bool shown[21] = {};
    shown[20] = overlay->GetEnergy() == 20;
    int frames = 0;
    int lastEnergy = 20;
    while (world->state == LevelOnePlay && frames < 60 * 30) {
        Turns(1);
        ++frames;
        const int energy = overlay->GetEnergy();
        EXPECT_LE(energy, lastEnergy) << "frame " << frames;
        EXPECT_GE(energy, 0) << "frame " << frames;
        if (energy >= 0 && energy <= 20) shown[energy] = true;
        lastEnergy = energy;
        ExpectSongEveryHalfSecond(frames, "Crawling.mid");
    }
    std::printf("[ run      ] level one starved: %d frames, %.2f s of play\n", frames, world->elapsed);
    ASSERT_EQ(world->state, LevelOneLost);
    for (int e = 0; e <= 20; ++e)
        EXPECT_TRUE(shown[e]) << "energy " << e << " never shown";
    EXPECT_EQ(overlay->GetEnergy(), 0);
    EXPECT_FALSE(overlay->IsGoalReached());
    EXPECT_EQ(overlay->energyBonus, 0);
    // Lost in the first frame that began after more than 19 s of play.
    EXPECT_GT(world->elapsed - kDt, 19.0f);
    EXPECT_LE(world->elapsed - 2 * kDt, 19.0f);
    EXPECT_EQ(LiveCount<CReeses>(world->maze), 5);
    EXPECT_EQ(Song(), "Crawling.mid");

    // Space held: the loading state, then a fresh level one on a maze of its own.
    HoldThroughLoading("Space", LevelOneLoading);
    ExpectLevelOneIntro();
    EXPECT_NE(std::memcmp(firstMaze, world->maze->wallSpots, sizeof firstMaze), 0);
    MazePilot second(*world->maze, kDt);
    EXPECT_TRUE(second.AllConnected());
    EXPECT_TRUE(second.plan.feasible);

    // Play, the in-game menu, and Q back to the title with its song.
    Press("Space");
    EXPECT_EQ(world->state, LevelOnePlay);
    Press("Enter");
    EXPECT_EQ(world->state, LevelOneMenu);
    Press("Q");
    EXPECT_EQ(world->state, MainMenu);
    EXPECT_EQ(Song(), "DuelOfTheFates.mid");
}

TEST_F(Playthrough, LevelTwoLostByRunningIntoTheCougarsThenSpaceBuildsItAgain) {
    ToLevelOneIntro();
    Press("Space");
    SkipToLevelTwoPlay();

    int frames = 0;
    int hits = 0;
    int cougars = LiveCount<CCougarBox>(world->levelTwoTerrain);
    int health = overlay->GetHealth();
    while (world->state == LevelTwoPlay && frames < 60 * 90) {
        // Straight at the nearest cougar, where it is drawn.
        CCougarBox* nearest = nullptr;
        float best = 1e9f;
        for (CCougarBox* cougar : LiveChildren<CCougarBox>(world->levelTwoTerrain)) {
            const float d = std::hypot(cougar->drawPosition.x - camera->position.x,
                                       cougar->drawPosition.z - camera->position.z);
            if (d < best) {
                best = d;
                nearest = cougar;
            }
        }
        ASSERT_NE(nearest, nullptr);
        bool pushed = false;
        MazePilot::AimAt(*driver, nearest->drawPosition.x, nearest->drawPosition.z, &pushed);

        Turns(1);
        ++frames;
        const int nowCougars = LiveCount<CCougarBox>(world->levelTwoTerrain);
        const int nowHealth = overlay->GetHealth();
        if (nowHealth != health) {
            ++hits;
            // The touched cougar is gone by the end of the same frame, and it hurts.
            EXPECT_GE(cougars - nowCougars, 1) << "frame " << frames;
            EXPECT_LE(cougars - nowCougars, health - nowHealth) << "frame " << frames;
            EXPECT_EQ(Song(), "The_Kids_Arent_Alright.mid") << "frame " << frames;
            EXPECT_TRUE(world->player->sound->IsPlaying(world->player->ouchClip)) << "frame " << frames;
        } else {
            EXPECT_EQ(nowCougars, cougars) << "a cougar vanished untouched, frame " << frames;
        }
        cougars = nowCougars;
        health = nowHealth;
        ExpectSongEveryHalfSecond(frames, "The_Kids_Arent_Alright.mid");
    }
    LetGo();
    std::printf(
        "[ run      ] level two lost to the cougars: %d frames, %.2f s of play, "
        "%d touching frames, %d cougars left\n",
        frames, world->elapsed, hits, cougars);
    ASSERT_EQ(world->state, LevelTwoLost);
    EXPECT_LE(overlay->GetHealth(), 0);
    EXPECT_GE(hits, 1);
    EXPECT_LE(hits, 5);
    EXPECT_LE(20 - cougars, 5);
    EXPECT_FALSE(overlay->IsGoalReached());
    EXPECT_EQ(Song(), "The_Kids_Arent_Alright.mid");

    // Space held: level two's loading state, then a fresh level two.
    HoldThroughLoading("Space", LevelTwoLoading);
    ExpectLevelTwoIntro();
}

TEST_F(Playthrough, LevelTwoSurvivedByDodgingThenQLeavesTheCredits) {
    ToLevelOneIntro();
    Press("Space");
    SkipToLevelTwoPlay();
    CougarDodger dodger;
    const Run two = DodgeLevelTwo(dodger);
    std::printf(
        "[ run      ] level two survived by dodging: %d frames, %.2f s of play, health %d, "
        "%d frames waiting for a cougar to pass\n",
        two.frames, two.seconds, overlay->GetHealth(), dodger.waits);
    ExpectLevelTwoWon(two);

    ToCredits();
    Turns(120);
    EXPECT_EQ(world->state, Credits);
    EXPECT_NEAR(camera->position.x, -1.0f, 0.05f);  // two seconds at half a unit a second
    EXPECT_EQ(Song(), "rubberduckie.mid");
    Press("Q");
    EXPECT_EQ(world->state, MainMenu);
    EXPECT_FALSE(camera->pitchLimitOff);
    EXPECT_EQ(Song(), "DuelOfTheFates.mid");
}

}  // namespace
