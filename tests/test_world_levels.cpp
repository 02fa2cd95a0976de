// The two levels through the real engine: what a build puts in each tree, the clock and
// energy, contacts with food, the Wise Old Man and cougars, and rebuilding without growth.

#include "test_world_common.h"

#include "support/HeapInUse.h"
#include "support/MazePilot.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "objects/CBoundary.h"
#include "objects/CCougarBox.h"
#include "objects/CMaze.h"
#include "objects/CMazeWall.h"
#include "objects/CNest.h"
#include "objects/CPlayer.h"
#include "objects/CReeses.h"
#include "objects/CSphere.h"
#include "objects/CWater.h"

namespace worldtest {
namespace {

void ExpectClearColour(float r, float g, float b, float a) {
    float c[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
    EXPECT_FLOAT_EQ(c[0], r);
    EXPECT_FLOAT_EQ(c[1], g);
    EXPECT_FLOAT_EQ(c[2], b);
    EXPECT_FLOAT_EQ(c[3], a);
}

// Both levels start their tree with the duckling, tied to the engine's camera and HUD.
class WorldLevels : public WorldTest {
protected:
    void ExpectPlayerFirst(const std::vector<CNode*>& top) {
        ASSERT_FALSE(top.empty());
        EXPECT_EQ(typeid(*top[0]), typeid(CPlayer));
        EXPECT_EQ(top[0], world->player);
        EXPECT_EQ(world->player->camera, camera);
        EXPECT_EQ(world->player->overlay, overlay);
    }
};

TEST_F(WorldLevels, LevelOneTreeHoldsItsObjectsInBuildOrder) {
    Frames(1);
    Press("P");
    camera->yaw = 25;
    Press("P");
    ASSERT_EQ(world->state, LevelOneIntro);
    CTerrain* root = world->levelOneTerrain;
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(CountNodes(root), 275);

    std::vector<CNode*> top = RingChildren(root);
    ASSERT_EQ(top.size(), 3u);
    ExpectPlayerFirst(top);
    EXPECT_EQ(typeid(*top[1]), typeid(CMaze));
    EXPECT_EQ(top[1], world->maze);
    EXPECT_EQ(typeid(*top[2]), typeid(CWater));
    EXPECT_EQ(top[2], world->water);

    std::vector<CNode*> inMaze = RingChildren(world->maze);
    ASSERT_EQ(inMaze.size(), 264u + 5u + 1u + 1u);
    for (int i = 0; i < 264; ++i) {
        ASSERT_EQ(inMaze[i], world->walls[i]) << "wall " << i;
        EXPECT_EQ(world->walls[i]->orientation, i < 132 ? 0 : 1) << "wall " << i;
    }
    const float spots[5][3] = {{25, 3, 525}, {525, 3, 25}, {275, 3, 275}, {25, 3, 275}, {275, 3, 25}};
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(typeid(*inMaze[264 + i]), typeid(CReeses)) << "food " << i;
        EXPECT_EQ(inMaze[264 + i], world->food[i]);
        ExpectAt(world->food[i], spots[i][0], spots[i][1], spots[i][2]);
    }
    ASSERT_EQ(typeid(*inMaze[269]), typeid(CNest));
    ExpectAt(static_cast<CObject*>(inMaze[269]), 20, 1.5f, 20);
    ASSERT_EQ(typeid(*inMaze[270]), typeid(CSphere));
    EXPECT_EQ(inMaze[270], world->wiseOldMan);
    ExpectAt(world->wiseOldMan, 540, 4, 540);

    ExpectClearColour(0.5f, 0.5f, 1, 1);
    ExpectAt(camera->position, 3, 5, 3);
    EXPECT_FLOAT_EQ(camera->yaw, 25) << "the build leaves the heading alone";
    EXPECT_FLOAT_EQ(world->timeLimit, 20);
    EXPECT_FLOAT_EQ(world->elapsed, 0);
    EXPECT_EQ(overlay->GetEnergy(), 20);
    EXPECT_EQ(overlay->GetHealth(), 5);
    EXPECT_EQ(overlay->energyBonus, 0);
    EXPECT_FALSE(overlay->IsGoalReached());
}

TEST_F(WorldLevels, LevelTwoTreeAndCougarsFromTheRandomSequence) {
    ToLevelOnePlay();
    camera->yaw = 40;
    camera->pitch = -10;
    Press("F1");
    ASSERT_EQ(world->state, LevelTwoLoading);
    uint32_t seq = CRandom::State();
    Press("Enter");
    ASSERT_EQ(world->state, LevelTwoIntro);
    CTerrain2* root = world->levelTwoTerrain;
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(CountNodes(root), 26);
    EXPECT_NE(world->levelOneTerrain, nullptr) << "level one stays built";

    std::vector<CNode*> top = RingChildren(root);
    ASSERT_EQ(top.size(), 25u);
    ExpectPlayerFirst(top);
    const struct {
        int orientation;
        float x, z;
    } fence[4] = {{1, -256, 0}, {1, 256, 0}, {0, 0, -256}, {0, 0, 256}};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(typeid(*top[1 + i]), typeid(CBoundary)) << i;
        EXPECT_EQ(top[1 + i], world->boundaries[i]);
        EXPECT_EQ(world->boundaries[i]->orientation, fence[i].orientation);
        ExpectAt(world->boundaries[i], fence[i].x, 0, fence[i].z);
    }
    // Each cougar: z from one draw, x from the next, then its own three draws.
    auto draw = [&seq] {
        seq = seq * 214013u + 2531011u;
        return static_cast<int>((seq >> 16) & 0x7FFF);
    };
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(typeid(*top[5 + i]), typeid(CCougarBox));
        EXPECT_EQ(top[5 + i], world->cougars[i]);
        int z = 255 - draw() % 510;
        int x = 255 - draw() % 510;
        for (int k = 0; k < 3; ++k)
            draw();
        ExpectAt(world->cougars[i], static_cast<float>(x), -20, static_cast<float>(z));
        EXPECT_GE(world->cougars[i]->position.x, -254);
        EXPECT_LE(world->cougars[i]->position.x, 255);
    }
    EXPECT_EQ(seq, CRandom::State()) << "the build draws exactly five numbers a cougar";

