// Waits until an X window shows the game's title screen, read from the window's pixels:
// the title picture (its yellow name and duckling, no plain white square where a missing
// picture would be) and the red key lines printed over it.
//   e2e_title_check <window id> <seconds>
// Prints what it measured; exit status 0 once the title shows, 1 if it does not in time,
// 2 on bad arguments or no display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

struct Figures {
    int width = 0, height = 0, red = 0, yellow = 0, white = 0;
};

int Shift(unsigned long mask) {
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

bool Measure(Display* display, Window window, Figures* f) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) return false;
    *f = Figures();
    f->width = image->width;
    f->height = image->height;
    const int rs = Shift(image->red_mask), gs = Shift(image->green_mask), bs = Shift(image->blue_mask);
    // Regions as fractions of an 800 x 600 window: the key lines in the lower middle, the
    // picture's name and duckling above them.
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const int r = static_cast<int>((p & image->red_mask) >> rs);
            const int g = static_cast<int>((p & image->green_mask) >> gs);
            const int b = static_cast<int>((p & image->blue_mask) >> bs);
            const float u = static_cast<float>(x) / image->width, v = static_cast<float>(y) / image->height;
            const bool middle = u > 0.1875f && u < 0.8125f;
            if (middle && v > 0.63f && v < 0.93f && r >= 200 && g <= 60 && b <= 60) ++f->red;
            if (middle && v < 0.6f && r >= 220 && g >= 170 && b <= 110) ++f->yellow;
            if (middle && v < 0.6f && r >= 245 && g >= 245 && b >= 245) ++f->white;
        }
    XDestroyImage(image);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: e2e_title_check <window id> <seconds>\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const double seconds = std::atof(argv[2]);
    Display* display = XOpenDisplay(nullptr);
    if (!display || !window) {
        std::fprintf(stderr, "e2e_title_check: no display or no window\n");
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    Figures f;
    bool shown = false;
    do {
        if (Measure(display, window, &f)) {
            const int area = f.width * f.height;
            shown = f.red > area / 600 && f.yellow > area / 150 && f.white < area / 50;
        }
        if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    } while (!shown && Clock::now() < end);
    std::printf("window %dx%d: red key-line pixels %d, yellow name and duckling %d, plain white %d: %s\n",
                f.width, f.height, f.red, f.yellow, f.white, shown ? "title shown" : "NO TITLE");
    XCloseDisplay(display);
    return shown ? 0 : 1;
}
