// Writes screenshots of the title screen, every text screen and both HUDs as PNG files,
// each over a plain background, so the texts can be read and checked by eye.
//   pondquest_screens <outdir>
// The pictures are read from the working directory, or from the game folder of the
// build this program belongs to when the working directory has none.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "overlay/COverlay.h"
#include "scene/CViewCamera.h"
#include "tools/PngFile.h"
#include "world/CCredits.h"

namespace {

const int kWidth = 800;
const int kHeight = 600;

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Absolute(const std::string& path) {
    char buf[PATH_MAX];
    if (realpath(path.c_str(), buf)) return buf;
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <outdir>\n", argc > 0 ? argv[0] : "pondquest_screens");
        return 2;
    }
    std::string outDir = argv[1];
    if (mkdir(outDir.c_str(), 0755) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "cannot create %s: %s\n", outDir.c_str(), std::strerror(errno));
        return 1;
    }
    outDir = Absolute(outDir);

    if (!FileExists("titlemenu.tga")) {
        if (char* base = SDL_GetBasePath()) {
            std::string game = std::string(base) + "../game";
            SDL_free(base);
            if (FileExists(game + "/titlemenu.tga") && chdir(game.c_str()) == 0)
                std::printf("reading pictures from %s\n", Absolute(".").c_str());
        }
        if (!FileExists("titlemenu.tga"))
            std::fprintf(stderr, "warning: no titlemenu.tga here; the pictures will show blank\n");
    }

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_Window* window =
        SDL_CreateWindow("Pondquest screens", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kWidth,
                         kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "OpenGL window: %s\n", SDL_GetError());
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
        return 1;
    }

    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(54.0, static_cast<double>(kWidth) / kHeight, 0.1f, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    int failures = 0;
    {
        COverlay overlay;
        CCredits credits;
        CViewCamera camera;
        overlay.SetEnergy(20);
        overlay.SetTimeLeft(90);

        auto shoot = [&](const char* name, float r, float g, float b, const std::function<void()>& draw) {
            glClearColor(r, g, b, 1.0f);
            glEnable(GL_DEPTH_TEST);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glLoadIdentity();
            glColor4f(1, 1, 1, 1);
            glEnable(GL_TEXTURE_2D);
            draw();
            glFinish();
            std::vector<unsigned char> bottomUp(static_cast<size_t>(kWidth) * kHeight * 3);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadBuffer(GL_BACK);
            glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
            std::vector<unsigned char> topDown(bottomUp.size());
            for (int y = 0; y < kHeight; ++y)
                std::memcpy(&topDown[static_cast<size_t>(y) * kWidth * 3],
                            &bottomUp[static_cast<size_t>(kHeight - 1 - y) * kWidth * 3], kWidth * 3);
            std::string path = outDir + "/" + name + ".png";
            if (png::Write(path, kWidth, kHeight, topDown)) {
                std::printf("%s\n", path.c_str());
            } else {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                ++failures;
            }
        };
        auto view = [&](float x, float y, float z, float yaw, float pitch) {
            camera.SetPosition(x, y, z);
            camera.velocity = CVec3(0, 0, 0);
            camera.yaw = yaw;
            camera.pitch = pitch;
            camera.pitchLimitOff = true;
            camera.Move(0.0f);
        };

        // The title as the game shows it: camera at the origin facing the picture.
        shoot("title", 0, 0, 0, [&] {
            view(0, 0, 0, 0, 0);
            overlay.DrawMainMenu();
        });
        const float bg[3] = {0.12f, 0.14f, 0.2f};
        shoot("level_one_intro", bg[0], bg[1], bg[2], [&] { overlay.DrawLevelOneIntro(); });
        shoot("level_one_won", bg[0], bg[1], bg[2], [&] { overlay.DrawLevelOneWon(); });
        shoot("level_two_intro", bg[0], bg[1], bg[2], [&] { overlay.DrawLevelTwoIntro(); });
        shoot("level_two_won", bg[0], bg[1], bg[2], [&] { overlay.DrawLevelTwoWon(); });
        shoot("lost", bg[0], bg[1], bg[2], [&] { overlay.DrawLost(); });
        shoot("in_game_menu", bg[0], bg[1], bg[2], [&] { overlay.DrawInGameMenu(); });
        shoot("hud_energy", bg[0], bg[1], bg[2], [&] { overlay.DrawEnergyHud(); });
        shoot("hud_health_time", bg[0], bg[1], bg[2], [&] { overlay.DrawHealthTimeHud(); });
        shoot("credits", 0, 0, 0, [&] {
            view(-4, 5, 0, 0, -90);
            credits.Draw();
        });
    }

    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return failures == 0 ? 0 : 1;
}
