// The real program under the tests' X server, played as a person would: the full-screen
// question answered with the keyboard, keys and mouse motion sent as real X events (xdotool),
// and every screen on the way checked by statistics of the window's pixels.
//
// A held key acts in every frame the game runs, so each key is held only until the screen
// shows the state it leads to; every transition used here ignores the same key in the state
// it arrives at, so a key held a frame too long does no harm.
//
// Set PONDQUEST_E2E_SHOTS=<folder> to keep each checked screen as a PPM picture.
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool, Status) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The window's pixels, top row first, RGB.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    const unsigned char* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }

    // Pixels of [x0, x1) x [y0, y1) for which pred(r, g, b) holds.
    int Count(int x0, int y0, int x1, int y1, const std::function<bool(int, int, int)>& pred) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const unsigned char* p = At(x, y);
                if (pred(p[0], p[1], p[2])) ++n;
            }
        return n;
    }
    int CountAll(const std::function<bool(int, int, int)>& pred) const {
        return Count(0, 0, width, height, pred);
    }

    double MeanLuma(int x0, int y0, int x1, int y1) const {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const unsigned char* p = At(x, y);
                sum += 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
            }
        return sum / (static_cast<double>(x1 - x0) * (y1 - y0));
    }

    // The luma below which half the pixels lie: text covers too little of a screen to move it.
    int MedianLuma() const {
        int histogram[256] = {0};
        for (size_t i = 0; i + 2 < rgb.size(); i += 3)
            ++histogram[(299 * rgb[i] + 587 * rgb[i + 1] + 114 * rgb[i + 2]) / 1000];
        size_t below = 0;
        for (int v = 0; v < 256; ++v)
            if ((below += histogram[v]) * 2 >= rgb.size() / 3) return v;
        return 255;
    }

    bool WritePPM(const std::string& path) const {
        std::ofstream out(path, std::ios::binary);
        out << "P6\n" << width << " " << height << "\n255\n";
        out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
        return static_cast<bool>(out);
    }
};

bool Near(int v, int want, int tolerance) { return std::abs(v - want) <= tolerance; }

// Colours the game draws, as the window shows them.
bool SkyBright(int r, int g, int b) { return Near(r, 128, 4) && Near(g, 128, 4) && b >= 250; }
// The same sky under the 70 % black veil of the text screens.
bool SkyDimmed(int r, int g, int b) { return Near(r, 38, 5) && Near(g, 38, 5) && Near(b, 77, 5); }
bool Black(int r, int g, int b) { return r < 12 && g < 12 && b < 12; }
bool TitleRed(int r, int g, int b) { return r >= 200 && g <= 60 && b <= 60; }
bool HudRed(int r, int g, int b) { return r >= 170 && g <= 80 && b <= 80; }
bool HudBlue(int r, int g, int b) { return b >= 150 && r <= 110 && g <= 110 && b - r >= 90; }
bool TextWhite(int r, int g, int b) { return r >= 185 && g >= 185 && b >= 185; }
bool TextGreen(int r, int g, int b) { return g >= 170 && r <= 120 && b <= 120; }

// Fraction of the pixels in which two shots disagree on pred.
double MaskChange(const Shot& a, const Shot& b, bool (*pred)(int, int, int)) {
    if (a.width != b.width || a.height != b.height || a.width == 0) return 1.0;
    int changed = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const unsigned char* p = a.At(x, y);
            const unsigned char* q = b.At(x, y);
            if (pred(p[0], p[1], p[2]) != pred(q[0], q[1], q[2])) ++changed;
        }
    return static_cast<double>(changed) / (static_cast<double>(a.width) * a.height);
}

// The first row from the top in which most pixels are not black: level two's horizon.
int HorizonRow(const Shot& s) {
    for (int y = 0; y < s.height; ++y)
        if (s.Count(0, y, s.width, y + 1, [](int r, int g, int b) { return !Black(r, g, b); }) > s.width / 2)
            return y;
    return s.height;
}

