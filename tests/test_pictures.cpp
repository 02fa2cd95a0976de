// The generated pictures: file format, sizes, determinism, seamless tiling and
// whether each one carries the content it should.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "objects/CSphere.h"
#include "support/GLTestContext.h"
#include "support/TempDir.h"
#include "textures/CTextureImage.h"

namespace {

const char* const kNames[] = {"sanddark.tga", "fire2.tga",     "water1.tga",   "plant25.tga",
                              "cougar.tga",   "nest.tga",      "eggcrack.tga", "reeses.tga",
                              "elder.tga",    "titlemenu.tga", "credits1.tga", "credits2.tga"};

// The generator sits in the build folder, one level above the game folder.
std::string Tool() { return GameDir() + "/../pondquest_pictures"; }

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first, R G B
    bool ok = false;
    std::string problem;

    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    float Luma(int x, int y) const {
        const uint8_t* p = At(x, y);
        return (0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2]) / 255.0f;
    }
};

// Strict reader for what the generator promises: uncompressed 24-bit true colour,
// no ID or colour map, bottom-left origin, exact size.
Picture Load(const std::string& path) {
    Picture pic;
    std::vector<uint8_t> b = ReadFileBytes(path);
    if (b.size() < 18) {
        pic.problem = "missing or shorter than a header";
        return pic;
    }
    if (b[0] != 0 || b[1] != 0 || b[2] != 2 || b[16] != 24 || (b[17] & 0x30) != 0) {
        pic.problem = "not an uncompressed 24-bit bottom-up TGA";
        return pic;
    }
    pic.width = b[12] | (b[13] << 8);
    pic.height = b[14] | (b[15] << 8);
    if (b.size() != 18 + size_t(pic.width) * pic.height * 3) {
        pic.problem = "size does not match the header";
        return pic;
    }
    pic.rgb.resize(size_t(pic.width) * pic.height * 3);
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) {
            const uint8_t* s = &b[18 + (size_t(pic.height - 1 - y) * pic.width + x) * 3];
            uint8_t* d = &pic.rgb[(size_t(y) * pic.width + x) * 3];
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    pic.ok = true;
    return pic;
}

bool PowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

struct Mean {
    double r = 0, g = 0, b = 0, luma = 0, lumaDeviation = 0;
};

// Channel means and luma deviation over a rectangle given in fractions of the picture.
Mean Measure(const Picture& pic, float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1) {
    Mean m;
    const int x0 = int(u0 * pic.width), x1 = int(u1 * pic.width);
    const int y0 = int(v0 * pic.height), y1 = int(v1 * pic.height);
    double n = 0, sq = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = pic.At(x, y);
            m.r += p[0];
            m.g += p[1];
            m.b += p[2];
            const double l = pic.Luma(x, y);
            m.luma += l;
            sq += l * l;
            n += 1;
        }
    m.r /= n * 255;
    m.g /= n * 255;
    m.b /= n * 255;
    m.luma /= n;
    m.lumaDeviation = std::sqrt(std::fmax(0.0, sq / n - m.luma * m.luma));
    return m;
}

double PixelDifference(const uint8_t* a, const uint8_t* b) {
    return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) / 3.0;
}

// Mean difference across the wrap-around seam, and the mean and the largest
// mean difference between neighbouring interior lines (columns or rows).
struct SeamFigures {
    double seam = 0, interiorMean = 0, interiorMax = 0;
};

SeamFigures MeasureSeam(const Picture& pic, bool acrossColumns) {
    SeamFigures f;
    const int along = acrossColumns ? pic.height : pic.width;
    const int across = acrossColumns ? pic.width : pic.height;
    auto at = [&](int k, int i) { return acrossColumns ? pic.At(k, i) : pic.At(i, k); };
    auto lineDifference = [&](int k0, int k1) {
        double sum = 0;
        for (int i = 0; i < along; ++i)
            sum += PixelDifference(at(k0, i), at(k1, i));
        return sum / along;
    };
    f.seam = lineDifference(across - 1, 0);
    for (int k = 0; k + 1 < across; ++k) {
        const double d = lineDifference(k, k + 1);
        f.interiorMean += d;
        f.interiorMax = std::fmax(f.interiorMax, d);
    }
    f.interiorMean /= across - 1;
    return f;
}

