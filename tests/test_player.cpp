#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "objects/CBoundary.h"
#include "objects/CCougarBox.h"
#include "objects/CMaze.h"
#include "objects/CMazeWall.h"
#include "objects/CNest.h"
#include "objects/CPlayer.h"
#include "objects/CReeses.h"
#include "objects/CSphere.h"
#include "objects/CTerrain.h"
#include "objects/CWater.h"
#include "overlay/COverlay.h"
#include "scene/CViewCamera.h"
#include "sound/CSoundClip.h"
#include "sound/CSoundSystem.h"
#include "support/GLTestContext.h"

namespace {

// A real sound system that also remembers what it was asked to play.
class CRecordingSound : public CSoundSystem {
public:
    struct Played {
        CSoundClip* clip;
        uint32_t repeats;
    };
    std::vector<Played> played;
    void Play(CSoundClip* clip, uint32_t repeats) override {
        played.push_back({clip, repeats});
        CSoundSystem::Play(clip, repeats);
    }
};

// A wall piece of some other kind: the player must not take it for a maze wall.
class CHedge : public CMazeWall {
public:
    CHedge() : CMazeWall(0) {}
};

class CBigReeses : public CReeses {};

class Player : public ::testing::Test {
protected:
    GLTestContext gl;  // textures and fonts need a context
    CViewCamera camera;
    COverlay overlay;
    CPlayer* player = nullptr;
    CRecordingSound* sound = nullptr;

    void SetUp() override {
        player = new CPlayer();
        player->SetCamera(&camera);
        player->SetOverlay(&overlay);
        // Swap in a recording system with the same two effects, in the same order.
        delete player->sound;
        sound = new CRecordingSound();
        sound->Initialize(nullptr);
        player->ouchClip = sound->Load("ouch.wav", false);
        player->eatClip = sound->Load("reeses.wav", false);
        player->sound = sound;
        overlay.ResetLevelStats();
        overlay.SetGoalReached(false);
    }
    void TearDown() override { delete player; }

    // The duckling meets o while the camera moves at v.
    void Meet(CObject* o, const CVec3& v) {
        camera.velocity = v;
        player->HandleContact(o);
    }
    // The i-th effect asked for was clip, played once more after its first run.
    void ExpectPlayed(size_t i, CSoundClip* clip) {
        ASSERT_GT(sound->played.size(), i);
        EXPECT_EQ(sound->played[i].clip, clip);
        EXPECT_EQ(sound->played[i].repeats, 1u);
    }
    // One frame's drawing and contact pass with the eye at p moving at v.
    void Pass(CObject* root, const CVec3& p, const CVec3& v) {
        camera.position = p;
        camera.velocity = v;
        root->RenderTree(&camera);
        root->PrepareTree();
    }

    void ExpectVelocity(float x, float y, float z) {
        EXPECT_FLOAT_EQ(camera.velocity.x, x);
        EXPECT_FLOAT_EQ(camera.velocity.y, y);
        EXPECT_FLOAT_EQ(camera.velocity.z, z);
    }
    void ExpectStatsUntouched() {
        EXPECT_EQ(overlay.energyBonus, 0);
        EXPECT_EQ(overlay.health, 5);
        EXPECT_FALSE(overlay.goalReached);
        EXPECT_TRUE(sound->played.empty());
    }
};

}  // namespace

TEST_F(Player, NewPlayerLoadsItsOwnEffectsAndHasNoBox) {
    CPlayer fresh;
    EXPECT_FLOAT_EQ(fresh.size, 5);
    EXPECT_EQ(fresh.camera, nullptr);
    EXPECT_EQ(fresh.overlay, nullptr);
    ASSERT_NE(fresh.sound, nullptr);
    EXPECT_TRUE(fresh.sound->initialized);
    ASSERT_EQ(fresh.sound->clips.size(), 2u);
    EXPECT_EQ(fresh.sound->clips[0], fresh.ouchClip);
    EXPECT_EQ(fresh.sound->clips[1], fresh.eatClip);
    ASSERT_NE(fresh.ouchClip, nullptr);
    EXPECT_TRUE(fresh.ouchClip->IsLoaded());
    EXPECT_FALSE(fresh.ouchClip->IsSong());
    EXPECT_FALSE(fresh.ouchClip->positional);
    EXPECT_TRUE(fresh.eatClip->IsLoaded());
    EXPECT_FALSE(fresh.eatClip->positional);
    EXPECT_EQ(fresh.maxX, 0);
    EXPECT_EQ(fresh.minX, 0);
    EXPECT_FLOAT_EQ(fresh.position.x, 0);
    // Players from earlier and later builds each keep their own system.
    EXPECT_NE(fresh.sound, player->sound);
}