// What one screen of the game looks like, in a few numbers (printed when a check fails).
struct Look {
    int skyBright, skyDimmed, black, titleRed, hudRed, hudBlue, white, green;
    double lowerLuma;  // the ground half of the view
    int medianLuma;
    int total;
};

Look Measure(const Shot& s) {
    Look l{};
    l.total = s.width * s.height;
    l.skyBright = s.CountAll(SkyBright);
    l.skyDimmed = s.CountAll(SkyDimmed);
    l.black = s.CountAll(Black);
    // "P = Play" and "ESC key = Exit" sit in the lower middle of the title.
    l.titleRed = s.Count(250, 380, 650, 560, TitleRed);
    // The head-up display runs along the top right.
    l.hudRed = s.Count(400, 0, s.width, 60, HudRed);
    l.hudBlue = s.Count(400, 0, s.width, 60, HudBlue);
    l.white = s.Count(0, 60, s.width, s.height, TextWhite);
    l.green = s.Count(0, 60, s.width, s.height, TextGreen);
    l.lowerLuma = s.MeanLuma(0, s.height / 2 + 40, s.width, s.height);
    l.medianLuma = s.MedianLuma();
    return l;
}

std::string Describe(const Look& l) {
    std::ostringstream o;
    o << "sky bright " << l.skyBright << ", sky dimmed " << l.skyDimmed << ", black " << l.black
      << ", title red " << l.titleRed << ", HUD red " << l.hudRed << ", HUD blue " << l.hudBlue
      << ", white text " << l.white << ", green text " << l.green << ", ground luma " << l.lowerLuma
      << ", median luma " << l.medianLuma << " (of " << l.total << " pixels)";
    return o.str();
}

// The screens, each recognised by what sets it apart from the screen before and after it.
bool IsTitle(const Shot& s) {
    Look l = Measure(s);
    // The picture fills the middle; the black clear colour shows left and right of it.
    int marginBlack = s.Count(0, 0, 80, s.height, Black) + s.Count(s.width - 80, 0, s.width, s.height, Black);
    int middleBlack = s.Count(150, 50, 650, 350, Black);
    return marginBlack > 0.95 * 160 * s.height && middleBlack < 0.2 * 500 * 300 && l.titleRed > 800;
}
bool IsLevelOneDimmed(const Shot& s) {
    Look l = Measure(s);
    return l.skyDimmed > 0.03 * l.total && l.skyBright == 0 && l.hudRed > 40 && l.white > 400 &&
           l.green > 150;
}
bool IsLevelOnePlay(const Shot& s) {
    Look l = Measure(s);
    return l.skyBright > 0.03 * l.total && l.skyDimmed < 0.001 * l.total && l.hudRed > 40 && l.green < 50000;
}
bool IsLevelTwoDimmed(const Shot& s) {
    Look l = Measure(s);
    return l.hudBlue > 40 && l.white > 400 && l.green > 150 && l.lowerLuma < 60 &&
           s.Count(0, 60, s.width, 200, Black) > 0.9 * s.width * 140;
}
bool IsLevelTwoPlay(const Shot& s) {
    Look l = Measure(s);
    return l.hudBlue > 40 && l.lowerLuma > 90 && l.skyBright == 0;
}

// Windows come and go while the tree is walked; an X error must not end the test.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

class X11Screen {
public:
    X11Screen() : display(XOpenDisplay(nullptr)) { XSetErrorHandler(IgnoreXError); }
    ~X11Screen() {
        if (display) XCloseDisplay(display);
    }
    X11Screen(const X11Screen&) = delete;
    X11Screen& operator=(const X11Screen&) = delete;

    // A window, at any depth below the root, whose name is exactly name; 0 if none.
    Window Find(const char* name) { return FindBelow(DefaultRootWindow(display), name); }

