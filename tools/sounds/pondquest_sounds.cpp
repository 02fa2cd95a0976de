// Writes the game's songs and effects into the folder given on the command line.
#include "tools/sounds/Effects.h"
#include "tools/sounds/Songs.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "pondquest_sounds: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) std::fprintf(stderr, "pondquest_sounds: failed writing %s\n", path.c_str());
    return ok;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pondquest_sounds <output folder>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = WriteFile(dir + "DuelOfTheFates.mid", ComposeTitleSong());
    ok = WriteFile(dir + "Crawling.mid", ComposeLevelOneSong()) && ok;
    ok = WriteFile(dir + "The_Kids_Arent_Alright.mid", ComposeLevelTwoSong()) && ok;
    ok = WriteFile(dir + "rubberduckie.mid", ComposeCreditsSong()) && ok;
    ok = WriteFile(dir + "ouch.wav", SynthesizeOuch()) && ok;
    ok = WriteFile(dir + "reeses.wav", SynthesizeMunch()) && ok;
    return ok ? 0 : 1;
}
