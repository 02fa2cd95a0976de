// In the background (no keyboard focus, or minimised) play stands still and owes nothing on
// return; the sound keys act once per press, with a note on screen and the settings saved.
#include "app/CSettingsFile.h"
#include "app/CSimpEngine.h"
#include "app/Keys.h"
#include "overlay/COverlay.h"
#include "scene/CRandom.h"
#include "sound/CSoundSystem.h"
#include "support/FrameDriver.h"
#include "support/TempDir.h"
#include "world/CGameWorld.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::unique_ptr<FrameDriver> GameInLevelOne() {
    CRandom::Reset();
    std::unique_ptr<FrameDriver> driver(new FrameDriver(200, 150));
    for (const char* key : {"P", "Space"}) {
        driver->Hold(key);
        for (int i = 0; i < 10 && driver->World()->state != LevelOnePlay; ++i)
            driver->Pass(1.0 / 60);
        driver->Release(key);
    }
    return driver;
}

// Presses a key by scan code: held over a few steps, then let go for one.
void Press(FrameDriver& driver, uint8_t scanCode) {
    driver.Hold(scanCode);
    driver.Steps(5);
    driver.Release(scanCode);
    driver.Steps(1);
}

}  // namespace

TEST(Background, FocusLossOrMinimiseFreezesPlayAndOwesNothingOnReturn) {
    std::unique_ptr<FrameDriver> driver = GameInLevelOne();
    ASSERT_EQ(driver->World()->state, LevelOnePlay);
    driver->Hold("W");  // walking, so the eye would move too
    driver->Pass(0.5);
    for (Uint8 leave : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED}) {
        SCOPED_TRACE(leave == SDL_WINDOWEVENT_MINIMIZED ? "minimised" : "focus lost");
        const std::string before = driver->engine->DescribeState();
        const int energy = driver->engine->overlay->energy;
        driver->SendWindowEvent(leave);
        int steps = 0;
        for (int i = 0; i < 8; ++i)
            steps += driver->Pass(1.0);
        EXPECT_EQ(steps, 0);
        EXPECT_EQ(driver->engine->DescribeState(), before);

        driver->SendWindowEvent(leave == SDL_WINDOWEVENT_MINIMIZED ? SDL_WINDOWEVENT_RESTORED
                                                                   : SDL_WINDOWEVENT_FOCUS_GAINED);
        // The first pass back found the time away; none of it is stepped.
        EXPECT_EQ(driver->Pass(3.0), 0);
        EXPECT_EQ(driver->Pass(1.0 / 60), 1);
        EXPECT_EQ(driver->engine->overlay->energy, energy);
        for (int i = 0; i < 90; ++i)
            driver->Pass(1.0 / 60);
        EXPECT_LT(driver->engine->overlay->energy, energy) << "the level's clock does not go on";
    }
}

TEST(SoundKeys, EachPressStepsOnceShowsANoteAndSaves) {
    TempDir dir;
    CSettingsFile settings(dir.File("settings.ini"));
    CSoundSystem::SetMusicVolume(0.5f);
    CSoundSystem::SetMuted(false);
    std::unique_ptr<FrameDriver> driver = GameInLevelOne();
    driver->engine->UseSettings(&settings);
    COverlay* overlay = driver->engine->overlay;

    Press(*driver, Keys::kScanRightBracket);
    EXPECT_FLOAT_EQ(CSoundSystem::GetMusicVolume(), 0.6f);
    EXPECT_NE(overlay->note.find("60%"), std::string::npos) << overlay->note;
    for (int i = 0; i < 2; ++i)
        Press(*driver, Keys::kScanLeftBracket);
    EXPECT_FLOAT_EQ(CSoundSystem::GetMusicVolume(), 0.4f);
    Press(*driver, Keys::kScanM);
    EXPECT_TRUE(CSoundSystem::IsMuted());
    CSettingsFile saved(settings.path);
    std::string problem;
    ASSERT_TRUE(saved.Load(&problem)) << problem;
    EXPECT_FLOAT_EQ(saved.values.musicVolume, 0.4f);
    EXPECT_TRUE(saved.values.muted);

    // Keypad plus held for three steps: the note follows, the file waits for the release.
    driver->Hold("KP+");
    driver->Steps(3);
    EXPECT_NE(overlay->note.find("2.03"), std::string::npos) << overlay->note;
    driver->Release("KP+");
    driver->Steps(1);
    ASSERT_TRUE(saved.Load(&problem)) << problem;
    EXPECT_NEAR(saved.values.mouseSensitivity, 2.03f, 1e-4f);

    // The note is drawn over the level's lower left for a second, then gone.
    driver->Steps(61);
    EXPECT_LE(overlay->noteSeconds, 0.0f);
    overlay->noteSeconds = 1.0f;  // the same picture once more, with and without it
    driver->Draw();
    const PixelImage again = driver->Pixels();
    overlay->noteSeconds = 0.0f;
    driver->Draw();
    const PixelImage without = driver->Pixels();
    int lowerLeft = 0, elsewhere = 0;
    for (int y = 0; y < without.height; ++y)
        for (int x = 0; x < without.width; ++x) {
            const bool differs = std::memcmp(again.At(x, y), without.At(x, y), 3) != 0;
            (x < without.width / 2 && y > without.height / 2 ? lowerLeft : elsewhere) += differs;
        }
    EXPECT_GT(lowerLeft, 20);
    EXPECT_EQ(elsewhere, 0);
    CSoundSystem::SetMusicVolume(1.0f);  // process-wide: back to the defaults
    CSoundSystem::SetMuted(false);
}
