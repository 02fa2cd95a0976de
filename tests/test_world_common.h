#ifndef PONDQUEST_TESTS_TEST_WORLD_COMMON_H
#define PONDQUEST_TESTS_TEST_WORLD_COMMON_H

// Shared by the world's state and level tests: the real engine driven frame by frame,
// with helpers to reach a state by key presses and to read what the HUD shows.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <typeinfo>
#include <vector>

#include "app/CSimpEngine.h"
#include "objects/CTerrain.h"
#include "objects/CTerrain2.h"
#include "overlay/COverlay.h"
#include "overlay/CTextFont.h"
#include "scene/CObject.h"
#include "scene/CRandom.h"
#include "scene/CViewCamera.h"
#include "sound/CSoundSystem.h"
#include "support/FrameDriver.h"
#include "support/NodeRing.h"
#include "world/CGameWorld.h"

namespace worldtest {

inline void ExpectAt(const CVec3& p, float x, float y, float z) {
    EXPECT_FLOAT_EQ(p.x, x);
    EXPECT_FLOAT_EQ(p.y, y);
    EXPECT_FLOAT_EQ(p.z, z);
}
inline void ExpectAt(const CObject* o, float x, float y, float z) { ExpectAt(o->position, x, y, z); }

// Colours of the two HUDs as they reach the frame buffer (drawn without blending).
const float kEnergyRed[4] = {1.0f, 0.0f, 0.0f, 1.0f};
const float kClockBlue[4] = {0.3f, 0.3f, 1.0f, 0.8f};

class WorldTest : public ::testing::Test {
protected:
    FrameDriver* driver = nullptr;
    CGameWorld* world = nullptr;
    CViewCamera* camera = nullptr;
    COverlay* overlay = nullptr;

    void SetUp() override {
        // Mazes and cougars follow from the generator; every test starts it where the program does.
        CRandom::Reset();
        driver = new FrameDriver();
        world = driver->World();
        camera = driver->Camera();
        overlay = world->overlay;
    }
    void TearDown() override { delete driver; }

    int Frames(int n, float dt = 1.0f / 60.0f) { return driver->Frames(n, dt); }

    // One frame with the key held, then released for the next frame.
    void Press(const char* key, float dt = 1.0f / 60.0f) {
        driver->Hold(key);
        driver->Frames(1, dt);
        driver->Release(key);
    }

    // The clip the world's sound system is sounding right now; null for silence.
    // More than one world clip at once is a fault of its own.
    CSoundClip* Music() {
        CSoundClip* clips[4] = {world->levelOneMusic, world->levelTwoMusic, world->menuMusic,
                                world->creditsMusic};
        CSoundClip* found = nullptr;
        int playing = 0;
        for (CSoundClip* c : clips)
            if (world->sound->IsPlaying(c)) {
                found = c;
                ++playing;
            }
        EXPECT_LE(playing, 1) << "two songs at once";
        return found;
    }

    // Each key pressed for one frame, in turn.
    void PressAll(std::initializer_list<const char*> keys) {
        for (const char* key : keys)
            Press(key);
    }

    // Q from a screen that allows it: the title, with its song started in the same frame.
    void QuitToTitle() {
        Press("Q");
        EXPECT_EQ(world->state, MainMenu);
        EXPECT_EQ(Music(), world->menuMusic);
    }

    // Puts the eye (and so, from the next drawn frame on, the duckling 3 below it) at a spot, at rest.
    void PlaceCamera(float x, float y, float z) {
        camera->SetPosition(x, y, z);
        camera->velocity = CVec3(0, 0, 0);
        camera->acceleration = CVec3(0, 0, 0);
    }

    // Title -> level-one introduction, then play.
    void ToLevelOneIntro() {
        Frames(1);
        Press("P");
        Press("P");
        ASSERT_EQ(world->state, LevelOneIntro);
    }
    void ToLevelOnePlay() {
        ToLevelOneIntro();
        Press("Space");
        ASSERT_EQ(world->state, LevelOnePlay);
    }
    // Level one skipped with F1, level two built and its introduction shown.
    void ToLevelTwoIntro() {
        ToLevelOnePlay();
        Press("F1");
        ASSERT_EQ(world->state, LevelTwoLoading);
        Press("Space");
        ASSERT_EQ(world->state, LevelTwoIntro);
    }
    void ToLevelTwoPlay() {
        ToLevelTwoIntro();
        Press("Space");
        ASSERT_EQ(world->state, LevelTwoPlay);
    }

