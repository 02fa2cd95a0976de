// Lays the game's twelve pictures out on one PNG so a person can look at them:
//   pondquest_contact_sheet [picture folder] [output.png] [--tiled]
// With --tiled each picture is shown 2 x 2 times, which makes seams easy to spot.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "tools/PngFile.h"

namespace {

const char* const kPictures[] = {"sanddark.tga", "fire2.tga",     "water1.tga",   "plant25.tga",
                                 "cougar.tga",   "nest.tga",      "eggcrack.tga", "reeses.tga",
                                 "elder.tga",    "titlemenu.tga", "credits1.tga", "credits2.tga"};

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first
};

// Reads an uncompressed 24- or 32-bit TGA; returns false with a reason on anything else.
bool ReadTGA(const std::string& path, Image& img, std::string& why) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        why = "cannot open";
        return false;
    }
    uint8_t h[18];
    bool ok = std::fread(h, 1, 18, f) == 18;
    const int type = h[2], depth = h[16];
    const int w = h[12] | (h[13] << 8), ht = h[14] | (h[15] << 8);
    if (ok && (type != 2 || (depth != 24 && depth != 32) || w == 0 || ht == 0)) {
        why = "not an uncompressed 24/32-bit TGA";
        ok = false;
    }
    if (ok && h[0] != 0 && std::fseek(f, h[0], SEEK_CUR) != 0) ok = false;
    std::vector<uint8_t> raw;
    const int bpp = depth / 8;
    if (ok) {
        raw.resize(size_t(w) * ht * bpp);
        if (std::fread(raw.data(), 1, raw.size(), f) != raw.size()) {
            why = "truncated";
            ok = false;
        }
    } else if (why.empty()) {
        why = "truncated header";
    }
    std::fclose(f);
    if (!ok) return false;
    const bool topOrigin = (h[17] & 0x20) != 0;
    img.width = w;
    img.height = ht;
    img.rgb.resize(size_t(w) * ht * 3);
    for (int y = 0; y < ht; ++y) {
        const int srcRow = topOrigin ? y : ht - 1 - y;
        for (int x = 0; x < w; ++x) {
            const uint8_t* s = &raw[(size_t(srcRow) * w + x) * bpp];
            uint8_t* d = &img.rgb[(size_t(y) * w + x) * 3];
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = ".", output = "contact_sheet.png";
    bool tiled = false;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--tiled")
            tiled = true;
        else if (positional == 0)
            folder = arg, ++positional;
        else if (positional == 1)
            output = arg, ++positional;
        else {
            std::fprintf(stderr, "usage: %s [picture folder] [output.png] [--tiled]\n", argv[0]);
            return 2;
        }
    }
    const int cell = 256, gap = 12, columns = 4, rows = 3;
    Image sheet;
    sheet.width = columns * cell + (columns + 1) * gap;
    sheet.height = rows * cell + (rows + 1) * gap;
    sheet.rgb.assign(size_t(sheet.width) * sheet.height * 3, 40);
    int failures = 0;
    for (int i = 0; i < 12; ++i) {
        Image pic;
        std::string why;
        const std::string path = folder + "/" + kPictures[i];
        if (!ReadTGA(path, pic, why)) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), why.c_str());
            ++failures;
            continue;
        }
        // Fit the picture (or its 2 x 2 tiling) into the cell, keeping its shape.
        const int repeats = tiled ? 2 : 1;
        const int srcW = pic.width * repeats, srcH = pic.height * repeats;
        const double scale = double(cell) / (srcW > srcH ? srcW : srcH);
        const int outW = int(srcW * scale), outH = int(srcH * scale);
        const int ox = gap + (i % columns) * (cell + gap) + (cell - outW) / 2;
        const int oy = gap + (i / columns) * (cell + gap) + (cell - outH) / 2;
        for (int y = 0; y < outH; ++y) {
            for (int x = 0; x < outW; ++x) {
                const int sx = int(x / scale) % pic.width, sy = int(y / scale) % pic.height;
                const uint8_t* s = &pic.rgb[(size_t(sy) * pic.width + sx) * 3];
                uint8_t* d = &sheet.rgb[(size_t(oy + y) * sheet.width + ox + x) * 3];
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
    }
    if (!png::Write(output, sheet.width, sheet.height, sheet.rgb)) {
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("wrote %s (%d x %d)%s\n", output.c_str(), sheet.width, sheet.height,
                failures ? ", some pictures missing" : "");
    return failures ? 1 : 0;
}