int RunTool(const std::string& args) {
    const std::string command = "'" + Tool() + "' " + args + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(GeneratedPictures, EveryFileIsAValidPowerOfTwoTgaWithinItsLimit) {
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        Picture pic = Load(GameDir() + "/" + name);
        ASSERT_TRUE(pic.ok) << pic.problem;
        EXPECT_TRUE(PowerOfTwo(pic.width)) << pic.width;
        EXPECT_TRUE(PowerOfTwo(pic.height)) << pic.height;
        const std::string n = name;
        const int limit = n == "plant25.tga" ? 64 : n == "cougar.tga" ? 128 : 512;
        EXPECT_LE(pic.width, limit);
        EXPECT_LE(pic.height, limit);
        if (n == "plant25.tga") {
            EXPECT_EQ(pic.width, 64);
            EXPECT_EQ(pic.height, 64);
        }
        if (n == "titlemenu.tga" || n == "credits1.tga" || n == "credits2.tga") {
            EXPECT_EQ(pic.width, 512);
            EXPECT_EQ(pic.height, 512);
        }
    }
}

TEST(GeneratedPictures, SameBytesOnEveryRunAndNothingWrittenOnBadArguments) {
    TempDir a, b;
    ASSERT_FALSE(a.path.empty());
    ASSERT_FALSE(b.path.empty());
    ASSERT_EQ(RunTool("'" + a.path + "'"), 0);
    ASSERT_EQ(RunTool("'" + b.path + "'"), 0);
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> first = ReadFileBytes(a.path + "/" + name);
        ASSERT_FALSE(first.empty());
        EXPECT_TRUE(first == ReadFileBytes(b.path + "/" + name)) << "two runs differ";
        EXPECT_TRUE(first == ReadFileBytes(GameDir() + "/" + name)) << "differs from the build's copy";
    }
    // A missing folder or a missing argument is an error, not a crash or a silent success.
    EXPECT_NE(RunTool("'" + a.path + "/no/such/folder'"), 0);
    EXPECT_NE(RunTool(""), 0);
}

TEST(GeneratedPictures, TiledTexturesHaveNoSeam) {
    for (const char* name : {"sanddark.tga", "fire2.tga", "water1.tga", "plant25.tga", "nest.tga"}) {
        SCOPED_TRACE(name);
        Picture pic = Load(GameDir() + "/" + name);
        ASSERT_TRUE(pic.ok) << pic.problem;
        for (bool columns : {true, false}) {
            SeamFigures f = MeasureSeam(pic, columns);
            EXPECT_GT(f.interiorMean, 0.5) << "no detail to compare";
            // The wrap must look like any other pair of neighbouring lines.
            EXPECT_LE(f.seam, f.interiorMax * 1.05 + 0.5) << (columns ? "left/right" : "top/bottom");
            EXPECT_LT(f.seam, f.interiorMean * 2.0 + 1.0) << (columns ? "left/right" : "top/bottom");
        }
    }
    // The food ball's texture wraps round the sphere, so only its sides must meet.
    Picture sweet = Load(GameDir() + "/reeses.tga");
    ASSERT_TRUE(sweet.ok);
    SeamFigures f = MeasureSeam(sweet, true);
    EXPECT_LE(f.seam, f.interiorMax * 1.05 + 0.5);
    EXPECT_LT(f.seam, f.interiorMean * 2.0 + 1.0);
    // ...while its poles differ: the seam test can tell a seam when it sees one.
    EXPECT_GT(MeasureSeam(sweet, false).seam, MeasureSeam(sweet, false).interiorMax);
}