    ExpectClearColour(0, 0, 0, 1);
    ExpectAt(camera->position, 0, 5, 0);
    EXPECT_FLOAT_EQ(camera->yaw, 40);
    EXPECT_FLOAT_EQ(camera->pitch, -10);
    EXPECT_FLOAT_EQ(world->timeLimit, 90);
    EXPECT_FLOAT_EQ(world->elapsed, 0);
    EXPECT_EQ(overlay->GetHealth(), 5);
    EXPECT_FALSE(overlay->IsGoalReached());
}

TEST_F(WorldLevels, FoodAddsTwentyFromTheFrameItIsEatenAndLeavesTheMaze) {
    ToLevelOneIntro();
    // Standing on food outside play eats nothing: no contact pass there.
    PlaceCamera(275, 5, 275);
    Frames(3);
    EXPECT_EQ(overlay->energyBonus, 0);
    EXPECT_EQ(ChildrenOf<CReeses>(world->maze).size(), 5u);
    EXPECT_FLOAT_EQ(world->elapsed, 0) << "no clock on the introduction";

    // Space starts play in the same frame, whose contact pass finds the food under the duckling.
    float before = world->elapsed;
    Press("Space", 0.25f);
    ASSERT_EQ(world->state, LevelOnePlay);
    EXPECT_EQ(overlay->energyBonus, 20);
    EXPECT_EQ(overlay->GetEnergy(), static_cast<int>(20.0f - before) + 20);
    std::vector<CReeses*> left = ChildrenOf<CReeses>(world->maze);
    ASSERT_EQ(left.size(), 4u) << "the frame's update removed the item";
    for (CReeses* r : left)
        EXPECT_FALSE(r->position.x == 275 && r->position.z == 275);
    EXPECT_EQ(CountNodes(world->levelOneTerrain), 274);
    EXPECT_TRUE(world->player->sound->IsPlaying(world->player->eatClip));
    EXPECT_TRUE(EnergyHudShows(40));

    // Nothing left to eat there.
    Frames(4, 0.25f);
    EXPECT_EQ(overlay->energyBonus, 20);

    // A second item, walked onto in play: again from the contact frame on.
    PlaceCamera(25, 5, 275);
    Frames(1, 0.25f);
    EXPECT_EQ(overlay->energyBonus, 20) << "the duckling follows the eye only when drawn";
    before = world->elapsed;
    Frames(1, 0.25f);
    EXPECT_EQ(overlay->energyBonus, 40);
    EXPECT_EQ(overlay->GetEnergy(), static_cast<int>(20.0f - before) + 40);
    EXPECT_EQ(ChildrenOf<CReeses>(world->maze).size(), 3u);
    EXPECT_FLOAT_EQ(camera->velocity.z, 0);
}

