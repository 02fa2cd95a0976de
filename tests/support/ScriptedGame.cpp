#include "support/ScriptedGame.h"

#include "app/CEngine.h"
#include "objects/CTerrain2.h"
#include "support/CougarDodger.h"
#include "support/FrameDriver.h"
#include "support/MazePilot.h"
#include "world/CGameWorld.h"

namespace {
const int kMaxTurns = 60 * 400;  // far beyond a whole game at any rate the tests use
}

ScriptedGame::ScriptedGame(FrameDriver& d, std::function<void()> a) : driver(d), advance(a), turns(0) {}

bool ScriptedGame::Fail(const std::string& why) {
    failure = why + " (state " + std::to_string(driver.World()->state) + " after " + std::to_string(turns) +
              " turns)";
    driver.ReleaseAll();
    driver.SetMouse(0, 0);
    return false;
}

// Holds key until the game reaches state, then lets go.
bool ScriptedGame::HoldUntil(const char* key, int state) {
    driver.Hold(key);
    for (int i = 0; i < 10 && driver.World()->state != state; ++i, ++turns)
        advance();
    driver.Release(key);
    return driver.World()->state == state ||
           Fail(std::string("holding ") + key + " did not reach the next screen");
}

bool ScriptedGame::PlayTo(Stage last) {
    CGameWorld* world = driver.World();
    advance();
    ++turns;
    if (world->state != MainMenu) return Fail("the game does not start on the title");
    if (!HoldUntil("P", LevelOneIntro) || !HoldUntil("Space", LevelOnePlay)) return false;

    MazePilot pilot(*world->maze, CEngine::kStepSeconds);
    if (!pilot.plan.feasible) return Fail("the pilot finds no route the energy allows");
    for (; world->state == LevelOnePlay && turns < kMaxTurns; ++turns) {
        pilot.Steer(driver);
        advance();
    }
    driver.ReleaseAll();
    driver.SetMouse(0, 0);
    if (world->state != ::LevelOneWon) return Fail("the pilot did not win level one");
    if (last == LevelOneWon) return true;

    if (!HoldUntil("Space", LevelTwoIntro) || !HoldUntil("Space", LevelTwoPlay)) return false;
    CougarDodger dodger;
    for (; world->state == LevelTwoPlay && turns < kMaxTurns; ++turns) {
        dodger.Steer(driver, world->levelTwoTerrain, CEngine::kStepSeconds);
        advance();
    }
    driver.ReleaseAll();
    driver.SetMouse(0, 0);
    if (world->state != ::LevelTwoWon) return Fail("the dodger did not survive level two");
    if (last == LevelTwoWon) return true;

    if (!HoldUntil("Space", Credits)) return false;
    for (; world->state == Credits && turns < kMaxTurns; ++turns)
        advance();
    if (world->state != MainMenu) return Fail("the credits did not roll back to the title");
    advance();  // the title's first turn: its camera and song
    ++turns;
    return true;
}