TEST(GeneratedPictures, EachPictureHasDetailAndItsOwnColours) {
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        Picture pic = Load(GameDir() + "/" + name);
        ASSERT_TRUE(pic.ok) << pic.problem;
        Mean m = Measure(pic);
        EXPECT_GT(m.lumaDeviation, 0.03) << "flat picture";
        EXPECT_GT(m.luma, 0.08) << "almost black";
    }
    // Colours that say what each picture is; a red/blue swap in the writer fails these.
    Mean sand = Measure(Load(GameDir() + "/sanddark.tga"));
    EXPECT_GT(sand.r, sand.g);
    EXPECT_GT(sand.g, sand.b + 0.08);
    Mean fire = Measure(Load(GameDir() + "/fire2.tga"));
    EXPECT_GT(fire.r, 0.7);
    EXPECT_LT(fire.b, 0.25);
    EXPECT_GT(fire.r, fire.g + 0.2);
    Mean water = Measure(Load(GameDir() + "/water1.tga"));
    EXPECT_GT(water.b, water.g + 0.1);
    EXPECT_GT(water.g, water.r);
    Mean plant = Measure(Load(GameDir() + "/plant25.tga"));
    EXPECT_GT(plant.g, plant.r + 0.1);
    EXPECT_GT(plant.g, plant.b + 0.1);
    Mean nest = Measure(Load(GameDir() + "/nest.tga"));
    EXPECT_GT(nest.r, nest.g);
    EXPECT_GT(nest.g, nest.b);
    Mean cougar = Measure(Load(GameDir() + "/cougar.tga"));
    EXPECT_GT(cougar.r, cougar.b + 0.2);
    Mean sweet = Measure(Load(GameDir() + "/reeses.tga"));
    EXPECT_GT(sweet.r, sweet.b + 0.2);
}

TEST(GeneratedPictures, ElderFaceLooksOutFromOneSide) {
    // The face is painted round one longitude; the opposite side is the back
    // of his head (white hair), so the two halves must differ clearly.
    Picture pic = Load(GameDir() + "/elder.tga");
    ASSERT_TRUE(pic.ok) << pic.problem;
    Mean face = Measure(pic, 0.45f, 0.35f, 0.63f, 0.55f);
    Mean back = Measure(pic, 0.0f, 0.35f, 0.1f, 0.55f);
    EXPECT_GT(face.r, face.b + 0.15) << "skin tones at the front";
    EXPECT_LT(std::fabs(back.r - back.b), 0.12) << "grey-white hair at the back";
    EXPECT_GT(face.lumaDeviation, back.lumaDeviation) << "eyes, nose and brows make the face busier";
}

TEST(GeneratedPictures, TitleHasItsNameAndADarkPlainAreaForTheKeyLines) {
    Picture pic = Load(GameDir() + "/titlemenu.tga");
    ASSERT_TRUE(pic.ok) << pic.problem;
    // The name is painted in bright yellow across the top third.
    int yellow = 0;
    for (int y = 0; y < pic.height / 3; ++y)
        for (int x = 0; x < pic.width; ++x) {
            const uint8_t* p = pic.At(x, y);
            if (p[0] > 220 && p[1] > 170 && p[2] < 90) ++yellow;
        }
    EXPECT_GT(yellow, 4000) << "title text pixels";
    // "P = Play" and "ESC key = Exit" are printed in red over the lower middle
    // (about 43..80% across, 68..86% down from the top as the title camera sees it).
    Mean keys = Measure(pic, 0.43f, 0.68f, 0.80f, 0.86f);
    EXPECT_LT(keys.luma, 0.12) << "dark enough for red text";
    EXPECT_LT(keys.r, 0.15);
    EXPECT_LT(keys.lumaDeviation, 0.04) << "plain";
}

