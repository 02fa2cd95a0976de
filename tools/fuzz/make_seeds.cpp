// Writes a handful of tiny valid images (and near misses) as the fuzzer's seeds.
#include <cstdio>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

static void Put16(Bytes& b, unsigned v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
static void Put32(Bytes& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

static Bytes Tga(int type, int w, int h, int depth, int idLength) {
    Bytes b = {static_cast<unsigned char>(idLength), 0, static_cast<unsigned char>(type)};
    Put16(b, 0);
    Put16(b, 0);
    b.push_back(0);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, w);
    Put16(b, h);
    b.push_back(depth);
    b.push_back(0);
    for (int i = 0; i < idLength; ++i)
        b.push_back('i');
    for (int i = 0; i < w * h * depth / 8; ++i)
        b.push_back((i * 37) & 255);
    return b;
}

static Bytes Bmp(int w, int h, unsigned sizeImage) {
    int stride = (w * 3 + 3) & ~3;
    Bytes b = {'B', 'M'};
    Put32(b, 54 + stride * h);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h);
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);
    Put32(b, sizeImage);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int i = 0; i < stride * h; ++i)
        b.push_back((i * 53) & 255);
    return b;
}

static Bytes Pcx(int w, int h) {
    Bytes b = {10, 5, 1, 8};
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, w - 1);
    Put16(b, h - 1);
    b.resize(128, 0);
    b[65] = 1;
    b[66] = w & 255;
    b[67] = (w >> 8) & 255;
    for (int i = 0; i < w * h;) {
        int run = (i % 3 == 0) ? 5 : 1;
        if (run > w * h - i) run = w * h - i;
        unsigned char v = (i * 7) & 255;
        if (run > 1 || v >= 192) {
            b.push_back(192 | run);
            b.push_back(v);
        } else
            b.push_back(v);
        i += run;
    }
    b.push_back(12);
    for (int i = 0; i < 768; ++i)
        b.push_back((i * 11) & 255);
    return b;
}

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : ".";
    struct Seed {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        {"tga24_4x2", Tga(2, 4, 2, 24, 0)},
        {"tga32_3x3", Tga(2, 3, 3, 32, 0)},
        {"tga16_2x2", Tga(2, 2, 2, 16, 0)},
        {"tga8_grey_5x1", Tga(3, 5, 1, 8, 0)},
        {"tga24_id", Tga(2, 2, 2, 24, 3)},
        {"bmp_3x2", Bmp(3, 2, 0)},
        {"bmp_4x4", Bmp(4, 4, 48)},
        {"bmp_5x1_small_size", Bmp(5, 1, 3)},
        {"pcx_5x3", Pcx(5, 3)},
        {"pcx_8x8", Pcx(8, 8)},
    };
    for (const Seed& s : seeds) {
        std::string path = dir + "/" + s.name;
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(s.bytes.data(), 1, s.bytes.size(), f) != s.bytes.size()) {
            std::perror(path.c_str());
            return 1;
        }
        std::fclose(f);
    }
    return 0;
}