    bool Capture(Window window, Shot* shot) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
            return false;
        XImage* image =
            XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
        if (!image) return false;
        shot->width = image->width;
        shot->height = image->height;
        shot->rgb.resize(static_cast<size_t>(image->width) * image->height * 3);
        const int rs = Shift(image->red_mask), gs = Shift(image->green_mask), bs = Shift(image->blue_mask);
        unsigned char* out = shot->rgb.data();
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) {
                unsigned long p = XGetPixel(image, x, y);
                *out++ = static_cast<unsigned char>((p & image->red_mask) >> rs);
                *out++ = static_cast<unsigned char>((p & image->green_mask) >> gs);
                *out++ = static_cast<unsigned char>((p & image->blue_mask) >> bs);
            }
        XDestroyImage(image);
        return true;
    }

    Display* display;

private:
    static int Shift(unsigned long mask) {
        int s = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++s;
        }
        return s;
    }

    Window FindBelow(Window window, const char* name) {
        // Any encoding of the name will do: the names looked for are plain ASCII.
        XTextProperty text;
        if (XGetWMName(display, window, &text) && text.value) {
            bool match = text.format == 8 && text.nitems == std::strlen(name) &&
                         std::memcmp(text.value, name, text.nitems) == 0;
            XFree(text.value);
            if (match) return window;
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
        Window hit = 0;
        for (unsigned int i = 0; i < count && !hit; ++i)
            hit = FindBelow(children[i], name);
        if (children) XFree(children);
        return hit;
    }
};

// Real X input events through xdotool, which uses the XTEST extension.
bool Xdotool(const std::string& arguments) {
    std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

class GameJourney : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getenv("DISPLAY"), nullptr) << "no X display: run under xvfb-run";
        ASSERT_EQ(std::system("command -v xdotool >/dev/null 2>&1"), 0) << "xdotool is missing";
        ASSERT_NE(x.display, nullptr) << "cannot open the X display";
        const char* shots = getenv("PONDQUEST_E2E_SHOTS");
        if (shots) shotDir = shots;
        char logTemplate[] = "/tmp/pondquest_e2e_log_XXXXXX";
        int logFd = mkstemp(logTemplate);
        ASSERT_GE(logFd, 0);
        logPath = logTemplate;
        char suppTemplate[] = "/tmp/pondquest_e2e_lsan_XXXXXX";
        int suppFd = mkstemp(suppTemplate);
        ASSERT_GE(suppFd, 0);
        suppPath = suppTemplate;
        // For the sanitizer build: leaks inside the system's libraries are not the game's.
        const char* libraries[] = {"libGLX",  "libGL.so",      "libEGL",  "swrast_dri",    "libgallium",
                                   "libLLVM", "libX11",        "libxcb",  "libfontconfig", "libdbus",
                                   "libSDL2", "libfluidsynth", "libglib", "libasound",     "libpulse"};
        std::string supp;
        for (const char* library : libraries)
            supp += std::string("leak:") + library + "\n";
        ASSERT_EQ(write(suppFd, supp.data(), supp.size()), static_cast<ssize_t>(supp.size()));
        close(suppFd);

        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            dup2(logFd, 1);
            dup2(logFd, 2);
            setenv("SDL_AUDIODRIVER", "dummy", 0);
            setenv("LSAN_OPTIONS", ("suppressions=" + suppPath + ":print_suppressions=0").c_str(), 0);
#if defined(__SANITIZE_ADDRESS__)
            // Mesa unloads its software driver when the game closes its display; its leftovers
            // would then come from an unknown module that no suppression can name. Preloaded,
            // it stays mapped. (Slow unwinding instead deadlocks in the driver's code generator.)
            // The runtime's __tls_get_addr interceptor can crash LeakSanitizer's tracer at exit.
            const char* driver = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";
            if (access(driver, R_OK) == 0) {
                setenv("LD_PRELOAD", driver, 0);
                setenv("ASAN_OPTIONS", "verify_asan_link_order=0:intercept_tls_get_addr=0", 0);
            }