TEST(GeneratedPictures, CreditsPagesCarryTextInTheMiddleBand) {
    for (const char* name : {"credits1.tga", "credits2.tga"}) {
        SCOPED_TRACE(name);
        Picture pic = Load(GameDir() + "/" + name);
        ASSERT_TRUE(pic.ok) << pic.problem;
        // Text is light on a dark page; count light pixels inside and outside
        // the band the credits camera sees in full.
        int inside = 0, outside = 0;
        for (int y = 0; y < pic.height; ++y)
            for (int x = 0; x < pic.width; ++x) {
                if (pic.Luma(x, y) < 0.6f) continue;
                const float u = (x + 0.5f) / pic.width;
                (u > 0.19f && u < 0.81f ? inside : outside)++;
            }
        EXPECT_GT(inside, 3000) << "text pixels";
        EXPECT_LT(outside, inside / 50) << "text spilling to the edges";
        // Rows of text alternate with empty rows: many rows have no light pixel at all.
        int emptyRows = 0;
        for (int y = 0; y < pic.height; ++y) {
            bool light = false;
            for (int x = 0; x < pic.width && !light; ++x)
                light = pic.Luma(x, y) >= 0.6f;
            emptyRows += light ? 0 : 1;
        }
        EXPECT_GT(emptyRows, pic.height / 4);
        EXPECT_LT(emptyRows, pic.height - pic.height / 8);
    }
}

// The game's own reader and texture upload show each picture the right way up
// and in the right colours: drawn 1:1 into the viewport, the screen matches the file.
TEST(GeneratedPictures, GameReaderShowsEachPictureUprightInItsColours) {
    GLTestContext gl(512, 512);
    WorkingDir inGame(GameDir());
    ASSERT_TRUE(inGame.entered);
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        Picture pic = Load(name);
        ASSERT_TRUE(pic.ok) << pic.problem;
        CTextureImage image;
        image.LoadFromFile(name);
        ASSERT_NE(image.pixels, nullptr) << "the game could not read it";
        EXPECT_EQ(image.width, pic.width);
        EXPECT_EQ(image.height, pic.height);
        EXPECT_EQ(image.bitsPerPixel, 24);
        image.CreateTexture();

        gl.Clear();
        glViewport(0, 0, pic.width, pic.height);
        gl.DrawTextureOverViewport(image.textureId);
        PixelImage shot = gl.ReadPixels();
        const int offsetY = shot.height - pic.height;  // the viewport sits at the bottom left
        int mismatches = 0, probes = 0;
        for (int y = 1; y < pic.height; y += 7)
            for (int x = 3; x < pic.width; x += 11) {
                const uint8_t* want = pic.At(x, y);
                const uint8_t* got = shot.At(x, offsetY + y);
                ++probes;
                if (std::abs(want[0] - got[0]) > 3 || std::abs(want[1] - got[1]) > 3 ||
                    std::abs(want[2] - got[2]) > 3)
                    ++mismatches;
            }
        EXPECT_EQ(mismatches, 0) << "of " << probes << " probes";
    }
    glViewport(0, 0, 512, 512);
}

