// Plays the real engine to the title, level one and level two and writes what each frame
// shows as a PNG, for the README and for anyone who wants to see the game before building it.
//   pondquest_screenshots <outdir> [--sequence]
// Frames run with a fixed 1/60 s step and keys go to the engine's key handler as a held key
// would, so the same build makes the same pictures (the maze follows the process's random
// sequence). --sequence also writes the introductions and the in-game menu; --fullscreen writes
// them all as the game shows them full screen, at the desktop's size.
// Needs an X display (xvfb-run -a -s "-screen 0 1024x768x24" on a headless machine).
// The PNGs are uncompressed; tools/programs/make_screenshots.sh shrinks them for docs/.
#include "app/CSimpEngine.h"
#include "app/Keys.h"
#include "scene/CViewCamera.h"
#include "world/CGameWorld.h"

#include <GL/gl.h>
#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "tools/PngFile.h"

namespace {

const int kWidth = 800;
const int kHeight = 600;
const float kDt = 1.0f / 60.0f;

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

class Shooter {
public:
    Shooter(CSimpEngine* e, const std::string& dir) : engine(e), outDir(dir), failures(0) {}

    // Passes of the main loop with a fixed step.
    void Frames(int n) {
        int code = 0;
        for (int i = 0; i < n; ++i) {
            engine->RunFrame(kDt);
            engine->UpdateCaption();
            engine->PumpMessages(&code);
        }
    }

    // A key held for one frame: delivered to the handler, then the frame runs.
    void Tap(int key) {
        engine->OnKeyDown(key);
        Frames(1);
    }

    // Turns the view as the mouse does (the engine's handler for relative motion).
    void Turn(int dx, int dy) { engine->OnMouseMotion(dx, dy); }

    void Shoot(const char* name) {
        glFinish();
        // The whole drawable: full screen, that is the desktop with the bars beside the picture.
        const int w = engine->width, h = engine->height;
        std::vector<unsigned char> bottomUp(static_cast<size_t>(w) * h * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        // The software renderer keeps the back buffer intact after the swap.
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
        std::vector<unsigned char> topDown(bottomUp.size());
        const size_t row = static_cast<size_t>(w) * 3;
        for (int y = 0; y < h; ++y)
            std::memcpy(&topDown[static_cast<size_t>(y) * row],
                        &bottomUp[static_cast<size_t>(h - 1 - y) * row], row);
        std::string path = outDir + "/" + name + ".png";
        if (png::Write(path, w, h, topDown)) {
            std::printf("%s\n", path.c_str());
        } else {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            ++failures;
        }
    }

    CSimpEngine* engine;
    std::string outDir;
    int failures;
};

}  // namespace

int main(int argc, char** argv) {
    bool sequence = argc == 3 && std::strcmp(argv[2], "--sequence") == 0;
    bool fullscreen = argc == 3 && std::strcmp(argv[2], "--fullscreen") == 0;
    if (argc < 2 || argc > 3 || (argc == 3 && !sequence && !fullscreen)) {
        std::fprintf(stderr, "usage: %s <outdir> [--sequence | --fullscreen]\n",
                     argc > 0 ? argv[0] : "pondquest_screenshots");
        return 2;
    }
    sequence = sequence || fullscreen;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string outDir = argv[1];
    if (mkdir(outDir.c_str(), 0755) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "cannot create %s: %s\n", outDir.c_str(), std::strerror(errno));
        return 1;
    }
    char resolved[4096];
    if (realpath(outDir.c_str(), resolved)) outDir = resolved;

    // The game reads its assets from the working directory: use the build's game folder.
    if (!FileExists("titlemenu.tga")) {
        if (char* base = SDL_GetBasePath()) {
            std::string game = std::string(base) + "../game";
            SDL_free(base);
            if (FileExists(game + "/titlemenu.tga") && chdir(game.c_str()) != 0) return 1;
        }
        if (!FileExists("titlemenu.tga")) {
            std::fprintf(stderr, "no titlemenu.tga here or in the build's game folder\n");
            return 1;
        }
    }

    if (!COGLWindow::RegisterWindowClass()) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 1;
    }
    CSimpEngine* engine = nullptr;
    try {
        engine = new CSimpEngine("OpenGL Game", fullscreen, kWidth, kHeight, 16);
    } catch (const char* text) {
        std::fprintf(stderr, "%s\n", text);
        return 1;
    }
    Shooter shot(engine, outDir);
    CGameWorld* world = engine->world;

    shot.Frames(2);
    shot.Shoot("title");

    // P held for two frames: the loading state, then level one built and introduced.
    shot.Tap(Keys::kP);
    shot.Tap(Keys::kP);
    if (sequence) shot.Shoot("level_one_intro");
    shot.Tap(Keys::kSpace);
    // Down the first corridor a little, then a look across the maze and the water.
    for (int i = 0; i < 6; ++i)
        shot.Tap(Keys::kW);
    shot.Frames(60);
    shot.Turn(44, 0);
    shot.Frames(1);
    shot.Shoot("level_one");
    if (sequence) {
        shot.Tap(Keys::kEnter);
        shot.Shoot("level_one_menu");
        shot.Tap(Keys::kEsc);
    }

    // F1 skips to level two; a few seconds in, the cougars have begun to circle.
    shot.Tap(Keys::kF1);
    shot.Tap(Keys::kF1);
    if (sequence) shot.Shoot("level_two_intro");
    shot.Tap(Keys::kSpace);
    shot.Turn(0, 3);
    shot.Frames(240);
    // Level two keeps the yaw level one left; face where a cougar comes close in this run.
    shot.Turn(static_cast<int>((272.0f - engine->camera->yaw) / engine->mouseSensitivity), 0);
    shot.Frames(7);
    shot.Shoot("level_two");

    int states = world->state;
    delete engine;
    SDL_Quit();
    if (states != LevelTwoPlay)
        std::fprintf(stderr, "note: the last picture shows state %d, not play\n", states);
    return shot.failures == 0 ? 0 : 1;
}