TEST_F(WorldLevels, EnergyIsTwentyOnEveryNewIntroduction) {
    ToLevelOnePlay();
    PlaceCamera(25, 5, 525);
    Frames(2);
    ASSERT_EQ(overlay->energyBonus, 20);
    ASSERT_GT(overlay->GetEnergy(), 20);
    PressAll({"Enter", "Q", "P", "P"});
    ASSERT_EQ(world->state, LevelOneIntro);
    EXPECT_EQ(overlay->GetEnergy(), 20);
    EXPECT_EQ(overlay->energyBonus, 0);
    EXPECT_TRUE(EnergyHudShows(20));
    EXPECT_EQ(ChildrenOf<CReeses>(world->maze).size(), 5u) << "all food is back";

    // Again after eating and losing.
    Press("Space");
    PlaceCamera(525, 5, 25);
    Frames(2);
    ASSERT_EQ(overlay->energyBonus, 20);
    Frames(1, 50.0f);
    Frames(1);
    ASSERT_EQ(world->state, LevelOneLost);
    EXPECT_TRUE(EnergyHudShows(0)) << "a negative energy shows as 0";
    PressAll({"Space", "Space"});
    ASSERT_EQ(world->state, LevelOneIntro);
    EXPECT_EQ(overlay->GetEnergy(), 20);
    EXPECT_TRUE(EnergyHudShows(20));
}

TEST_F(WorldLevels, LevelOneIsLostInTheFirstFrameWithMoreThanNineteenSeconds) {
    ToLevelOnePlay();
    for (float dt : {0.25f, 1.0f / 7.0f}) {
        SCOPED_TRACE(dt);
        ASSERT_EQ(world->state, LevelOnePlay);
        int frames = 0;
        for (;;) {
            const float e = world->elapsed;
            Frames(1, dt);
            ++frames;
            ASSERT_LT(frames, 1000);
            if (e > 19.0f) {
                EXPECT_EQ(world->state, LevelOneLost) << "e = " << e;
                EXPECT_EQ(overlay->GetEnergy(), 0);
                break;
            }
            ASSERT_EQ(world->state, LevelOnePlay) << "e = " << e;
            EXPECT_EQ(overlay->GetEnergy(), static_cast<int>(20.0f - e));
            EXPECT_GE(overlay->GetEnergy(), 1);
            if (e > 18.0f && e + dt > 19.0f) {
                EXPECT_TRUE(EnergyHudShows(1));
            }
        }
        // The lost screen holds the clock.
        const float stopped = world->elapsed;
        Frames(5, dt);
        EXPECT_EQ(world->state, LevelOneLost);
        EXPECT_FLOAT_EQ(world->elapsed, stopped);
        // Rebuild for the next step size.
        PressAll({"Space", "Space", "Space"});
    }
}

