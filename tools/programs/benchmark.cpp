// Prints how fast the game runs on this machine, each figure beside its floor measured in the
// same run (only ratios compare on a shared machine), each the median of repeated runs:
//   - the title, level-one and level-two play frames beside a least-work renderer of the same
//     views (each visible object's drawing kept once, opaque ones nearest first, see-through
//     ones and the text after), with a pixel check of the two pictures;
//   - the level-one introduction and in-game menu beside the title frame;
//   - the start to the first title frame beside a bare window's (window, context, first frame);
//   - the peak memory after twenty rebuilds of each level beside a bare textured context's;
//   - the contact pass and update at 20, 200 and 2000 cougars, in processor time;
//   - the time to build each level.
//   pondquest_benchmark [--repeats N]
// Needs an X display (xvfb-run -a -s "-screen 0 1024x768x24" for a headless machine).
// Swaps do not wait for the vertical blank (swap interval 0), so frames are timed, not the
// display; Xvfb has no vertical blank anyway. Sound goes to SDL's dummy driver unless
// SDL_AUDIODRIVER says otherwise; the songs are still synthesised and mixed.
#include "app/CSimpEngine.h"
#include "app/Keys.h"
#include "objects/CCougarBox.h"
#include "objects/CPlayer.h"
#include "objects/CTerrain.h"
#include "objects/CTerrain2.h"
#include "overlay/COverlay.h"
#include "scene/CFrustum.h"
#include "scene/CObject.h"
#include "scene/CRandom.h"
#include "scene/CViewCamera.h"
#include "world/CGameWorld.h"

#include <GL/gl.h>
#include <SDL.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
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

double NowSeconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// This thread's processor time: the time waiting for a core on a shared machine left out.
double ThreadCpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
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
// caption, the events. Returns the seconds per pass.
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

// ---- The least-work renderer ----

// One object's drawing as the game does it, with the matrix it is drawn under.
struct FloorPiece {
    std::function<void()> draw;
    GLfloat matrix[16];
    float distance;  // from the eye; the ground counts as farthest, as it hides nothing
};

// A view as the least work draws it: no tree walk, no culling test, no state the picture does
// not need; the opaque pieces nearest first, so what they hide is never shaded, then the
// see-through ones in the game's order, then the text over them. Kept from the game's tree as
// it stands, and valid until the next step (which may delete objects).
struct FloorView {
    std::vector<FloorPiece> opaque, seeThrough, text;
};

float EyeDistance(const GLfloat* m, const CVec3& p) {
    const float x = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
    const float y = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
    const float z = m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14];
    return std::sqrt(x * x + y * y + z * z);
}

// Draws a piece once, as the walk meets it, and keeps it with its matrix.
FloorPiece KeepPiece(float distance, std::function<void()> draw) {
    FloorPiece piece;
    glGetFloatv(GL_MODELVIEW_MATRIX, piece.matrix);
    piece.distance = distance;
    piece.draw = std::move(draw);
    piece.draw();
    return piece;
}

// The tree walked as the game's RenderTree walks it (a parent's drawing may move its
// children's origin), keeping what it draws.
void KeepTree(CObject* first, CViewCamera* camera, FloorView* floor) {
    CFrustum view;
    view.FromCurrentMatrices();
    for (CObject* node = first;;) {
        glPushMatrix();
        if (node->IsVisible(view)) {
            GLfloat m[16];
            glGetFloatv(GL_MODELVIEW_MATRIX, m);
            const CCougarBox* cougar = dynamic_cast<CCougarBox*>(node);
            const float distance = node->drawOrder == CObject::kUnderneath
                                       ? FLT_MAX
                                       : EyeDistance(m, cougar ? cougar->drawPosition : node->position);
            FloorPiece piece = KeepPiece(distance, [node, camera] { node->Render(camera); });
            (node->drawOrder == CObject::kSeeThrough ? floor->seeThrough : floor->opaque)
                .push_back(std::move(piece));
        }
        if (node->child) KeepTree(static_cast<CObject*>(node->child), camera, floor);
        glPopMatrix();
        if (!node->HasNextSibling()) break;
        node = static_cast<CObject*>(node->next);
    }
}

