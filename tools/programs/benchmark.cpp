// Prints how fast the game runs on this machine, each figure the median of repeated runs:
// the bare frame (clear and swap), the title frame with the two text-screen frames beside it (the
// level-one introduction and the in-game menu, each also as a ratio to the title frame measured
// in the same run), a level-one and a level-two play frame,
// the time to build each level, the time from process start to the first title frame, and
// the peak memory after twenty rebuilds of each level.
//   pondquest_benchmark [--repeats N]
// Needs an X display (xvfb-run -a -s "-screen 0 1024x768x24" for a headless machine).
// Swaps do not wait for the vertical blank (swap interval 0), so frames are timed, not the
// display; Xvfb has no vertical blank anyway. Sound goes to SDL's dummy driver unless
// SDL_AUDIODRIVER says otherwise; the songs are still synthesised and mixed.
#include "app/CSimpEngine.h"
#include "app/Keys.h"
#include "scene/CViewCamera.h"
#include "world/CGameWorld.h"

#include <GL/gl.h>
#include <SDL.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const int kWidth = 800;
const int kHeight = 600;
const float kDt = 1.0f / 60.0f;
const int kBatch = 60;  // loop passes timed together in one run

// Virtual-key codes as the engine hands them to its key handler.

double NowSeconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

// A line of /proc/self/status in kB ("VmHWM", "VmRSS"); -1 if absent.
long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t len = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, len, field) == 0 && line.size() > len && line[len] == ':')
            return std::atol(line.c_str() + len + 1);
    return -1;
}

std::string CpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, 10, "model name") == 0) {
            size_t colon = line.find(':');
            if (colon != std::string::npos) return line.substr(colon + 2);
        }
    return "unknown";
}

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The game reads its assets from the working directory: use the build's game folder when
// started from elsewhere.
void FindGameFolder() {
    if (FileExists("titlemenu.tga")) return;
    if (char* base = SDL_GetBasePath()) {
        std::string game = std::string(base) + "../game";
        SDL_free(base);
        if (FileExists(game + "/titlemenu.tga") && chdir(game.c_str()) == 0) return;
    }
    std::fprintf(stderr, "warning: no titlemenu.tga here or in the build's game folder\n");
}

// Passes through the main loop as the game makes them: one step and its picture, the
// caption, the events.
// Returns the seconds per pass over frames passes.
double TimeLoopPasses(CSimpEngine* engine, int frames) {
    int code = 0;
    double start = NowSeconds();
    for (int i = 0; i < frames; ++i) {
        engine->RunPass(kDt);
        engine->UpdateCaption();
        if (engine->PumpMessages(&code)) break;
    }
    glFinish();
    return (NowSeconds() - start) / frames;
}

void PrintTime(const char* what, const std::vector<double>& seconds, bool frame = false) {
    double m = Median(seconds) * 1000.0;
    std::printf("%-44s %9.3f ms", what, m);
    if (frame && m > 0) std::printf("  = %6.0f frames a second", 1000.0 / m);
    std::printf("  [%zu runs]\n", seconds.size());
}

// The ratio of two medians measured in this run (the machine is shared: only ratios compare).
void PrintRatio(const char* what, const std::vector<double>& seconds, const std::vector<double>& floor) {
    const double f = Median(floor);
    if (seconds.empty() || f <= 0) return;
    std::printf("%-44s %9.2f x\n", what, Median(seconds) / f);
}

// Child mode: a main-like start of the game without the full-screen question, which is the
// only step of the real program left out. Prints the monotonic clock at the moment the first
// title frame has been drawn and swapped.
int FirstFrameChild() {
    if (!COGLWindow::RegisterWindowClass()) return 1;
    CSimpEngine* engine = new CSimpEngine("OpenGL Game", false, kWidth, kHeight, 16);
    engine->RunPass(kDt);
    engine->UpdateCaption();
    glFinish();
    double shown = NowSeconds();
    std::printf("%.9f\n", shown);
    std::fflush(stdout);
    delete engine;
    SDL_Quit();
    return 0;
}