TEST_F(WorldLevels, TouchingTheWiseOldManIsFoundByTheSameFrameEvenWithNoEnergyLeft) {
    ToLevelOnePlay();
    PlaceCamera(540, 5, 540);
    Frames(1, 19.5f);  // the duckling arrives; 19.5 s of play
    ASSERT_EQ(world->state, LevelOnePlay);
    EXPECT_FALSE(overlay->IsGoalReached());
    EXPECT_EQ(overlay->GetEnergy(), 19) << "a sixtieth of a second passed in the frame that started play";
    Frames(1, 0.25f);
    EXPECT_TRUE(overlay->IsGoalReached());
    EXPECT_EQ(overlay->GetEnergy(), 0) << "the energy ran out in the same frame";
    EXPECT_EQ(world->state, LevelOneWon) << "the goal is tested first";
    EXPECT_FLOAT_EQ(camera->velocity.z, 0);
    Frames(1);
    EXPECT_EQ(world->state, LevelOneWon);

    // A new game is not won until the Wise Old Man is touched again.
    PressAll({"Q", "P", "P"});
    EXPECT_FALSE(overlay->IsGoalReached());
    Press("Space");
    Frames(10);
    EXPECT_EQ(world->state, LevelOnePlay);
}

TEST_F(WorldLevels, LevelTwoClockReadsOneThirtyOnTheIntroductionAndStandsStillOutsidePlay) {
    ToLevelTwoIntro();
    EXPECT_EQ(overlay->minutes, 1);
    EXPECT_EQ(overlay->seconds, 30);
    EXPECT_EQ(overlay->subSeconds, 0);
    EXPECT_TRUE(ClockShows("Time: 1:30.00"));
    Frames(20, 1.0f);
    EXPECT_FLOAT_EQ(world->elapsed, 0);
    EXPECT_TRUE(ClockShows("Time: 1:30.00"));

    PlaceCamera(1000, 5, 1000);  // out of the cougars' way
    Press("Space", 1.0f);
    ASSERT_EQ(world->state, LevelTwoPlay);
    EXPECT_FLOAT_EQ(world->elapsed, 1);
    EXPECT_TRUE(ClockShows("Time: 1:30.00")) << "the clock lags one frame behind";
    Frames(10, 1.0f);
    EXPECT_FLOAT_EQ(world->elapsed, 11);
    EXPECT_TRUE(ClockShows("Time: 1:20.00"));

    Press("Enter", 1.0f);
    ASSERT_EQ(world->state, LevelTwoMenu);
    Frames(15, 1.0f);
    EXPECT_FLOAT_EQ(world->elapsed, 11);
    EXPECT_TRUE(ClockShows("Time: 1:20.00"));
    Press("Esc", 1.0f);
    EXPECT_TRUE(ClockShows("Time: 1:19.00"));
    EXPECT_EQ(overlay->GetHealth(), 5);
}

TEST_F(WorldLevels, ClockShowsZeroAfterEightyNineSecondsAndWinsOneFrameLater) {
    ToLevelTwoIntro();
    PlaceCamera(1000, 5, 1000);
    Press("Space", 0.5f);
    Frames(2, 44.25f);
    ASSERT_FLOAT_EQ(world->elapsed, 89.0f);
    Frames(1, 0.25f);  // 89 s is not more than 89
    EXPECT_TRUE(ClockShows("Time: 0:01.00"));
    EXPECT_FALSE(overlay->IsGoalReached());
    Frames(1, 0.25f);
    EXPECT_TRUE(ClockShows("Time: 0:0.00"));
    EXPECT_TRUE(overlay->IsGoalReached());
    EXPECT_EQ(world->state, LevelTwoPlay) << "found by the next frame's Draw";
    Frames(1, 0.25f);
    EXPECT_EQ(world->state, LevelTwoWon);
    const float stopped = world->elapsed;
    Frames(3, 0.25f);
    EXPECT_FLOAT_EQ(world->elapsed, stopped);
    EXPECT_EQ(overlay->GetHealth(), 5);
}