// The view the game shows now (the title or a play state), kept for the least-work renderer.
FloorView KeepView(CSimpEngine* engine) {
    FloorView floor;
    CGameWorld* world = engine->world;
    COverlay* overlay = engine->overlay;
    engine->ClearScreen();
    engine->camera->ApplyView();
    switch (world->shownState) {
    case MainMenu: floor.text.push_back(KeepPiece(0, [overlay] { overlay->DrawMainMenu(); })); break;
    case LevelOnePlay:
        KeepTree(world->levelOneTerrain, engine->camera, &floor);
        floor.text.push_back(KeepPiece(0, [overlay] { overlay->DrawEnergyHud(); }));
        break;
    case LevelTwoPlay:
        KeepTree(world->levelTwoTerrain, engine->camera, &floor);
        floor.text.push_back(KeepPiece(0, [overlay] { overlay->PrintHealthTimeHud(); }));
        break;
    default: break;
    }
    std::stable_sort(floor.opaque.begin(), floor.opaque.end(),
                     [](const FloorPiece& a, const FloorPiece& b) { return a.distance < b.distance; });
    return floor;
}

void DrawFloorFrame(const FloorView& floor, SDL_Window* window) {
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    for (const std::vector<FloorPiece>* pieces : {&floor.opaque, &floor.seeThrough, &floor.text})
        for (const FloorPiece& piece : *pieces) {
            glLoadMatrixf(piece.matrix);
            piece.draw();
        }
    SDL_GL_SwapWindow(window);
}

// Frames of the view as the game stands now.
double TimeFloorFrames(CSimpEngine* engine, int frames) {
    const FloorView floor = KeepView(engine);
    double start = NowSeconds();
    for (int i = 0; i < frames; ++i)
        DrawFloorFrame(floor, engine->hdc);
    glFinish();
    return (NowSeconds() - start) / frames;
}

// The picture just swapped (the software renderer keeps the back buffer intact).
std::vector<unsigned char> ReadFrame() {
    std::vector<unsigned char> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// The pixels in which the least-work renderer's picture of the game's current view differs
// from the game's own.
long CheckFloor(CSimpEngine* engine) {
    engine->DrawFrame();
    const std::vector<unsigned char> game = ReadFrame();
    const FloorView floor = KeepView(engine);
    DrawFloorFrame(floor, engine->hdc);
    const std::vector<unsigned char> least = ReadFrame();
    long differing = 0;
    for (size_t i = 0; i < game.size(); i += 4)
        if (std::memcmp(&game[i], &least[i], 4) != 0) ++differing;
    return differing;
}

// ---- Child processes: start-up and memory, each in a fresh process ----

// Prints the monotonic clock once the first title frame is drawn: the game's own start
// without the full-screen question, the only step of the real program left out.
int GameStartChild() {
    if (!COGLWindow::RegisterWindowClass()) return 1;
    CSimpEngine* engine = new CSimpEngine("OpenGL Game", false, kWidth, kHeight, 16);
    engine->RunPass(kDt);
    engine->UpdateCaption();
    glFinish();
    std::printf("%.9f\n", NowSeconds());
    std::fflush(stdout);
    delete engine;
    SDL_Quit();
    return 0;
}

// A bare window: window, context, one cleared frame.
int BareStartChild() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_Window* window = SDL_CreateWindow("floor", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) return 1;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    glFinish();
    std::printf("%.9f\n", NowSeconds());
    std::fflush(stdout);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}

// A bare textured context: one 256 x 256 picture drawn over the whole view. Prints VmHWM.
int BareMemoryChild() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_Window* window = SDL_CreateWindow("floor", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) return 1;
    std::vector<unsigned char> texels(256 * 256 * 3);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<unsigned char>(i * 7);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glEnable(GL_TEXTURE_2D);
    for (int frame = 0; frame < 3; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(-1, -1);
        glTexCoord2f(1, 0);
        glVertex2f(1, -1);
        glTexCoord2f(1, 1);
        glVertex2f(1, 1);
        glTexCoord2f(0, 1);
        glVertex2f(-1, 1);
        glEnd();
        SDL_GL_SwapWindow(window);
    }
    glFinish();
    std::printf("%ld\n", StatusKb("VmHWM"));
    std::fflush(stdout);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}

