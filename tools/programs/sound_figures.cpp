// Prints what the sound costs: resident memory added by each step of the game's sound
// set-up (the audio device, the world's four songs, the player's two effects, a song
// playing), the peak, how long the main thread waits for the world's sound set-up and when
// the title song is first heard; then the time from process start to the first title frame
// beside a bare window's floor (window, context, one cleared frame), each the median of runs.
//   pondquest_sound_figures [--repeats N]
// Needs an X display for the start-up rows (xvfb-run -a -s "-screen 0 1024x768x24").
// Sound goes to SDL's dummy driver, which runs at the pace of a real device.
#include "app/COGLWindow.h"
#include "app/CSimpEngine.h"
#include "sound/CSoundClip.h"
#include "sound/CSoundSystem.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

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

void FindGameFolder() {
    struct stat st;
    if (stat("Crawling.mid", &st) == 0) return;
    if (char* base = SDL_GetBasePath()) {
        std::string game = std::string(base) + "../game";
        SDL_free(base);
        if (stat((game + "/Crawling.mid").c_str(), &st) == 0 && chdir(game.c_str()) == 0) return;
    }
    std::fprintf(stderr, "warning: no Crawling.mid here or in the build's game folder\n");
}

// The moment the mix first carries sound, seen after every mixing pass.
std::atomic<double> firstSound{0.0};
void WatchMix(void*, Uint8* stream, int len) {
    if (firstSound.load() != 0.0) return;
    const Sint16* samples = reinterpret_cast<const Sint16*>(stream);
    for (int i = 0; i < len / 2; ++i)
        if (samples[i] != 0) {
            firstSound.store(NowSeconds());
            return;
        }
}

void Row(const char* what, long kb) { std::printf("  %-46s %+8.1f MiB\n", what, kb / 1024.0); }

int MemoryAndSetUp() {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SDL_Init(0);
    const long base = StatusKb("VmRSS");
    std::printf("sound memory, resident size added by each step (VmRSS %.1f MiB before)\n", base / 1024.0);

    // The world's set-up as the game makes it before the first title frame.
    double start = NowSeconds();
    CSoundSystem* world = new CSoundSystem();
    world->Initialize(nullptr);
    double initialized = NowSeconds();
    long afterDevice = StatusKb("VmRSS");
    CSoundClip* songs[4] = {world->Load("Crawling.mid", false),
                            world->Load("The_Kids_Arent_Alright.mid", false),
                            world->Load("DuelOfTheFates.mid", false), world->Load("rubberduckie.mid", false)};
    double loaded = NowSeconds();
    long afterSongs = StatusKb("VmRSS");
    Mix_SetPostMix(WatchMix, nullptr);
    double playing = NowSeconds();
    world->Play(songs[2], DMUS_SEG_REPEAT_INFINITE);
    double played = NowSeconds();
    // Wait (at most five seconds) until the title song is heard.
    while (firstSound.load() == 0.0 && NowSeconds() - playing < 5.0)
        SDL_Delay(1);
    const double heard = firstSound.load();
    SDL_Delay(1000);
    long afterPlaying = StatusKb("VmRSS");

    CSoundSystem* player = new CSoundSystem();
    player->Initialize(nullptr);
    player->Load("ouch.wav", false);
    player->Load("reeses.wav", false);
    long afterEffects = StatusKb("VmRSS");

    Row("audio device opened (world's Initialize)", afterDevice - base);
    Row("four songs loaded", afterSongs - afterDevice);
    Row("title song playing for a second", afterPlaying - afterSongs);
    Row("player's sound system and two effects", afterEffects - afterPlaying);
    Row("all of the sound", afterEffects - base);
    std::printf("  %-46s %8.1f MiB\n", "peak resident size of this process (VmHWM)",
                StatusKb("VmHWM") / 1024.0);

    std::printf("\nsound set-up on the main thread before the first title frame\n");
    std::printf("  %-46s %8.1f ms\n", "Initialize", (initialized - start) * 1000.0);
    std::printf("  %-46s %8.1f ms\n", "Load of the four songs", (loaded - initialized) * 1000.0);
    std::printf("  %-46s %8.1f ms\n", "Play of the title song", (played - playing) * 1000.0);
    if (heard > 0.0)
        std::printf("  %-46s %8.1f ms\n", "title song first heard, after its Play",
                    (heard - playing) * 1000.0);
    else
        std::printf("  %-46s %8s\n", "title song first heard, after its Play", "never");

    delete player;
    world->Shutdown();
    delete world;
    SDL_Quit();
    return 0;
}

// Child modes: print the monotonic clock once the first frame is on screen.
int FirstFrameChild(bool game) {
    double shown = 0.0;
    if (game) {
        if (!COGLWindow::RegisterWindowClass()) return 1;
        CSimpEngine* engine = new CSimpEngine("OpenGL Game", false, 800, 600, 16);
        engine->RunFrame(1.0f / 60.0f);
        engine->UpdateCaption();
        glFinish();
        shown = NowSeconds();
        std::printf("%.9f\n", shown);
        std::fflush(stdout);
        delete engine;
    } else {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
        SDL_Window* window = SDL_CreateWindow("floor", 0, 0, 800, 600, SDL_WINDOW_OPENGL);
        SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
        if (!context) return 1;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
        glFinish();
        shown = NowSeconds();
        std::printf("%.9f\n", shown);
        std::fflush(stdout);
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
    }
    SDL_Quit();
    return 0;
}

// Seconds from just before starting a child to its first frame; negative on failure.
double StartToFirstFrame(const char* mode) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    double start = NowSeconds();
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        execl("/proc/self/exe", "pondquest_sound_figures", mode, static_cast<char*>(nullptr));
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
    int repeats = 7;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--game-child") == 0 || std::strcmp(argv[i], "--floor-child") == 0) {
            FindGameFolder();
            return FirstFrameChild(argv[i][2] == 'g');
        }
        if (std::strcmp(argv[i], "--repeats") == 0 && i + 1 < argc) {
            repeats = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--repeats N]\n", argv[0]);
            return 2;
        }
    }
    if (repeats < 1 || repeats > 100) {
        std::fprintf(stderr, "--repeats takes 1 to 100\n");
        return 2;
    }
    FindGameFolder();

    // Start-up first, alternating the two kinds of child so both see the same machine load.
    std::vector<double> floor, game;
    for (int i = 0; i < repeats; ++i) {
        double f = StartToFirstFrame("--floor-child");
        double g = StartToFirstFrame("--game-child");
        if (f < 0 || g < 0) {
            std::fprintf(stderr, "a start-up run failed (is there an X display?)\n");
            return 1;
        }
        floor.push_back(f);
        game.push_back(g);
    }
    int result = MemoryAndSetUp();
    std::printf("\nprocess start to first frame, median of %d runs each\n", repeats);
    std::printf("  %-46s %8.1f ms\n", "bare window, context and first frame (floor)", Median(floor) * 1000.0);
    std::printf("  %-46s %8.1f ms  = %.2f x the floor\n", "the game's first title frame",
                Median(game) * 1000.0, Median(game) / Median(floor));
    return result;
}