TEST_F(WorldLevels, FiveCougarContactsLoseLevelTwo) {
    ToLevelTwoPlay();
    const float dt = 0.001f;  // cougars barely move between placing the eye and the contact
    Frames(1, dt);
    for (int contact = 1; contact <= 5; ++contact) {
        SCOPED_TRACE(contact);
        std::vector<CCougarBox*> live = ChildrenOf<CCougarBox>(world->levelTwoTerrain);
        ASSERT_EQ(live.size(), 20u - (contact - 1));
        // One standing clear of the others, so that exactly one is touched.
        CCougarBox* target = nullptr;
        for (CCougarBox* c : live) {
            bool alone = true;
            for (CCougarBox* o : live)
                if (o != c && std::abs(o->minX - c->minX) < 20 && std::abs(o->minZ - c->minZ) < 20)
                    alone = false;
            if (alone) {
                target = c;
                break;
            }
        }
        ASSERT_NE(target, nullptr);
        PlaceCamera((target->minX + target->maxX) / 2, 5, (target->minZ + target->maxZ) / 2);
        Frames(1, dt);
        EXPECT_EQ(overlay->GetHealth(), 6 - contact);
        camera->velocity = CVec3(0, 0, 1);
        Frames(1, dt);
        EXPECT_EQ(overlay->GetHealth(), 5 - contact);
        EXPECT_FLOAT_EQ(camera->velocity.z, 0);
        live = ChildrenOf<CCougarBox>(world->levelTwoTerrain);
        EXPECT_EQ(live.size(), 20u - contact) << "removed by the same frame's update";
        for (CCougarBox* c : live)
            EXPECT_NE(c, target);
        EXPECT_TRUE(world->player->sound->IsPlaying(world->player->ouchClip));
        EXPECT_EQ(world->state, contact < 5 ? LevelTwoPlay : LevelTwoLost);
    }
    Frames(3, dt);
    EXPECT_EQ(world->state, LevelTwoLost);
    EXPECT_EQ(overlay->GetHealth(), 0);
}

TEST_F(WorldLevels, RebuildingBothLevelsDoesNotGrowMemory) {
    Frames(1);
    // One round: title, level one built and played, F1, level two built and played, back to the title.
    auto round = [&] {
        PressAll({"P", "P", "Space", "F1", "Space", "Space", "Enter", "Q"});
        ASSERT_EQ(world->state, MainMenu);
        EXPECT_EQ(CountNodes(world->levelOneTerrain), 275);
        EXPECT_EQ(CountNodes(world->levelTwoTerrain), 26);
    };
    // The least heap over the last rounds of each stretch: the song being synthesised holds
    // buffers that come and go beside the levels (more of them on a busy machine), and the
    // levels themselves, their pictures shared, are now only a few MiB.
    auto leastOver = [&](int rounds, int tail) {
        size_t least = SIZE_MAX;
        for (int i = 0; i < rounds; ++i) {
            round();
            if (i >= rounds - tail) least = std::min(least, HeapInUse());
        }
        return least;
    };
    const size_t empty = HeapInUse();
    const size_t warm = leastOver(3, 2);
    const size_t levels = warm > empty ? warm - empty : 0;
    const size_t after = leastOver(30, 3);
    const long long growth = static_cast<long long>(after) - static_cast<long long>(warm);
    std::printf("heap: %zu before any level, %zu with both built, %zu after 30 more rounds (%+lld)\n", empty,
                warm, after, growth);
    // Thirty leaked rounds would hold thirty copies of both levels; allow a sliver of one.
    EXPECT_LT(growth, static_cast<long long>(levels / 4 + 256 * 1024));
}

// The world gives everything back when the game ends in the middle of play, not only on the title.
TEST(WorldTeardown, EndingDuringPlayReleasesBothLevels) {
    auto playBoth = [](FrameDriver& d) {
        d.Frames(1);
        for (const char* key : {"P", "P", "Space", "F1", "Space", "Space"}) {
            d.Hold(key);
            d.Frames(1);
            d.Release(key);
        }
        ASSERT_EQ(d.World()->state, LevelTwoPlay);
    };
    CRandom::Reset();
    // A first engine loads the drivers and fonts that stay for the whole process.
    {
        FrameDriver first;
        playBoth(first);
    }
    const size_t before = HeapInUse();
    size_t built = 0;
    {
        FrameDriver second;
        playBoth(second);
        built = HeapInUse();
    }
    const size_t after = HeapInUse();
    std::printf("heap: %zu before the engine, %zu in level two, %zu after the engine went\n", before, built,
                after);
    ASSERT_GT(built, before);
    // Level two alone is a couple of megabytes; the drivers keep a little of their own.
    EXPECT_LT(after, before + std::min<size_t>((built - before) / 8, 1u << 20))
        << "the levels outlived the world";
}

}  // namespace
}  // namespace worldtest