// Starts this program in child mode; the seconds from just before the fork to its first
// title frame, or a negative value on failure.
double StartToFirstFrame() {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    double start = NowSeconds();
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        execl("/proc/self/exe", "pondquest_benchmark", "--first-frame-child", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string text;
    char buf[128];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        text.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) return -1;
    return std::atof(text.c_str()) - start;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    int repeats = 9;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--first-frame-child") == 0) {
            FindGameFolder();
            return FirstFrameChild();
        }
        if (std::strcmp(argv[i], "--repeats") == 0 && i + 1 < argc) {
            repeats = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--repeats N]\n", argv[0]);
            return 2;
        }
    }
    if (repeats < 1 || repeats > 1000) {
        std::fprintf(stderr, "--repeats takes 1 to 1000\n");
        return 2;
    }
    FindGameFolder();

    // The start-up time first, while this process has opened no window of its own.
    std::vector<double> startup;
    for (int i = 0; i < std::min(repeats, 5); ++i) {
        double s = StartToFirstFrame();
        if (s < 0) {
            std::fprintf(stderr, "the start-up run failed (is there an X display?)\n");
            return 1;
        }
        startup.push_back(s);
    }

    if (!COGLWindow::RegisterWindowClass()) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 1;
    }
    CSimpEngine* engine = nullptr;
    try {
        engine = new CSimpEngine("OpenGL Game", false, kWidth, kHeight, 16);
    } catch (const char* text) {
        std::fprintf(stderr, "%s\n", text);
        return 1;
    }
    CGameWorld* world = engine->world;
    int vsync = SDL_GL_SetSwapInterval(0);

    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    std::printf("machine: %ld cores, %s\n", cores, CpuModel().c_str());
    std::printf("OpenGL: %s, %s; video driver %s; swap interval 0 %s\n", renderer ? renderer : "?",
                version ? version : "?", SDL_GetCurrentVideoDriver(),
                vsync == 0 ? "set" : "not offered (no vertical blank to wait for)");
    std::printf("frames at %dx%d, %d loop passes a run (frame, caption, events); medians of the runs\n\n",
                kWidth, kHeight, kBatch);

    std::vector<double> bare, title, intro, menu, one, two, buildOne, buildTwo;

    // Bare frame: clear and swap, nothing drawn.
    for (int r = 0; r < repeats; ++r) {
        double start = NowSeconds();
        for (int i = 0; i < kBatch; ++i) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            SDL_GL_SwapWindow(engine->hdc);
        }
        glFinish();
        bare.push_back((NowSeconds() - start) / kBatch);
    }

    // The title, as the game starts, and level one's text screens as a player gets there: P
    // twice (the second builds) for the introduction over the dimmed level, then Space and
    // Enter for the in-game menu over the level as play left it. The three are then timed in
    // turns, each run from its own view, so a busy moment of the machine falls on all alike.
    TimeLoopPasses(engine, 5);  // the first frames start the music and warm the caches
    engine->OnKeyDown(Keys::kP);
    engine->OnKeyDown(Keys::kP);
    bool ok = world->state == LevelOneIntro;
    const CViewCamera introView = *engine->camera;
    float levelClear[4];  // the title clears to black; the level to its own colour
    glGetFloatv(GL_COLOR_CLEAR_VALUE, levelClear);
    engine->OnKeyDown(Keys::kSpace);
    TimeLoopPasses(engine, 5);
    engine->OnKeyDown(Keys::kEnter);
    ok = ok && world->state == LevelOneMenu;
    const CViewCamera menuView = *engine->camera;
    const struct {
        int state;
        const CViewCamera* view;
        std::vector<double>* runs;
    } screens[] = {
        {MainMenu, nullptr, &title}, {LevelOneIntro, &introView, &intro}, {LevelOneMenu, &menuView, &menu}};
    for (int r = 0; r < repeats && ok; ++r)
        for (const auto& screen : screens) {
            world->state = screen.state;
            if (screen.view) {
                *engine->camera = *screen.view;
                glClearColor(levelClear[0], levelClear[1], levelClear[2], levelClear[3]);
            }
            TimeLoopPasses(engine, 2);
            screen.runs->push_back(TimeLoopPasses(engine, kBatch));
        }
    if (!ok) std::fprintf(stderr, "the level-one text screens did not show (state %d)\n", world->state);
    world->state = LevelOneMenu;
    *engine->camera = menuView;
    glClearColor(levelClear[0], levelClear[1], levelClear[2], levelClear[3]);
    engine->OnKeyDown(Keys::kEsc);
    world->elapsed = 0;
    ok = world->state == LevelOnePlay;
    TimeLoopPasses(engine, 5);
    for (int r = 0; r < repeats && ok; ++r) {
        world->elapsed = 0;  // the energy would run out over the runs; standing still, nothing else ends play
        one.push_back(TimeLoopPasses(engine, kBatch));
        ok = world->state == LevelOnePlay;
    }
    if (!ok) std::fprintf(stderr, "level one left play during the runs (state %d)\n", world->state);

    // Level two: F1 skips there (the held key builds it in the next frame), Space plays.
    engine->OnKeyDown(Keys::kF1);
    engine->OnKeyDown(Keys::kF1);
    engine->OnKeyDown(Keys::kSpace);
    ok = world->state == LevelTwoPlay;
    TimeLoopPasses(engine, 5);
    for (int r = 0; r < repeats && ok; ++r) {
        if (world->state != LevelTwoPlay) {  // cougars may end it: build it anew, untimed
            world->state = LevelTwoLoading;
            engine->OnKeyDown(Keys::kSpace);
            engine->OnKeyDown(Keys::kSpace);
        }
        ok = world->state == LevelTwoPlay;
        if (ok) two.push_back(TimeLoopPasses(engine, kBatch));
    }
    if (!ok) std::fprintf(stderr, "level two could not be played (state %d)\n", world->state);

    // Builds, each through the key that triggers it in the loading state, 20 of each level.
    const long peakBefore = StatusKb("VmHWM");
    const int builds = 20;
    for (int i = 0; i < builds; ++i) {
        world->StopMusic();  // as every way into a loading state does
        world->state = LevelOneLoading;
        double start = NowSeconds();
        engine->OnKeyDown(Keys::kSpace);
        glFinish();
        buildOne.push_back(NowSeconds() - start);
    }
    for (int i = 0; i < builds; ++i) {
        world->StopMusic();  // as every way into a loading state does
        world->state = LevelTwoLoading;
        double start = NowSeconds();
        engine->OnKeyDown(Keys::kSpace);
        glFinish();
        buildTwo.push_back(NowSeconds() - start);
    }
    // One frame of each after the rebuilds, so the memory counted includes drawing them.
    world->state = LevelOnePlay;
    TimeLoopPasses(engine, 1);
    world->state = LevelTwoPlay;
    TimeLoopPasses(engine, 1);
    const long peakAfter = StatusKb("VmHWM");

    PrintTime("bare frame (clear and swap)", bare, true);
    PrintTime("title frame", title, true);
    PrintTime("text-screen frame (level-one introduction)", intro, true);
    PrintRatio("  text-screen frame / title frame", intro, title);
    PrintTime("in-game menu frame (level one)", menu, true);
    PrintRatio("  in-game menu frame / title frame", menu, title);
    PrintTime("level-one play frame", one, true);
    PrintTime("level-two play frame", two, true);
    PrintTime("level-one build", buildOne);
    PrintTime("level-two build", buildTwo);
    PrintTime("process start to first title frame", startup);
    std::printf("%-44s %9.1f MiB  (%.1f MiB before the rebuilds; now resident %.1f MiB)\n",
                "peak memory after 20 rebuilds of each level", peakAfter / 1024.0, peakBefore / 1024.0,
                StatusKb("VmRSS") / 1024.0);

    delete engine;
    SDL_Quit();
    return 0;
}
