// The state machine through the real engine: keys held and released frame by frame,
// the songs heard through the world's own sound system.

#include "test_world_common.h"

#include "overlay/CMainMenu.h"

namespace worldtest {
namespace {

class WorldStates : public WorldTest {
protected:
    // Enter opens the in-game menu and Esc closes it, both keeping the level's song; Enter
    // and Q then leave for the title.
    void MenuRoundTripThenQuit(GameState menu, GameState play, CSoundClip* song) {
        Press("Enter");
        EXPECT_EQ(world->state, menu);
        EXPECT_EQ(Music(), song) << "the menu keeps the level's song";
        Press("Esc");
        EXPECT_EQ(world->state, play);
        EXPECT_EQ(Music(), song);
        Press("Enter");
        QuitToTitle();
    }

    // From a lost screen, Space goes to the silent loading state and `key` builds the level
    // anew. The allocator may hand the new root the old one's address: the old root is marked
    // instead of compared.
    template <class Root>
    void ExpectRebuiltAfterLoss(Root* const& root, const char* key, GameState loading, GameState intro,
                                CSoundClip* song) {
        root->position.x = 1234;
        Press("Space");
        EXPECT_EQ(world->state, loading);
        EXPECT_EQ(Music(), nullptr);
        Press(key);
        EXPECT_EQ(world->state, intro);
        EXPECT_NE(root->position.x, 1234) << "a lost level is built anew";
        EXPECT_EQ(Music(), song);
    }

    // Level two lost in one frame by taking away the health.
    void LoseLevelTwo() {
        ASSERT_EQ(world->state, LevelTwoPlay);
        overlay->health = 0;
        Frames(1);
        ASSERT_EQ(world->state, LevelTwoLost);
    }