    // Level one lost by letting the energy run out: two long frames of play.
    void LoseLevelOne() {
        ASSERT_EQ(world->state, LevelOnePlay);
        Frames(2, 25.0f);
        ASSERT_EQ(world->state, LevelOneLost);
    }
    // Level one won by standing on the Wise Old Man.
    void WinLevelOne() {
        ASSERT_EQ(world->state, LevelOnePlay);
        PlaceCamera(540, 5, 540);
        Frames(2);
        ASSERT_EQ(world->state, LevelOneWon);
    }
    // Level two won by sitting out the clock well away from the cougars.
    void WinLevelTwo() {
        ASSERT_EQ(world->state, LevelTwoPlay);
        PlaceCamera(1000, 5, 1000);
        for (int i = 0; i < 8 && world->state == LevelTwoPlay; ++i)
            Frames(1, 30.0f);
        ASSERT_EQ(world->state, LevelTwoWon);
    }

    // Objects of exact type T directly below parent, in order.
    template <class T>
    static std::vector<T*> ChildrenOf(CNode* parent) {
        std::vector<T*> out;
        for (CNode* n : RingChildren(parent))
            if (typeid(*n) == typeid(T)) out.push_back(static_cast<T*>(n));
        return out;
    }

    // Whether the last frame shows exactly `text` where the HUD prints at (x, y) in colour c:
    // the same line printed alone on black must light the same pixels, and nothing else in
    // colour c may sit beside it (a longer or different text would).
    ::testing::AssertionResult HudShows(float x, float y, const float c[4], const char* text) {
        PixelImage game = driver->Pixels();

        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        {
            CTextFont font("Arial", 16);
            font.SetColor(c[0], c[1], c[2], c[3]);
            font.SetPosition(x, y, -0.1f);
            font.Print("%s", text);
        }
        PixelImage ref = driver->Pixels();
        glPopMatrix();
        glPopAttrib();

        const int want[3] = {static_cast<int>(c[0] * 255 + 0.5f), static_cast<int>(c[1] * 255 + 0.5f),
                             static_cast<int>(c[2] * 255 + 0.5f)};
        auto isText = [&](const uint8_t* p) {
            for (int i = 0; i < 3; ++i)
                if (std::abs(p[i] - want[i]) > 2) return false;
            return true;
        };
        int x0 = ref.width, y0 = ref.height, x1 = -1, y1 = -1;
        for (int py = 0; py < ref.height; ++py)
            for (int px = 0; px < ref.width; ++px)
                if (isText(ref.At(px, py))) {
                    x0 = std::min(x0, px);
                    y0 = std::min(y0, py);
                    x1 = std::max(x1, px);
                    y1 = std::max(y1, py);
                }
        if (x1 < 0) return ::testing::AssertionFailure() << "reference text \"" << text << "\" drew nothing";
        // Room on the right for a longer text, a little on the other sides.
        x0 = std::max(0, x0 - 2);
        y0 = std::max(0, y0 - 3);
        x1 = std::min(ref.width - 1, x1 + 40);
        y1 = std::min(ref.height - 1, y1 + 3);
        // The glyphs' smoothed edges mix with whatever lies behind them, so only pixels the
        // reference leaves wholly dark count as ones the HUD must not light.
        auto isDark = [](const uint8_t* p) { return (p[0] | p[1] | p[2]) == 0; };
        int missing = 0, extra = 0;
        for (int py = y0; py <= y1; ++py)
            for (int px = x0; px <= x1; ++px) {
                bool g = isText(game.At(px, py));
                if (isText(ref.At(px, py)) && !g) ++missing;
                if (isDark(ref.At(px, py)) && g) ++extra;
            }
        if (missing == 0 && extra == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the HUD does not show \"" << text << "\": " << missing
                                             << " pixels missing, " << extra << " extra";
    }

    ::testing::AssertionResult EnergyHudShows(int energy) {
        std::string text = "Enegy Level: " + std::to_string(energy);
        return HudShows(0.3f, 0.5f, kEnergyRed, text.c_str());
    }
    ::testing::AssertionResult ClockShows(const char* text) { return HudShows(0.3f, 0.5f, kClockBlue, text); }
};

}  // namespace worldtest

#endif