namespace {

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

uint32_t Crc(const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

}  // namespace

// The contact sheet is a valid PNG (checked chunk by chunk, CRCs and Adler-32
// included) that holds the pictures themselves at the right places.
TEST(ContactSheet, WritesAValidPngHoldingThePictures) {
    const std::string tool = GameDir() + "/../tools/pondquest_contact_sheet";
    ASSERT_EQ(access(tool.c_str(), X_OK), 0) << "build the pondquest_contact_sheet target";
    TempDir dir;
    const std::string out = dir.path + "/sheet.png";
    const std::string command = "'" + tool + "' '" + GameDir() + "' '" + out + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<uint8_t> png = ReadFileBytes(out);
    std::remove(out.c_str());
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GT(png.size(), 8u);
    ASSERT_TRUE(std::equal(signature, signature + 8, png.begin()));

    uint32_t width = 0, height = 0;
    std::vector<uint8_t> zlib;
    bool ended = false;
    for (size_t at = 8; at + 12 <= png.size() && !ended;) {
        const uint32_t length = Be32(png, at);
        ASSERT_LE(at + 12 + length, png.size()) << "chunk runs past the end";
        const std::string type(png.begin() + long(at + 4), png.begin() + long(at + 8));
        EXPECT_EQ(Crc(&png[at + 4], length + 4), Be32(png, at + 8 + length)) << type;
        if (type == "IHDR") {
            width = Be32(png, at + 8);
            height = Be32(png, at + 12);
            EXPECT_EQ(png[at + 16], 8);  // bit depth
            EXPECT_EQ(png[at + 17], 2);  // RGB
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), png.begin() + long(at + 8), png.begin() + long(at + 8 + length));
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    ASSERT_TRUE(ended);
    ASSERT_GT(width, 0u);
    // Inflate the stored blocks.
    ASSERT_GE(zlib.size(), 6u);
    EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0) << "zlib header check";
    std::vector<uint8_t> raw;
    size_t at = 2;
    bool last = false;
    while (!last) {
        ASSERT_LE(at + 5, zlib.size());
        last = zlib[at] & 1;
        ASSERT_EQ(zlib[at] & 6, 0) << "only stored blocks expected";
        const unsigned len = zlib[at + 1] | zlib[at + 2] << 8, nlen = zlib[at + 3] | zlib[at + 4] << 8;
        ASSERT_EQ(len ^ 0xFFFFu, nlen);
        ASSERT_LE(at + 5 + len, zlib.size());
        raw.insert(raw.end(), zlib.begin() + long(at + 5), zlib.begin() + long(at + 5 + len));
        at += 5 + len;
    }
    ASSERT_EQ(at + 4, zlib.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ((b << 16) | a, Be32(zlib, at));
    ASSERT_EQ(raw.size(), size_t(height) * (width * 3 + 1));
    auto sheetPixel = [&](int x, int y) { return &raw[size_t(y) * (width * 3 + 1) + 1 + size_t(x) * 3]; };

    // 256-pixel sand at full size in the first cell; the 64-pixel plant wall
    // four times enlarged in the fourth.
    Picture sand = Load(GameDir() + "/sanddark.tga"), plant = Load(GameDir() + "/plant25.tga");
    ASSERT_TRUE(sand.ok && plant.ok);
    const int gap = 12, cell = 256;
    for (int y = 0; y < 256; y += 37)
        for (int x = 0; x < 256; x += 29) {
            EXPECT_TRUE(std::equal(sand.At(x, y), sand.At(x, y) + 3, sheetPixel(gap + x, gap + y)))
                << x << "," << y;
            const int px = gap + 3 * (cell + gap) + x;
            EXPECT_TRUE(
                std::equal(plant.At(x / 4, y / 4), plant.At(x / 4, y / 4) + 3, sheetPixel(px, gap + y)))
                << x << "," << y;
        }

    // A folder without pictures is reported, not passed over.
    const std::string empty = "'" + tool + "' '" + dir.path + "' '" + out + "' >/dev/null 2>&1";
    EXPECT_NE(std::system(empty.c_str()), 0);
    std::remove(out.c_str());
}

// The Wise Old Man stands in the maze's far corner, turned 210 degrees about
// the vertical: his face must look back into the maze (towards -x, -z), where
// the player comes from, and the back of his head must show hair.
TEST(GeneratedPictures, WiseOldManFacesIntoTheMaze) {
    GLTestContext gl;
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(GameDir().c_str()), 0);
    {
        CSphere elder;
        auto look = [&](float fromX, float fromZ) {
            gl.Clear();
            gl.SetupProjection();
            gluLookAt(fromX, 4, fromZ, 540, 4, 540, 0, 1, 0);
            glColor3f(1, 1, 1);
            glPushMatrix();
            elder.Render(nullptr);
            glPopMatrix();
            PixelImage shot = gl.ReadPixels();
            // Middle of the ball as seen from this side.
            const int cx = shot.width / 2, cy = shot.height / 2, r = shot.height / 6;
            const int skin = shot.Count(cx - r, cy - r, cx + r, cy + r, [](int red, int green, int blue) {
                return red > 170 && red - blue > 45 && green > 110 && green < red;
            });
            const int hair = shot.Count(cx - r, cy - r, cx + r, cy + r, [](int red, int green, int blue) {
                return red > 150 && std::abs(red - blue) < 20 && std::abs(red - green) < 20;
            });
            const int eyes = shot.Count(cx - r, cy - r, cx + r, cy + r,
                                        [](int red, int, int blue) { return blue > 120 && blue - red > 60; });
            return std::vector<int>{skin, hair, eyes};
        };
        std::vector<int> front = look(540 - 14, 540 - 14);
        EXPECT_GT(front[0], front[1]) << "skin should outweigh hair from the maze side";
        EXPECT_GT(front[2], 20) << "blue eyes visible from the maze side";
        for (auto side : {std::pair<float, float>(540 - 20, 540), std::pair<float, float>(540, 540 - 20)}) {
            std::vector<int> v = look(side.first, side.second);
            EXPECT_GT(v[2], 0) << "eyes still in view from " << side.first << ", " << side.second;
        }
        std::vector<int> back = look(540 + 14, 540 + 14);
        EXPECT_GT(back[1], back[0] * 3) << "hair at the back";
        EXPECT_EQ(back[2], 0) << "no eyes at the back";
    }
    ASSERT_EQ(chdir(previous), 0);
}