// The game from its start: the title for a second (its song sounding), then twenty rebuilds of
// each level, each followed by a frame. Prints VmHWM before and after the rebuilds, VmRSS after,
// and the milliseconds of each build.
int GameMemoryChild() {
    if (!COGLWindow::RegisterWindowClass()) return 1;
    CSimpEngine* engine = new CSimpEngine("OpenGL Game", false, kWidth, kHeight, 16);
    CGameWorld* world = engine->world;
    const double titleUntil = NowSeconds() + 1.0;
    while (NowSeconds() < titleUntil)
        TimeLoopPasses(engine, 1);
    const long before = StatusKb("VmHWM");
    const int builds = 20;
    std::vector<double> buildOne, buildTwo;
    for (int level = 0; level < 2; ++level)
        for (int i = 0; i < builds; ++i) {
            world->StopMusic();  // as every way into a loading state does
            world->state = level == 0 ? LevelOneLoading : LevelTwoLoading;
            double start = NowSeconds();
            engine->OnKeyDown(Keys::kSpace);
            glFinish();
            (level == 0 ? buildOne : buildTwo).push_back(NowSeconds() - start);
            world->state = level == 0 ? LevelOnePlay : LevelTwoPlay;
            TimeLoopPasses(engine, 1);
        }
    std::printf("%ld %ld %ld %.6f %.6f\n", before, StatusKb("VmHWM"), StatusKb("VmRSS"), Median(buildOne),
                Median(buildTwo));
    std::fflush(stdout);
    delete engine;
    SDL_Quit();
    return 0;
}

