// Records the shipped demo: the scripted players of the tests play the whole game from
// start-up (the maze pilot wins level one, the cougar dodger survives level two, the credits
// roll back to the title) and every step's input is written as a demo.
//   cmake --build build --target pondquest_record_demo
//   xvfb-run -a -s "-screen 0 1024x768x24" build/tools/pondquest_record_demo data/demos/whole_game.pqdemo
// The same build records the same bytes.
#include "app/CDemoRecorder.h"
#include "app/CSimpEngine.h"
#include "scene/CRandom.h"
#include "support/FrameDriver.h"
#include "support/ScriptedGame.h"
#include "support/TempDir.h"
#include "world/CGameWorld.h"

#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    // The path is taken before moving to the game's folder, where its assets are read.
    std::string out = argv[1];
    char here[4096];
    if (!out.empty() && out[0] != '/' && getcwd(here, sizeof here)) out = std::string(here) + "/" + out;
    CDemoRecorder recorder;
    std::string error;
    if (!recorder.Open(out, &error)) {
        std::fprintf(stderr, "%s: %s\n", out.c_str(), error.c_str());
        return 2;
    }
    WorkingDir game(GameDir());
    if (!game.entered) {
        std::fprintf(stderr, "cannot enter the game's folder %s\n", GameDir().c_str());
        return 1;
    }

    CRandom::Reset();  // as in a new process
    int status = 0;
    {
        FrameDriver driver;
        recorder.Begin(driver.engine->mouseSensitivity);
        driver.engine->demoRecorder = &recorder;
        ScriptedGame game(driver, [&] { driver.Steps(1); });
        if (!game.PlayTo(ScriptedGame::BackOnTheTitle)) {
            std::fprintf(stderr, "the scripted game went wrong: %s\n", game.failure.c_str());
            status = 1;
        }
        driver.engine->demoRecorder = nullptr;
        std::printf("%zu steps, final %s\n", recorder.demo.steps.size(),
                    driver.engine->DescribeState().c_str());
    }
    if (status != 0) return status;
    if (!recorder.Close(&error)) {
        std::fprintf(stderr, "%s: %s\n", out.c_str(), error.c_str());
        return 1;
    }
    std::printf("wrote %s\n", out.c_str());
    return 0;
}