// The icon: a round badge with the duckling, transparent around it, at each size a desktop asks
// for; the window's copy read back the way the game reads it.
TEST(GeneratedPictures, IconIsTheDucklingOnARoundBadgeWithClearCorners) {
    for (int size : {48, 128, 256}) {
        SCOPED_TRACE(size);
        const std::vector<uint8_t> png =
            ReadFileBytes(GameDir() + "/pondquest_" + std::to_string(size) + ".png");
        ASSERT_GT(png.size(), 33u);
        auto be32 = [&](size_t at) {
            return png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        };
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
        EXPECT_EQ(be32(16), size);
        EXPECT_EQ(be32(20), size);
        EXPECT_EQ(png[25], 6) << "RGBA";
    }
    SDL_Surface* loaded = SDL_LoadBMP((GameDir() + "/pondquest.bmp").c_str());
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    SDL_Surface* icon = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->w, 64);
    ASSERT_EQ(icon->h, 64);
    auto at = [&](int x, int y) {
        return static_cast<const uint8_t*>(icon->pixels) + y * icon->pitch + x * 4;
    };
    int clear = 0, outsideCount = 0, yellow = 0, opaque = 0, insideCount = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint8_t* p = at(x, y);
            const float dx = x + 0.5f - 32, dy = y + 0.5f - 32;
            const float distance2 = dx * dx + dy * dy;
            const bool inside = distance2 < 676.0f;    // within 26 of the middle
            const bool outside = distance2 > 1024.0f;  // beyond 32
            outsideCount += outside;
            insideCount += inside;
            if (outside && p[3] == 0) ++clear;
            if (inside && p[3] == 255) ++opaque;
            if (inside && p[0] > 200 && p[1] > 160 && p[2] < 110) ++yellow;
        }
    SDL_FreeSurface(icon);
    EXPECT_EQ(clear, outsideCount) << "the corners are see-through";
    EXPECT_EQ(opaque, insideCount) << "the badge is solid";
    EXPECT_GT(yellow, 400) << "the duckling fills much of the badge";
}
