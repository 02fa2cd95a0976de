// Paints the game's twelve pictures, and its icons, into the folder given on the command line.
//   pondquest_pictures <output folder> [--timings]
// --timings prints how long each picture took (the pictures themselves never
// depend on the clock).
#include <sys/stat.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "CFacePictures.h"
#include "CGroundPictures.h"
#include "CIconFiles.h"
#include "CPagePictures.h"
#include "CTextPainter.h"
#include "CTreatPictures.h"
#include "CWallPictures.h"

int main(int argc, char** argv) {
    const bool timings = argc == 3 && std::strcmp(argv[2], "--timings") == 0;
    if ((argc != 2 && !timings) || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: %s <output folder> [--timings]\n",
                     argc > 0 ? argv[0] : "pondquest_pictures");
        return 2;
    }
    const std::string dir = argv[1];
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "pondquest_pictures: output folder '%s' does not exist\n", dir.c_str());
        return 1;
    }
    CTextPainter text;
    if (!text.Open()) {
        std::fprintf(stderr, "pondquest_pictures: %s\n", text.error.c_str());
        return 1;
    }
    const struct {
        const char* name;
        std::function<CPicture()> paint;
    } pictures[] = {
        {"sanddark.tga", [] { return CGroundPictures::Sand(); }},
        {"fire2.tga", [] { return CGroundPictures::Fire(); }},
        {"water1.tga", [] { return CGroundPictures::Water(); }},
        {"plant25.tga", [] { return CWallPictures::Plants(); }},
        {"cougar.tga", [] { return CFacePictures::Cougar(); }},
        {"nest.tga", [] { return CWallPictures::Twigs(); }},
        {"eggcrack.tga", [] { return CTreatPictures::EggsInStraw(); }},
        {"reeses.tga", [] { return CTreatPictures::Sweet(); }},
        {"elder.tga", [] { return CFacePictures::Elder(); }},
        {"titlemenu.tga", [&] { return CPagePictures::Title(text); }},
        {"credits1.tga", [&] { return CPagePictures::Credits(text, 1); }},
        {"credits2.tga", [&] { return CPagePictures::Credits(text, 2); }},
    };
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    for (const auto& p : pictures) {
        const Clock::time_point begin = Clock::now();
        const std::string path = dir + "/" + p.name;
        if (!p.paint().SaveTGA(path)) {
            std::fprintf(stderr, "pondquest_pictures: could not write %s\n", path.c_str());
            std::remove(path.c_str());  // no half-written picture left behind
            return 1;
        }
        if (timings)
            std::printf("%-14s %7.1f ms\n", p.name,
                        std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
    }
    const Clock::time_point iconsBegin = Clock::now();
    std::string error;
    if (!CIconFiles::Write(dir, &error)) {
        std::fprintf(stderr, "pondquest_pictures: %s\n", error.c_str());
        return 1;
    }
    if (timings)
        std::printf("%-14s %7.1f ms\n", "icons",
                    std::chrono::duration<double, std::milli>(Clock::now() - iconsBegin).count());
    if (timings)
        std::printf("%-14s %7.1f ms\n", "all",
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    return 0;
}