// Runs this program in a child mode; what it printed, with the seconds from just before the
// fork in *started. Empty on failure.
std::string RunChild(const char* mode, double* started) {
    int fds[2];
    if (pipe(fds) != 0) return "";
    *started = NowSeconds();
    pid_t pid = fork();
    if (pid < 0) return "";
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        execl("/proc/self/exe", "pondquest_benchmark", mode, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string text;
    char buf[256];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        text.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "";
    return text;
}

// Seconds from just before a child's start to its first frame; negative on failure.
double StartToFirstFrame(const char* mode) {
    double started = 0;
    std::string text = RunChild(mode, &started);
    return text.empty() ? -1 : std::atof(text.c_str()) - started;
}

// ---- The contact pass and update against the number of cougars ----

// Processor seconds per frame of level two's per-step tree work, with the player and n cougars
// spread as the game spreads them, medians of runs: the contact pass alone (in *contactOnly),
// then the contact pass followed by the update (returned). Runs this short are interrupted by
// other processes often enough to swamp wall time, hence processor time.
double ContactAndUpdate(CSimpEngine* engine, int cougars, int repeats, double* contactOnly) {
    CTerrain2* level = new CTerrain2(32, 1.0f);
    CPlayer* player = new CPlayer();
    player->AttachTo(level);
    player->SetCamera(engine->camera);
    player->SetOverlay(engine->overlay);
    engine->camera->SetPosition(0, 5, 0);
    // Out of every cougar's reach: a cougar meeting the duckling goes, and the count must hold
    // (over thousands of frames, most of twenty would go and leave a smaller tree to time).
    player->position = CVec3(0, 100, 0);
    for (int i = 0; i < cougars; ++i) {
        int z = 255 - (CRandom::Rand() % 510);
        int x = 255 - (CRandom::Rand() % 510);
        (new CCougarBox(static_cast<float>(x), -20, static_cast<float>(z)))->AttachTo(level);
    }
    const int frames = std::max(30, 60000 / cougars);
    std::vector<double> contact, both;
    for (int r = 0; r <= repeats; ++r) {
        double start = ThreadCpuSeconds();
        for (int i = 0; i < frames; ++i)
            level->PrepareTree();
        double middle = ThreadCpuSeconds();
        for (int i = 0; i < frames; ++i) {
            level->PrepareTree();
            level->UpdateTree(kDt);
        }
        if (r > 0) {  // the first run warms up
            contact.push_back((middle - start) / frames);
            both.push_back((ThreadCpuSeconds() - middle) / frames);
        }
    }
    delete level;
    *contactOnly = Median(contact);
    return Median(both);
}

// ---- Printing ----

void PrintTime(const char* what, double seconds, bool frame = false) {
    double m = seconds * 1000.0;
    std::printf("%-46s %9.3f ms", what, m);
    if (frame && m > 0) std::printf("  = %6.0f frames a second", 1000.0 / m);
    std::printf("\n");
}

void PrintRatio(const char* what, double ratio, const char* goal) {
    std::printf("%-46s %9.2f x", what, ratio);
    if (goal) std::printf("   (goal %s)", goal);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    int repeats = 9;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--game-start-child") == 0) {
            FindGameFolder();
            return GameStartChild();
        }
        if (std::strcmp(argv[i], "--bare-start-child") == 0) return BareStartChild();
        if (std::strcmp(argv[i], "--bare-memory-child") == 0) return BareMemoryChild();
        if (std::strcmp(argv[i], "--game-memory-child") == 0) {
            FindGameFolder();
            return GameMemoryChild();
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

    // Start-up and memory first, while this process has opened no window of its own; the
    // bare and the game's children alternate, so both meet the same load of the machine.
    std::vector<double> bareStart, gameStart;
    for (int i = 0; i < std::max(3, std::min(repeats, 9)); ++i) {
        double bare = StartToFirstFrame("--bare-start-child");
        double game = StartToFirstFrame("--game-start-child");
        if (bare < 0 || game < 0) {
            std::fprintf(stderr, "a start-up run failed (is there an X display?)\n");
            return 1;
        }
        bareStart.push_back(bare);
        gameStart.push_back(game);
    }
    double started = 0;
    const long bareMemory = std::atol(RunChild("--bare-memory-child", &started).c_str());
    long memoryBefore = 0, memoryAfter = 0, residentAfter = 0;
    double buildOne = 0, buildTwo = 0;
    const std::string memory = RunChild("--game-memory-child", &started);
    if (bareMemory <= 0 || std::sscanf(memory.c_str(), "%ld %ld %ld %lf %lf", &memoryBefore, &memoryAfter,
                                       &residentAfter, &buildOne, &buildTwo) != 5) {
        std::fprintf(stderr, "a memory run failed\n");
        return 1;
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
    std::printf("frames at %dx%d, %d loop passes a run (step, frame, caption, events), %d runs; medians\n\n",
                kWidth, kHeight, kBatch, repeats);

    // The per-step tree work against the number of cougars, first, on a heap not yet broken up
    // by level builds, so that runs compare alike.
    const int counts[3] = {20, 200, 2000};
    double contact[3], contactOnly[3];
    for (int i = 0; i < 3; ++i)
        contact[i] = ContactAndUpdate(engine, counts[i], repeats, &contactOnly[i]);

    std::vector<double> bare, title, titleFloor, intro, menu, one, oneFloor, two, twoFloor;
    long titleDiffering = -1, oneDiffering = -1, twoDiffering = -1;

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
    // turns, each run from its own view, so a busy moment of the machine falls on all alike;
    // the title's least-work floor in the same turns.
    TimeLoopPasses(engine, 5);  // the first frames start the music and warm the caches
    titleDiffering = CheckFloor(engine);
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
            if (screen.state == MainMenu) {
                TimeFloorFrames(engine, 2);
                titleFloor.push_back(TimeFloorFrames(engine, kBatch));
            }
        }
    if (!ok) std::fprintf(stderr, "the level-one text screens did not show (state %d)\n", world->state);

    // Level one, standing at its start, in turns with its least-work floor.
    world->state = LevelOneMenu;
    *engine->camera = menuView;
    glClearColor(levelClear[0], levelClear[1], levelClear[2], levelClear[3]);
    engine->OnKeyDown(Keys::kEsc);
    world->elapsed = 0;
    ok = world->state == LevelOnePlay;
    TimeLoopPasses(engine, 5);
    oneDiffering = CheckFloor(engine);
    for (int r = 0; r < repeats && ok; ++r) {
        world->elapsed = 0;  // the energy would run out over the runs; standing still, nothing else ends play
        one.push_back(TimeLoopPasses(engine, kBatch));
        ok = world->state == LevelOnePlay;
        TimeFloorFrames(engine, 2);
        oneFloor.push_back(TimeFloorFrames(engine, kBatch));
    }
    if (!ok) std::fprintf(stderr, "level one left play during the runs (state %d)\n", world->state);

    // Level two: F1 skips there (the held key builds it in the next frame), Space plays.
    engine->OnKeyDown(Keys::kF1);
    engine->OnKeyDown(Keys::kF1);
    engine->OnKeyDown(Keys::kSpace);
    ok = world->state == LevelTwoPlay;
    TimeLoopPasses(engine, 5);
    twoDiffering = CheckFloor(engine);
    for (int r = 0; r < repeats && ok; ++r) {
        if (world->state != LevelTwoPlay) {  // cougars may end it: build it anew, untimed
            world->state = LevelTwoLoading;
            engine->OnKeyDown(Keys::kSpace);
            engine->OnKeyDown(Keys::kSpace);
            TimeLoopPasses(engine, 1);
        }
        ok = world->state == LevelTwoPlay;
        if (!ok) break;
        two.push_back(TimeLoopPasses(engine, kBatch));
        TimeFloorFrames(engine, 2);
        twoFloor.push_back(TimeFloorFrames(engine, kBatch));
    }
    if (!ok) std::fprintf(stderr, "level two could not be played (state %d)\n", world->state);

    auto check = [](long differing) {
        if (differing == 0) return std::string("pixel-equal to the game's frame");
        if (differing < 0) return std::string("not checked");
        return "NOT pixel-equal: " + std::to_string(differing) + " pixels differ";
    };
    PrintTime("bare frame (clear and swap)", Median(bare), true);
    PrintTime("title frame", Median(title), true);
    PrintTime("  least-work floor of the same view", Median(titleFloor), true);
    std::printf("  %s\n", check(titleDiffering).c_str());
    PrintRatio("  title / floor", Median(title) / Median(titleFloor), "<= 1.05");
    PrintTime("level-one play frame", Median(one), true);
    PrintTime("  least-work floor of the same view", Median(oneFloor), true);
    std::printf("  %s\n", check(oneDiffering).c_str());
    PrintRatio("  level one / floor", Median(one) / Median(oneFloor), "<= 1.10");
    PrintTime("level-two play frame", Median(two), true);
    PrintTime("  least-work floor of the same view", Median(twoFloor), true);
    std::printf("  %s\n", check(twoDiffering).c_str());
    PrintRatio("  level two / floor", Median(two) / Median(twoFloor), "<= 1.05");
    PrintTime("text-screen frame (level-one introduction)", Median(intro), true);
    PrintRatio("  text-screen frame / title frame", Median(intro) / Median(title), nullptr);
    PrintTime("in-game menu frame (level one)", Median(menu), true);
    PrintRatio("  in-game menu frame / title frame", Median(menu) / Median(title), nullptr);
    PrintTime("process start to first title frame", Median(gameStart));
    PrintTime("  bare window, context and first frame", Median(bareStart));
    PrintRatio("  start-up / bare", Median(gameStart) / Median(bareStart), "<= 1.3");
    std::printf("%-46s %9.1f MiB  (%.1f MiB before the rebuilds; then resident %.1f MiB)\n",
                "peak memory after 20 rebuilds of each level", memoryAfter / 1024.0, memoryBefore / 1024.0,
                residentAfter / 1024.0);
    std::printf("%-46s %9.1f MiB\n", "  bare textured context (one picture drawn)", bareMemory / 1024.0);
    std::printf("%-46s %+9.1f MiB   (goal <= +15)\n", "  peak - bare", (memoryAfter - bareMemory) / 1024.0);
    for (int i = 0; i < 3; ++i) {
        char what[64];
        std::snprintf(what, sizeof what, "contact pass, %d cougars (CPU)", counts[i]);
        std::printf("%-46s %9.2f us\n", what, contactOnly[i] * 1e6);
    }
    PrintRatio("  2000 cougars / 20", contactOnly[2] / contactOnly[0], "<= 150");
    for (int i = 0; i < 3; ++i) {
        char what[64];
        std::snprintf(what, sizeof what, "contact pass and update, %d cougars (CPU)", counts[i]);
        std::printf("%-46s %9.2f us\n", what, contact[i] * 1e6);
    }
    PrintRatio("  2000 cougars / 20", contact[2] / contact[0], nullptr);
    PrintTime("level-one build", buildOne);
    PrintTime("level-two build", buildTwo);

    delete engine;
    SDL_Quit();
    return 0;
}