// The contact pass skips the walks that can reach no contact handler. Played with and without
// that shortcut, the same input gives the same game: health, energy, the camera's path and
// every cougar, with the maze pilot eating its way through level one, and with a duckling
// chasing the nearest cougar among the level's twenty and among ten times as many.
TEST(ContactShortcut, SameGameWithAndWithoutSkippingIdleWalks) {
    struct Outcome {
        std::vector<float> trail;  // camera and cougars, sampled along the run
        int health = 0, energy = 0, state = 0;
    };
    auto play = [](bool skip, int herd) {
        CObject::skipIdleContactWalks = skip;
        CRandom::Reset();
        FrameDriver driver(320, 240);
        CGameWorld* world = driver.World();
        auto press = [&](const char* key) {
            driver.Hold(key);
            driver.Frames(1);
            driver.Release(key);
        };
        driver.Frames(1);
        for (const char* key : {"P", "P", "Space"})
            press(key);
        CObject* root = world->levelOneTerrain;
        std::unique_ptr<MazePilot> pilot;
        if (herd == 0) {
            pilot.reset(new MazePilot(*world->maze, 1.0f / 60.0f));
        } else {
            for (const char* key : {"F1", "Space", "Space"})
                press(key);
            root = world->levelTwoTerrain;
            for (int i = 20; i < herd; ++i) {
                float x = static_cast<float>(255 - CRandom::Rand() % 510);
                float z = static_cast<float>(255 - CRandom::Rand() % 510);
                (new CCougarBox(x, -20, z))->AttachTo(root);
            }
        }
        Outcome out;
        for (int frame = 0; frame < 600 && (world->state == LevelOnePlay || world->state == LevelTwoPlay);
             ++frame) {
            CViewCamera* c = driver.Camera();
            CCougarBox* nearest = nullptr;
            float best = 1e30f;
            for (CNode* n : RingChildren(root)) {
                auto* cougar = dynamic_cast<CCougarBox*>(n);
                if (!cougar) continue;
                const float dx = (cougar->minX + cougar->maxX) / 2 - c->position.x;
                const float dz = (cougar->minZ + cougar->maxZ) / 2 - c->position.z;
                if (dx * dx + dz * dz < best) {
                    best = dx * dx + dz * dz;
                    nearest = cougar;
                }
                if (frame % 30 == 0)
                    out.trail.insert(out.trail.end(), {cougar->position.x, cougar->position.z, cougar->minX});
            }
            if (pilot) {
                pilot->Steer(driver);
            } else if (nearest) {
                bool pushed = false;
                MazePilot::AimAt(driver, (nearest->minX + nearest->maxX) / 2,
                                 (nearest->minZ + nearest->maxZ) / 2, &pushed);
            }
            driver.Frames(1);
            if (frame % 30 == 0) out.trail.insert(out.trail.end(), {c->position.x, c->position.z, c->yaw});
        }
        out.health = world->overlay->GetHealth();
        out.energy = world->overlay->GetEnergy();
        out.state = world->state;
        CObject::skipIdleContactWalks = true;
        return out;
    };
    for (int herd : {0, 20, 200}) {
        SCOPED_TRACE(herd);
        Outcome fast = play(true, herd);
        Outcome full = play(false, herd);
        EXPECT_EQ(fast.trail, full.trail);
        EXPECT_EQ(fast.health, full.health);
        EXPECT_EQ(fast.energy, full.energy);
        EXPECT_EQ(fast.state, full.state);
        if (herd == 0) {
            EXPECT_GT(full.energy, 20) << "the pilot should have eaten";
        } else {
            EXPECT_LT(full.health, 5) << "the chase should meet cougars";
        }
    }
}