#endif
            execl("./pondquest", "pondquest", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(logFd);
    }

    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (HasFailure()) std::printf("--- game output\n%s\n", ReadLog().c_str());
        if (!logPath.empty()) unlink(logPath.c_str());
        if (!suppPath.empty()) unlink(suppPath.c_str());
    }

    std::string ReadLog() const {
        std::ifstream in(logPath);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    bool Running() {
        if (pid <= 0) return false;
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            exitStatus = status;
            pid = -1;
            return false;
        }
        return true;
    }

    // Polls until fn is true, the game ends, or the time runs out.
    bool PollUntil(double seconds, const std::function<bool()>& fn) {
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            if (fn()) return true;
            if (!Running()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        return fn();
    }

    bool WaitExit(double seconds) {
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Running()) {
            if (Clock::now() >= end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        return true;
    }

    Window WaitWindow(const char* name, double seconds) {
        Window found = 0;
        PollUntil(seconds, [&] { return (found = x.Find(name)) != 0; });
        return found;
    }

    // Polls the window until a shot satisfies screen; the shot is left in last.
    bool WaitScreen(const char* what, bool (*screen)(const Shot&), double seconds = 20) {
        bool seen = PollUntil(seconds, [&] { return x.Capture(game, &last) && screen(last); });
        Keep(what);
        if (!seen) ADD_FAILURE() << "never saw " << what << "; last screen: " << Describe(Measure(last));
        return seen;
    }

    // Holds key until the screen shows what it leads to, then lets it go.
    bool PressUntil(const char* key, const char* what, bool (*screen)(const Shot&), double seconds = 20) {
        Xdotool(std::string("keydown ") + key);
        bool seen = WaitScreen(what, screen, seconds);
        Xdotool(std::string("keyup ") + key);
        return seen;
    }

    void Keep(const char* what) {
        if (shotDir.empty() || last.width == 0) return;
        std::string name = what;
        std::replace(name.begin(), name.end(), ' ', '_');
        last.WritePPM(shotDir + "/" + std::to_string(++kept) + "_" + name + ".ppm");
    }

    // Shots until two in a row agree on where the sky is: the view has stopped turning.
    Shot SettledShot(bool (*mask)(int, int, int)) {
        Shot previous, current;
        x.Capture(game, &previous);
        PollUntil(5, [&] {
            if (!x.Capture(game, &current)) return false;
            bool still = MaskChange(previous, current, mask) < 0.002;
            previous = current;
            return still;
        });
        return current;
    }

    X11Screen x;
    pid_t pid = -1;
    int exitStatus = -1;
    Window game = 0;
    Shot last;
    std::string logPath, suppPath, shotDir;
    int kept = 0;
};

TEST_F(GameJourney, TitleThroughBothLevelsAndMenusBackToTitleThenEscQuits) {
    // The question comes first; Esc answers no: an 800 x 600 window.
    Window box = WaitWindow("Fullscreen?", 60);
    ASSERT_NE(box, 0u) << "the full-screen question did not appear";
    // The box may show before it takes keys: answer again while it stays up.
    bool answered = PollUntil(60, [&] {
        if ((game = x.Find("Pondquest!")) != 0) return true;
        if ((box = x.Find("Fullscreen?")) != 0) {
            Xdotool("windowfocus " + std::to_string(box));
            Xdotool("key Escape");
            PollUntil(1, [&] { return x.Find("Fullscreen?") == 0; });
        }
        return false;
    });
    ASSERT_TRUE(answered) << "no window captioned Pondquest!";
    Xdotool("windowfocus " + std::to_string(game));

    // The title: its picture between black margins and the two red lines under it.
    ASSERT_TRUE(WaitScreen("title", IsTitle, 60));
    EXPECT_EQ(last.width, 800);
    EXPECT_EQ(last.height, 600);
    Look title = Measure(last);
    EXPECT_LT(title.skyBright + title.skyDimmed, 0.001 * title.total) << Describe(title);

    // P held: the blank loading state, then level one built and its introduction over the
    // dimmed maze: the sky in its clear colour under the veil, the energy HUD and the text.
    ASSERT_TRUE(PressUntil("p", "level one introduction", IsLevelOneDimmed));
    Look intro = Measure(last);

    // Space: play. The same sky, no longer veiled; no text screen.
    ASSERT_TRUE(PressUntil("space", "level one play", IsLevelOnePlay));
    Look play = Measure(last);
    EXPECT_GT(play.medianLuma, 2 * intro.medianLuma) << Describe(intro) << "\n" << Describe(play);
    EXPECT_LT(play.white, intro.white / 4) << Describe(intro) << "\n" << Describe(play);

    // Standing still, the view holds; mouse motion to the right turns it.
    Shot before = SettledShot(SkyBright);
    Shot again;
    ASSERT_TRUE(x.Capture(game, &again));
    EXPECT_LT(MaskChange(before, again, SkyBright), 0.002) << "the view moved with no input";
    Xdotool("mousemove_relative -- 30 0");
    bool turned =
        PollUntil(10, [&] { return x.Capture(game, &last) && MaskChange(before, last, SkyBright) > 0.05; });
    Keep("level one turned");
    EXPECT_TRUE(turned) << "mouse motion did not turn the view; sky moved in "
                        << MaskChange(before, last, SkyBright) * 100 << " % of the pixels";

    // Enter: the in-game menu over the dimmed level; Esc: back to play.
    ASSERT_TRUE(PressUntil("Return", "level one menu", IsLevelOneDimmed));
    EXPECT_GT(Measure(last).green, 150);
    ASSERT_TRUE(PressUntil("Escape", "level one play again", IsLevelOnePlay));

    // F1 skips to level two: built on the same held key, its introduction over the dimmed
    // fire ground under a black sky, the health and time HUD in blue.
    ASSERT_TRUE(PressUntil("F1", "level two introduction", IsLevelTwoDimmed));
    Look intro2 = Measure(last);
    EXPECT_LT(intro2.skyBright + intro2.skyDimmed, 0.001 * intro2.total) << Describe(intro2);

    ASSERT_TRUE(PressUntil("space", "level two play", IsLevelTwoPlay));
    Look play2 = Measure(last);
    EXPECT_GT(play2.lowerLuma, 2.0 * intro2.lowerLuma) << Describe(intro2) << "\n" << Describe(play2);

    // Mouse motion downwards tips the view down: the horizon climbs the screen.
    int horizon = HorizonRow(last);
    EXPECT_GT(horizon, 150);
    EXPECT_LT(horizon, 450);
    Xdotool("mousemove_relative -- 0 8");
    int moved = horizon;
    bool tipped = PollUntil(10, [&] {
        if (!x.Capture(game, &last)) return false;
        moved = HorizonRow(last);
        return moved < horizon - 60;
    });
    Keep("level two tipped");
    EXPECT_TRUE(tipped) << "horizon at row " << horizon << " before, " << moved << " after";
    // The same motion upwards brings it back.
    Xdotool("mousemove_relative -- 0 -8");
    bool back = PollUntil(10, [&] {
        if (!x.Capture(game, &last)) return false;
        moved = HorizonRow(last);
        return std::abs(moved - horizon) <= 10;
    });
    EXPECT_TRUE(back) << "horizon at row " << horizon << " at first, " << moved << " after turning back";

    // Enter: the menu over the dimmed level; Q: back to the title, which looks as it did.
    ASSERT_TRUE(PressUntil("Return", "level two menu", IsLevelTwoDimmed));
    ASSERT_TRUE(PressUntil("q", "title again", IsTitle));
    Look title2 = Measure(last);
    EXPECT_NEAR(title2.titleRed, title.titleRed, title.titleRed / 10) << Describe(title2);

    // Esc on the title ends the program with status 0.
    Xdotool("keydown Escape");
    bool ended = WaitExit(30);
    Xdotool("keyup Escape");
    ASSERT_TRUE(ended) << "the game did not quit on Esc";
    ASSERT_TRUE(WIFEXITED(exitStatus)) << "the game ended by signal " << WTERMSIG(exitStatus);
    EXPECT_EQ(WEXITSTATUS(exitStatus), 0);
    std::string log = ReadLog();
    EXPECT_EQ(log.find("no answer to the full-screen question"), std::string::npos) << log;
}

}  // namespace