TEST_F(Player, FollowsTheCameraThreeUnitsBelowTheEye) {
    camera.position = CVec3(10, 8, 20);
    player->Render(nullptr);
    EXPECT_FLOAT_EQ(player->position.x, 10);
    EXPECT_FLOAT_EQ(player->position.y, 5);
    EXPECT_FLOAT_EQ(player->position.z, 20);

    // Without a camera it stays where it was and draws nothing.
    player->SetCamera(nullptr);
    camera.position = CVec3(1, 2, 3);
    gl.Clear(0, 0, 0);
    player->RenderTree(&camera);
    EXPECT_FLOAT_EQ(player->position.x, 10);
    PixelImage img = gl.ReadPixels();
    EXPECT_EQ(img.Count(0, 0, 800, 600, [](uint8_t r, uint8_t g, uint8_t b) { return r + g + b > 0; }), 0);
}

TEST_F(Player, WallsFenceAndNestTurnTheForwardSpeedBack) {
    CMazeWall wall(0);
    CBoundary fence(1);
    CNest nest;
    CObject* obstacles[3] = {&wall, &fence, &nest};
    for (CObject* o : obstacles) {
        Meet(o, CVec3(0, 0, 2));
        ExpectVelocity(0, 0, -2);
        Meet(o, CVec3(1, 3, -2));
        ExpectVelocity(0, 0, 2);
        EXPECT_FALSE(o->isDead);
    }
    ExpectStatsUntouched();
}

TEST_F(Player, OnlyTheExactTypesCount) {
    CHedge hedge;
    CBigReeses bigFood;
    CTerrain ground(32, 1.0f);
    CWater water;
    CMaze maze(nullptr);
    CObject plain;
    CObject* others[6] = {&hedge, &bigFood, &ground, &water, &maze, &plain};
    for (CObject* o : others) {
        Meet(o, CVec3(1, 0, 2));
        ExpectVelocity(1, 0, 2);
        EXPECT_FALSE(o->isDead);
    }
    ExpectStatsUntouched();
}

TEST_F(Player, FoodIsEatenOncePerMeetingWithSound) {
    CReeses food;
    Meet(&food, CVec3(1, 0, 3));
    EXPECT_TRUE(food.isDead);
    EXPECT_EQ(overlay.energyBonus, 20);
    ExpectVelocity(0, 0, 0);
    ASSERT_EQ(sound->played.size(), 1u);
    ExpectPlayed(0, player->eatClip);
    EXPECT_TRUE(sound->IsPlaying(player->eatClip));

    // Met again before the tree removes it: the whole row applies again.
    player->HandleContact(&food);
    EXPECT_EQ(overlay.energyBonus, 40);
    ASSERT_EQ(sound->played.size(), 2u);
    ExpectPlayed(1, player->eatClip);
    EXPECT_EQ(overlay.health, 5);
}

TEST_F(Player, CougarsHurtAndAreRemoved) {
    CCougarBox cougar(0, -20, 0);
    Meet(&cougar, CVec3(0, 0, 4));
    EXPECT_TRUE(cougar.isDead);
    EXPECT_EQ(overlay.health, 4);
    ExpectVelocity(0, 0, 0);
    ASSERT_EQ(sound->played.size(), 1u);
    ExpectPlayed(0, player->ouchClip);
    player->HandleContact(&cougar);
    EXPECT_EQ(overlay.health, 3);
    EXPECT_EQ(overlay.energyBonus, 0);
    EXPECT_EQ(sound->played.size(), 2u);
}

TEST_F(Player, ReachingTheWiseOldManStopsDeadSilently) {
    CSphere elder;
    Meet(&elder, CVec3(1, 2, 3));
    ExpectVelocity(0, 0, 0);
    EXPECT_TRUE(overlay.goalReached);
    EXPECT_FALSE(elder.isDead);
    EXPECT_TRUE(sound->played.empty());
    EXPECT_EQ(overlay.energyBonus, 0);
}

TEST_F(Player, ContactPassBouncesOffWallsAndEatsFood) {
    CTerrain* ground = new CTerrain(32, 1.0f);
    player->AttachTo(ground);
    CMazeWall* wall = new CMazeWall(0);
    wall->SetPosition(25, 0, 500);
    wall->AttachTo(ground);
    CReeses* food = new CReeses();
    food->SetPosition(100, 3, 100);
    food->AttachTo(ground);

    // Eye 8 up, right on the wall's line: the duckling at y 5 is inside its box.
    Pass(ground, CVec3(30, 8, 501), CVec3(0, 0, 2));
    ExpectVelocity(0, 0, -2);
    EXPECT_TRUE(sound->played.empty());

    // Away from the wall and onto the food: eaten, then gone after the update.
    Pass(ground, CVec3(101, 6, 99), CVec3(0, 0, 2));
    ExpectVelocity(0, 0, 0);
    EXPECT_EQ(overlay.energyBonus, 20);
    EXPECT_EQ(sound->played.size(), 1u);
    ground->UpdateTree(0.01f);
    // Only the player and the wall are left under the ground.
    ASSERT_EQ(ground->child, player);
    EXPECT_EQ(player->next, wall);
    EXPECT_EQ(wall->next, player);

    player->Detach();  // the fixture deletes the player
    delete ground;
}
