#ifndef PONDQUEST_TESTS_SCRIPTEDGAME_H
#define PONDQUEST_TESTS_SCRIPTEDGAME_H

#include <functional>
#include <string>

class FrameDriver;

// The whole game played by the scripted players, from the title: P, the maze pilot through
// level one, Space to level two, the cougar dodger through it, Space to the credits, and the
// roll to its end back on the title. How time passes is the caller's: advance runs one turn
// of the game (a classic frame, a pass of the loop, a step) and the players steer before
// each turn from what they see.
//
//   ScriptedGame game(driver, [&] { driver.Pass(1.0 / 30); });
//   ASSERT_TRUE(game.PlayTo(ScriptedGame::LevelOneWon)) << game.failure;
class ScriptedGame {
public:
    enum Stage { LevelOneWon, LevelTwoWon, BackOnTheTitle };

    ScriptedGame(FrameDriver& driver, std::function<void()> advance);

    // Plays on from the title until the stage is reached; false, with the reason in failure,
    // when the game goes another way.
    bool PlayTo(Stage last);

    FrameDriver& driver;
    std::function<void()> advance;
    int turns;
    std::string failure;

private:
    bool HoldUntil(const char* key, int state);
    bool Fail(const std::string& why);
};

#endif