    // Credits reached from the level-two won screen: its loading state, then the roll.
    void WinLevelTwoThenSpace() {
        ToLevelTwoPlay();
        WinLevelTwo();
        Press("Space");
    }
};

TEST_F(WorldStates, TitleStartsItsSongOnceAndHoldsTheCameraStill) {
    EXPECT_EQ(world->state, MainMenu);
    EXPECT_EQ(Music(), nullptr) << "nothing plays before the first frame";
    camera->SetPosition(7, 8, 9);
    camera->yaw = 30;
    camera->pitch = 20;
    camera->velocity = CVec3(1, 2, 3);
    driver->SetMouse(40, -40);  // no mouse look on the title
    Frames(1);
    EXPECT_EQ(Music(), world->menuMusic);
    EXPECT_TRUE(world->menuMusicStarted);
    ExpectAt(camera->position, 0, 0, 0);
    EXPECT_FLOAT_EQ(camera->velocity.z, 0);
    EXPECT_FLOAT_EQ(camera->yaw, 0);
    EXPECT_FLOAT_EQ(camera->pitch, 0);
    Frames(30);
    EXPECT_EQ(Music(), world->menuMusic);
    EXPECT_FLOAT_EQ(camera->yaw, 0);
    // Keys other than P and Esc do nothing here.
    for (const char* key : {"F1", "Q", "Space", "Enter", "W", "S", "A", "D", "KP+", "KP-"}) {
        Press(key);
        EXPECT_EQ(world->state, MainMenu) << key;
    }
    EXPECT_FALSE(driver->quitArrived);
    EXPECT_EQ(Music(), world->menuMusic);
}

TEST_F(WorldStates, EscQuitsWithCodeZeroFromTheTitle) {
    Frames(2);
    driver->Hold("Esc");
    EXPECT_EQ(Frames(5), 1) << "the quit ends the run after the frame that posted it";
    EXPECT_TRUE(driver->quitArrived);
    EXPECT_EQ(driver->quitCode, 0);
}

TEST_F(WorldStates, EscQuitsFromNowhereElse) {
    ToLevelOneIntro();
    Press("Esc");
    EXPECT_EQ(world->state, LevelOneIntro);
    Press("Space");
    Press("Esc");
    EXPECT_EQ(world->state, LevelOnePlay) << "Esc in play does nothing";
    WinLevelOne();
    Press("Esc");
    EXPECT_EQ(world->state, LevelOneWon);
    Press("Space");
    Press("Esc");  // builds level two
    EXPECT_EQ(world->state, LevelTwoIntro);
    Press("Esc");
    EXPECT_EQ(world->state, LevelTwoIntro);
    Press("Space");
    Press("Esc");
    EXPECT_EQ(world->state, LevelTwoPlay);
    EXPECT_FALSE(driver->quitArrived);
}

TEST_F(WorldStates, PHeldGoesFromTheTitleThroughLoadingToTheIntroduction) {
    Frames(1);
    ASSERT_EQ(Music(), world->menuMusic);
    driver->Hold("P");
    Frames(1);
    EXPECT_EQ(world->state, LevelOneLoading);
    EXPECT_EQ(Music(), nullptr) << "leaving the title stops its song";
    EXPECT_EQ(world->levelOneTerrain, nullptr) << "nothing is built in the frame that leaves the title";
    Frames(1);
    EXPECT_EQ(world->state, LevelOneIntro);
    EXPECT_NE(world->levelOneTerrain, nullptr);
    EXPECT_EQ(Music(), world->levelOneMusic);
    CObject* built = world->levelOneTerrain;
    Frames(10);
    EXPECT_EQ(world->state, LevelOneIntro) << "the introduction stays until Space";
    EXPECT_EQ(world->levelOneTerrain, built) << "a held P builds once";
}

TEST_F(WorldStates, PPressedOnceLeavesABlankLoadingScreenUntilAnyKey) {
    Frames(1);
    Press("P");
    Frames(5);
    EXPECT_EQ(world->state, LevelOneLoading);
    PixelImage blank = driver->Pixels();
    EXPECT_EQ(blank.Count(0, 0, blank.width, blank.height,
                          [](uint8_t r, uint8_t g, uint8_t b) { return r > 8 || g > 8 || b > 8; }),
              0)
        << "the loading state draws nothing over the title's black";
    Press("D");  // not used anywhere, but any mapped key builds
    EXPECT_EQ(world->state, LevelOneIntro);
    EXPECT_EQ(Music(), world->levelOneMusic);
}

TEST_F(WorldStates, LevelOneMenuAndLostScreenTransitions) {
    ToLevelOnePlay();
    MenuRoundTripThenQuit(LevelOneMenu, LevelOnePlay, world->levelOneMusic);

    PressAll({"P", "P", "Space"});
    LoseLevelOne();
    EXPECT_EQ(Music(), world->levelOneMusic);
    ExpectRebuiltAfterLoss(world->levelOneTerrain, "Enter", LevelOneLoading, LevelOneIntro,
                           world->levelOneMusic);

    Press("Space");
    LoseLevelOne();
    QuitToTitle();
}

TEST_F(WorldStates, LevelOneWonScreenQuitsToTheTitle) {
    Frames(2);  // the title's black clear takes effect from its second frame
    const PixelImage title = driver->Pixels();
    ToLevelOnePlay();
    EXPECT_EQ(overlay->mainMenu->images[0].textureId, 0u) << "the title's picture is let go in play";
    WinLevelOne();
    EXPECT_EQ(Music(), world->levelOneMusic);
    QuitToTitle();
    Frames(2);
    EXPECT_TRUE(driver->Pixels().rgba == title.rgba) << "the title comes back as it was";
}

TEST_F(WorldStates, SpaceHeldOnTheWonScreenRunsIntoLevelTwoPlay) {
    ToLevelOnePlay();
    WinLevelOne();  // the frame that found the goal ends in state 5
    ASSERT_EQ(Music(), world->levelOneMusic);
    driver->Hold("Space");
    const int expected[] = {LevelTwoLoading, LevelTwoIntro, LevelTwoPlay, LevelTwoPlay};
    CSoundClip* const songs[] = {nullptr, world->levelTwoMusic, world->levelTwoMusic, world->levelTwoMusic};
    for (int i = 0; i < 4; ++i) {
        Frames(1);
        EXPECT_EQ(world->state, expected[i]) << "frame " << i;
        EXPECT_EQ(Music(), songs[i]) << "frame " << i;
    }
    EXPECT_NE(world->levelTwoTerrain, nullptr);
}

TEST_F(WorldStates, LevelTwoMenuLostAndWonTransitions) {
    ToLevelTwoIntro();
    EXPECT_EQ(Music(), world->levelTwoMusic);
    Press("Space");
    EXPECT_EQ(world->state, LevelTwoPlay);
    EXPECT_EQ(Music(), world->levelTwoMusic);
    MenuRoundTripThenQuit(LevelTwoMenu, LevelTwoPlay, world->levelTwoMusic);

    // Lost: health gone. Space builds level two anew.
    PressAll({"P", "P", "Space", "F1", "Space", "Space"});
    LoseLevelTwo();
    EXPECT_EQ(Music(), world->levelTwoMusic);
    ExpectRebuiltAfterLoss(world->levelTwoTerrain, "W", LevelTwoLoading, LevelTwoIntro, world->levelTwoMusic);
    EXPECT_EQ(overlay->GetHealth(), 5) << "a rebuilt level two starts with full health";
    Press("Space");
    LoseLevelTwo();
    QuitToTitle();

    // Won: the clock ran out. Q goes home.
    PressAll({"P", "P", "Space", "F1", "Space", "Space"});
    WinLevelTwo();
    EXPECT_EQ(Music(), world->levelTwoMusic);
    QuitToTitle();
}

TEST_F(WorldStates, CreditsFromLevelTwoWonAndQuitWithQ) {
    WinLevelTwoThenSpace();
    EXPECT_EQ(world->state, CreditsLoading);
    EXPECT_EQ(Music(), nullptr);
    Frames(3);
    EXPECT_EQ(world->state, CreditsLoading) << "the credits wait for a key";
    Press("A");
    EXPECT_EQ(world->state, Credits);
    EXPECT_EQ(Music(), world->creditsMusic);
    EXPECT_TRUE(camera->pitchLimitOff);
    EXPECT_FLOAT_EQ(camera->pitch, -90);
    EXPECT_FLOAT_EQ(camera->yaw, 0);
    EXPECT_FLOAT_EQ(camera->position.y, 5);
    driver->SetMouse(50, 50);  // no mouse look during the roll
    Frames(10);
    driver->SetMouse(0, 0);
    EXPECT_FLOAT_EQ(camera->pitch, -90);
    EXPECT_FLOAT_EQ(camera->yaw, 0);
    for (const char* key : {"Space", "Enter", "Esc", "P", "F1"}) {
        Press(key);
        EXPECT_EQ(world->state, Credits) << key;
    }
    QuitToTitle();
    EXPECT_FALSE(camera->pitchLimitOff);
}

TEST_F(WorldStates, CreditsEndByThemselvesAfterAboutSixtySixSeconds) {
    WinLevelTwoThenSpace();
    Press("Space");
    ASSERT_EQ(world->state, Credits);
    const float dt = 0.5f;
    float rolled = dt;  // the frame that started the roll moved the camera already
    float lastX = camera->position.x;
    while (world->state == Credits && rolled < 100) {
        Frames(1, dt);
        rolled += dt;
        if (world->state == Credits) {
            EXPECT_LT(camera->position.x, lastX) << "the camera backs away along -x";
            EXPECT_EQ(Music(), world->creditsMusic);
        }
        lastX = camera->position.x;
    }
    EXPECT_EQ(world->state, MainMenu);
    EXPECT_GE(rolled, 66.0f);
    EXPECT_LE(rolled, 67.5f);
    EXPECT_TRUE(camera->pitchLimitOff) << "only Q puts the pitch limit back";
    EXPECT_EQ(Music(), nullptr) << "the frame that leaves the roll stops its song";
    Frames(1);
    EXPECT_EQ(Music(), world->menuMusic);
    EXPECT_FLOAT_EQ(camera->position.x, 0);
}

TEST_F(WorldStates, F1SkipsToLevelTwoOnlyFromLevelOnePlay) {
    Frames(1);
    Press("F1");
    EXPECT_EQ(world->state, MainMenu);
    Press("P");
    Press("F1");  // any key builds here
    ASSERT_EQ(world->state, LevelOneIntro);
    Press("F1");
    EXPECT_EQ(world->state, LevelOneIntro);
    Press("Space");
    Press("Enter");
    Press("F1");
    EXPECT_EQ(world->state, LevelOneMenu);
    Press("Esc");
    ASSERT_EQ(world->state, LevelOnePlay);
    CObject* levelOne = world->levelOneTerrain;
    Press("F1");
    EXPECT_EQ(world->state, LevelTwoLoading);
    EXPECT_EQ(Music(), nullptr);
    EXPECT_EQ(world->levelOneTerrain, levelOne) << "level one stays while level two is played";
    Press("F1");
    EXPECT_EQ(world->state, LevelTwoIntro);
    Press("F1");
    EXPECT_EQ(world->state, LevelTwoIntro);
    Press("Space");
    Press("F1");
    EXPECT_EQ(world->state, LevelTwoPlay) << "F1 does nothing in level two";
    EXPECT_EQ(Music(), world->levelTwoMusic);
}

TEST_F(WorldStates, ScreensOverAFrozenLevelStopTheCameraOnAnyKey) {
    // Friction left over from earlier motion would move a stopped camera a little; start without it.
    auto moving = [&] {
        camera->velocity = CVec3(0, 0, 4);
        camera->acceleration = CVec3(0, 0, 0);
    };
    ToLevelOneIntro();
    moving();
    Press("A");
    EXPECT_EQ(world->state, LevelOneIntro);
    EXPECT_FLOAT_EQ(camera->velocity.z, 0) << "introduction";
    Press("Space");
    moving();
    Press("A");
    EXPECT_GT(camera->velocity.z, 3) << "play does not stop the camera";
    Press("Enter");
    moving();
    Press("D");
    EXPECT_FLOAT_EQ(camera->velocity.z, 0) << "in-game menu";
    Press("Esc");
    LoseLevelOne();
    moving();
    Press("A");
    EXPECT_FLOAT_EQ(camera->velocity.z, 0) << "lost screen";

    // Without a key the camera drifts on, slowed by its friction, over a frozen level.
    moving();
    Frames(1);
    EXPECT_GT(camera->velocity.z, 0);
    EXPECT_LT(camera->velocity.z, 4);
}

TEST_F(WorldStates, PlayKeysPushTheCameraAndTuneTheMouse) {
    ToLevelOnePlay();
    const float dt = 1.0f / 60.0f;
    // W adds 2 to the forward speed in every held frame; friction takes its share after.
    float before = camera->velocity.z;
    driver->Hold("W");
    Frames(1, dt);
    float afterOne = camera->velocity.z;
    EXPECT_NEAR(afterOne, (before + 2) * (1 - 3 * dt), 1e-4);
    Frames(1, dt);
    EXPECT_NEAR(camera->velocity.z, (afterOne + 2) * (1 - 3 * dt), 1e-4);
    driver->Release("W");
    PlaceCamera(3, 5, 3);
    driver->Hold("S");
    Frames(1, dt);
    driver->Release("S");
    EXPECT_NEAR(camera->velocity.z, -2 * (1 - 3 * dt), 1e-4);

    float& sensitivity = driver->engine->mouseSensitivity;
    EXPECT_FLOAT_EQ(sensitivity, 2.0f);
    Press("KP+");
    EXPECT_NEAR(sensitivity, 2.01f, 1e-5);
    driver->Hold("KP-");
    Frames(300);
    driver->Release("KP-");
    EXPECT_FLOAT_EQ(sensitivity, 0.05f) << "the sensitivity stops at 0.05";
    driver->Hold("KP+");
    Frames(10);
    driver->Release("KP+");
    EXPECT_NEAR(sensitivity, 0.15f, 1e-4);
    sensitivity = 50;
    Press("KP+");
    EXPECT_NEAR(sensitivity, 50.01f, 1e-3) << "no upper bound";

    // The same keys work in level two play, and turning follows the sensitivity.
    PressAll({"F1", "Space", "Space"});
    ASSERT_EQ(world->state, LevelTwoPlay);
    sensitivity = 1.0f;
    Press("KP-");
    EXPECT_NEAR(sensitivity, 0.99f, 1e-5);
    PlaceCamera(0, 5, 0);
    Press("W");
    EXPECT_GT(camera->velocity.z, 1.5f);
    float yaw = camera->yaw;
    driver->SetMouse(10, 0);
    Frames(1);
    driver->SetMouse(0, 0);
    EXPECT_NEAR(camera->yaw, yaw + 9.9f, 1e-3);
}

}  // namespace
}  // namespace worldtest
