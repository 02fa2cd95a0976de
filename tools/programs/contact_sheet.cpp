// Lays the game's twelve pictures out on one PNG so a person can look at them:
//   pondquest_contact_sheet [picture folder] [output.png] [--tiled]
// With --tiled each picture is shown 2 x 2 times, which makes seams easy to spot.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kPictures[] = {"sanddark.tga", "fire2.tga",  "water1.tga",    "plant25.tga",
                                 "cougar.tga",   "nest.tga",   "eggcrack.tga",  "reeses.tga",
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

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    Put32(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc32(&out[start], out.size() - start));
}

// PNG with the image data in stored (uncompressed) deflate blocks: no zlib needed.
std::vector<uint8_t> EncodePNG(const Image& img) {
    std::vector<uint8_t> raw;
    raw.reserve(size_t(img.height) * (img.width * 3 + 1));
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0);  // filter: none
        const uint8_t* row = &img.rgb[size_t(y) * img.width * 3];
        raw.insert(raw.end(), row, row + size_t(img.width) * 3);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t len = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        const bool last = pos + len == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(len & 0xFF));
        z.push_back(uint8_t(len >> 8));
        z.push_back(uint8_t(~len & 0xFF));
        z.push_back(uint8_t((~len >> 8) & 0xFF));
        z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + len));
        pos += len;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, uint32_t(img.width));
    Put32(ihdr, uint32_t(img.height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = ".", output = "contact_sheet.png";
    bool tiled = false;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--tiled") tiled = true;
        else if (positional == 0) folder = arg, ++positional;
        else if (positional == 1) output = arg, ++positional;
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
    const std::vector<uint8_t> png = EncodePNG(sheet);
    FILE* f = std::fopen(output.c_str(), "wb");
    if (!f || std::fwrite(png.data(), 1, png.size(), f) != png.size()) {
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        if (f) std::fclose(f);
        return 1;
    }
    if (std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("wrote %s (%d x %d)%s\n", output.c_str(), sheet.width, sheet.height,
                failures ? ", some pictures missing" : "");
    return failures ? 1 : 0;
}
