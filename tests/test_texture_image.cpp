// Reading TGA, BMP and PCX files: layouts callers rely on, and hostile files
// that must load nothing without touching memory they do not own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "support/GLTestContext.h"
#include "test_texture_files.h"
#include "textures/CTextureImage.h"

namespace {

std::vector<Rgb> Gradient(int w, int h) {
    std::vector<Rgb> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back({static_cast<unsigned char>(x * 4), static_cast<unsigned char>(y * 8),
                          static_cast<unsigned char>((x + y) & 255)});
    return px;
}

void ExpectEmpty(const CTextureImage& img) {
    EXPECT_EQ(img.pixels, nullptr);
    EXPECT_EQ(img.palette, nullptr);
    EXPECT_EQ(img.width, 0);
    EXPECT_EQ(img.height, 0);
    EXPECT_EQ(img.PixelBytes(), 0u);
}

// Loads a file and returns what the reader said on stderr.
std::string LoadCapturing(CTextureImage& img, const std::string& path) {
    testing::internal::CaptureStderr();
    img.LoadFromFile(path.c_str());
    return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(TextureFileType, ExtensionAfterFirstDotChoosesReaderWithoutCase) {
    TempDir dir;
    Bytes tga = MakeTga24(2, 2, Gradient(2, 2));
    for (const char* name : {"a.TGA", "b.tga", "c.Tga"}) {
        CTextureImage img;
        img.LoadFromFile(dir.Write(name, tga).c_str());
        EXPECT_NE(img.pixels, nullptr) << name;
        EXPECT_EQ(img.kind, TGA) << name;
        EXPECT_EQ(img.width, 2) << name;
    }
    for (const char* name : {"two.dots.tga", "nodot", "trailing.", "d.tgax"}) {
        CTextureImage img;
        std::string err = LoadCapturing(img, dir.Write(name, tga));
        ExpectEmpty(img);
        EXPECT_NE(err.find(name), std::string::npos) << err;
    }
    // A BMP's bytes named .tga go to the TGA reader (and fail there), not the BMP one.
    CTextureImage mismatch;
    LoadCapturing(mismatch, dir.Write("x.tga", MakeBmp(2, 2, Gradient(2, 2), 0)));
    EXPECT_NE(mismatch.kind, BMP);
}

TEST(TextureTga, TwentyFourBitKeepsStoredRowOrderAsRgb) {
    TempDir dir;
    std::vector<Rgb> px = Gradient(64, 32);
    px[0] = {10, 20, 30};          // first stored row is the bottom one
    px[64 * 31] = {200, 100, 50};  // first pixel of the last stored row
    CTextureImage img;
    img.LoadFromFile(dir.Write("g.tga", MakeTga24(64, 32, px)).c_str());
    ASSERT_NE(img.pixels, nullptr);
    EXPECT_EQ(img.width, 64);
    EXPECT_EQ(img.height, 32);
    EXPECT_EQ(img.bitsPerPixel, 24);
    EXPECT_EQ(img.tgaImageType, 2);
    EXPECT_EQ(img.scaledWidth, 0);
    EXPECT_EQ(img.PixelBytes(), 6144u);
    EXPECT_EQ(img.palette, nullptr);
    const unsigned char* p = img.pixels;
    EXPECT_TRUE(ColourNear(p, 10, 20, 30));
    EXPECT_EQ(p[64 * 31 * 3 + 0], 200);
    EXPECT_EQ(p[64 * 31 * 3 + 2], 50);
    for (int i = 0; i < 64 * 32; ++i) {
        ASSERT_TRUE(ColourNear(p + i * 3, px[i])) << i;
    }
}

TEST(TextureTga, OtherDepthsAndTypes) {
    TempDir dir;
    {  // 32-bit: B, G, R, A stored -> R, G, B, A
        CTextureImage img;
        img.LoadFromFile(dir.Write("a.tga", MakeTga(2, 1, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8})).c_str());
        ASSERT_NE(img.pixels, nullptr);
        EXPECT_EQ(img.bitsPerPixel, 32);
        ASSERT_EQ(img.PixelBytes(), 8u);
        const unsigned char want[] = {3, 2, 1, 4, 7, 6, 5, 8};
        EXPECT_EQ(std::memcmp(img.pixels, want, 8), 0);
    }
    {  // 8-bit grey, type 3, kept as stored
        CTextureImage img;
        img.LoadFromFile(dir.Write("g.tga", MakeTga(3, 3, 1, 8, {9, 99, 199})).c_str());
        ASSERT_NE(img.pixels, nullptr);
        EXPECT_EQ(img.tgaImageType, 3);
        EXPECT_EQ(img.pixels[1], 99);
    }
    {  // run-length encoded colour is not read
        CTextureImage img;
        LoadCapturing(img, dir.Write("rle.tga", MakeTga(10, 1, 1, 24, {1, 2, 3})));
        ExpectEmpty(img);
    }
    {  // the ID field is skipped, not read as pixels
        CTextureImage img;
        img.LoadFromFile(dir.Write("id.tga", MakeTga(2, 1, 1, 24, {1, 2, 3}, 5)).c_str());
        ASSERT_NE(img.pixels, nullptr);
        EXPECT_EQ(img.pixels[0], 3);
        EXPECT_EQ(img.pixels[2], 1);
    }
    // A file's pixels are made in its own bytes, a buffer's in a copy: the same either way.
    const Bytes files[] = {MakeTga(2, 1, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8}), MakeTga(3, 3, 1, 8, {9, 99, 199}),
                           MakeTga(2, 1, 1, 24, {1, 2, 3}, 5), MakeTga24(5, 3, Gradient(5, 3))};
    for (const Bytes& file : files) {
        CTextureImage loaded, read;
        loaded.LoadFromFile(dir.Write("same.tga", file).c_str());
        ASSERT_TRUE(read.ReadTGA(file.data(), file.size(), "memory"));
        ASSERT_EQ(loaded.PixelBytes(), read.PixelBytes());
        EXPECT_EQ(std::memcmp(loaded.pixels, read.pixels, read.PixelBytes()), 0);
    }
}

TEST(TextureTga, HostileHeadersLoadNothing) {
    TempDir dir;
    Bytes body(4 * 4 * 3, 7);
    Bytes truncated = MakeTga(2, 4, 4, 24, body);
    truncated.pop_back();
    Bytes shortHeader = MakeTga(2, 4, 4, 24, body);
    shortHeader.resize(17);
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"truncated.tga", truncated},
        {"header.tga", shortHeader},
        {"empty.tga", {}},
        {"zerow.tga", MakeTga(2, 0, 4, 24, body)},
        {"zeroh.tga", MakeTga(2, 4, 0, 24, body)},
        {"negative.tga", MakeTga(2, 0x8000, 2, 24, body)},  // -32768 as signed 16-bit
        {"negh.tga", MakeTga(2, 2, 0xFFFF, 24, body)},
        {"depth0.tga", MakeTga(2, 4, 4, 0, body)},
        {"depth15.tga", MakeTga(2, 4, 4, 15, body)},
        {"grey24.tga", MakeTga(3, 4, 4, 24, body)},
        {"idpastend.tga", MakeTga(2, 4, 4, 24, body, 255)},
    };
    // The ID field pushes the pixels past the end of that last file.
    cases[10].bytes.resize(cases[10].bytes.size() - 255);
    for (Case& c : cases) {
        CTextureImage img;
        std::string err = LoadCapturing(img, dir.Write(c.name, c.bytes));
        ExpectEmpty(img);
        EXPECT_NE(err.find(c.name), std::string::npos) << c.name;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    CTextureImage missing;
    std::string err = LoadCapturing(missing, dir.path + "/absent.tga");
    ExpectEmpty(missing);
    EXPECT_NE(err.find("absent.tga"), std::string::npos);
}

TEST(TextureTga, LoadingAgainReplacesAndFailureClears) {
    TempDir dir;
    CTextureImage img;
    img.LoadFromFile(dir.Write("a.tga", MakeTga24(4, 4, Gradient(4, 4))).c_str());
    ASSERT_EQ(img.width, 4);
    img.LoadFromFile(dir.Write("b.tga", MakeTga24(2, 1, Gradient(2, 1))).c_str());
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.PixelBytes(), 6u);
    LoadCapturing(img, dir.Write("c.tga", MakeTga(10, 2, 1, 24, {})));
    ExpectEmpty(img);
}

TEST(TextureBmp, ChannelsAlphaFromPureBlackAndPadding) {
    TempDir dir;
    // Width 3 needs 3 bytes of padding per row; width 5 needs 1.
    for (int w : {1, 2, 3, 4, 5}) {
        std::vector<Rgb> px = Gradient(w, 3);
        px[0] = {0, 0, 0};
        px[1 % px.size()] = {0, 0, 1};
        px.back() = {250, 128, 3};
        CTextureImage img;
        img.LoadFromFile(dir.Write("p" + std::to_string(w) + ".bmp", MakeBmp(w, 3, px, 0)).c_str());
        ASSERT_NE(img.pixels, nullptr) << w;
        EXPECT_EQ(img.kind, BMP);
        EXPECT_EQ(img.width, w);
        EXPECT_EQ(img.height, 3);
        ASSERT_EQ(img.PixelBytes(), size_t(w) * 3 * 4);
        for (size_t i = 0; i < px.size(); ++i) {
            const unsigned char* p = img.pixels + 4 * i;
            ASSERT_TRUE(ColourNear(p, px[i])) << "w " << w << " pixel " << i;
            bool black = px[i].r == 0 && px[i].g == 0 && px[i].b == 0;
            ASSERT_EQ(p[3], black ? 0 : 255) << "w " << w << " pixel " << i;
        }
    }
}

TEST(TextureBmp, ImageSizeFieldIsNotTrusted) {
    TempDir dir;
    std::vector<Rgb> px = Gradient(5, 4);
    const unsigned rows = 16 * 4;  // 5 pixels -> 15 bytes -> 16 with padding
    for (unsigned sizeImage : {0u, 3u, rows - 1, rows, rows * 100}) {
        CTextureImage img;
        img.LoadFromFile(dir.Write("s.bmp", MakeBmp(5, 4, px, sizeImage)).c_str());
        ASSERT_NE(img.pixels, nullptr) << sizeImage;
        EXPECT_EQ(img.PixelBytes(), 5u * 4 * 4);
        EXPECT_EQ(img.pixels[4 * 19 + 0], px[19].r);
        EXPECT_EQ(img.pixels[4 * 19 + 2], px[19].b);
    }
}

TEST(TextureBmp, HostileFilesLoadNothing) {
    TempDir dir;
    std::vector<Rgb> px = Gradient(4, 4);
    Bytes good = MakeBmp(4, 4, px, 0);
    auto withField = [&](size_t at, unsigned v) {
        Bytes b = good;
        b[at] = v & 255;
        b[at + 1] = (v >> 8) & 255;
        b[at + 2] = (v >> 16) & 255;
        b[at + 3] = (v >> 24) & 255;
        return b;
    };
    Bytes truncated = good;
    truncated.pop_back();
    Bytes badSig = good;
    badSig[0] = 'M';
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"trunc.bmp", truncated},
        {"header.bmp", Bytes(good.begin(), good.begin() + 40)},
        {"sig.bmp", badSig},
        {"zero.bmp", withField(18, 0)},
        {"negw.bmp", withField(18, 0xFFFFFFFCu)},
        {"negh.bmp", withField(22, 0xFFFFFFFCu)},  // top-down files are not supported
        {"huge.bmp", withField(18, 100000)},       // claims far more rows than present
        {"absurd.bmp", withField(22, 0x7FFFFFFF)},
        {"offset.bmp", withField(10, 0xFFFFFFF0u)},
        {"depth8.bmp", MakeBmp(4, 4, px, 0, 8)},
        {"rle.bmp", withField(30, 1)},
        {"core.bmp", withField(14, 12)},
    };
    for (Case& c : cases) {
        CTextureImage img;
        std::string err = LoadCapturing(img, dir.Write(c.name, c.bytes));
        ExpectEmpty(img);
        EXPECT_NE(err.find(c.name), std::string::npos) << c.name;
    }
}

// PCX resampling goes through GLU, which needs a current context.
class TexturePcx : public testing::Test {
protected:
    GLTestContext gl{64, 64};
    TempDir dir;
};

TEST_F(TexturePcx, ResamplesToPowersOfTwoWithPaletteColours) {
    Bytes idx(320 * 200);
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = 40;
    CTextureImage img;
    img.LoadFromFile(dir.Write("big.pcx", MakePcx(320, 200, idx)).c_str());
    ASSERT_NE(img.pixels, nullptr);
    EXPECT_EQ(img.kind, PCX);
    EXPECT_EQ(img.width, 320);
    EXPECT_EQ(img.height, 200);
    EXPECT_EQ(img.scaledWidth, 256);
    EXPECT_EQ(img.scaledHeight, 128);
    ASSERT_EQ(img.PixelBytes(), 256u * 128 * 4);
    ASSERT_NE(img.palette, nullptr);
    EXPECT_EQ(img.palette[3 * 40 + 1], 215);
    // A single colour survives any filter unchanged, at every corner.
    for (size_t i : {size_t(0), size_t(256 * 128 - 1), size_t(255), size_t(256 * 127)}) {
        EXPECT_TRUE(ColourNear(img.pixels + 4 * i, 40, 215, 20)) << i;
        EXPECT_EQ(img.pixels[4 * i + 3], 255);
    }
}

TEST_F(TexturePcx, PowerOfTwoSizeIsCopiedExactly) {
    Bytes idx(256 * 256);
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = static_cast<unsigned char>((i * 7 + i / 256) & 255);
    CTextureImage img;
    img.LoadFromFile(dir.Write("sq.PCX", MakePcx(256, 256, idx)).c_str());
    ASSERT_NE(img.pixels, nullptr);
    EXPECT_EQ(img.scaledWidth, 256);
    EXPECT_EQ(img.scaledHeight, 256);
    for (size_t i = 0; i < idx.size(); i += 97) {
        ASSERT_TRUE(ColourNear(img.pixels + 4 * i, idx[i], 255 - idx[i], idx[i] / 2)) << i;
    }
}

TEST_F(TexturePcx, RunPastTheEndIsCutAndOriginOffsetsCount) {
    // 4 x 2 at (10, 20): one run of 63 covers everything and is cut at 8.
    Bytes b = MakePcxHeader(4, 2, 10, 20);
    b.push_back(192 | 63);
    b.push_back(5);
    AppendPcxPalette(b);
    CTextureImage img;
    img.LoadFromFile(dir.Write("cut.pcx", b).c_str());
    ASSERT_NE(img.pixels, nullptr);
    EXPECT_EQ(img.width, 4);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(img.scaledWidth, 4);
    EXPECT_EQ(img.scaledHeight, 2);
    EXPECT_EQ(img.pixels[4 * 7 + 1], 250);
}

TEST_F(TexturePcx, HostileFilesLoadNothing) {
    Bytes idx(8 * 8, 3);
    Bytes good = MakePcx(8, 8, idx);
    Bytes badMarker = good;
    badMarker[badMarker.size() - 769] = 11;
    Bytes noPalette = MakePcxHeader(8, 8);
    AppendPcxRuns(noPalette, idx);
    Bytes shortRuns = MakePcxHeader(8, 8);
    AppendPcxRuns(shortRuns, Bytes(60, 3));
    AppendPcxPalette(shortRuns);
    Bytes runWithoutValue = MakePcxHeader(8, 8);
    runWithoutValue.push_back(192 | 63);
    AppendPcxPalette(runWithoutValue);
    // A tiny file that claims 65536 x 65536 pixels must be refused before any allocation.
    Bytes huge = MakePcxHeader(1, 1);
    huge[8] = huge[9] = huge[10] = huge[11] = 0xFF;
    AppendPcxRuns(huge, idx);
    AppendPcxPalette(huge);
    // Fits the pixel cap but the runs are far too short for it.
    Bytes big = MakePcxHeader(16384, 16384);
    AppendPcxRuns(big, idx);
    AppendPcxPalette(big);
    Bytes backwards = MakePcxHeader(8, 8, 100, 100);
    backwards[8] = 50;  // xMax below xMin
    backwards[9] = 0;
    Bytes version = good;
    version[1] = 3;
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"marker.pcx", badMarker},
        {"nopal.pcx", noPalette},
        {"short.pcx", shortRuns},
        {"runend.pcx", runWithoutValue},
        {"huge.pcx", huge},
        {"big.pcx", big},
        {"back.pcx", backwards},
        {"version.pcx", version},
        {"header.pcx", Bytes(good.begin(), good.begin() + 100)},
    };
    for (Case& c : cases) {
        CTextureImage img;
        std::string err = LoadCapturing(img, dir.Write(c.name, c.bytes));
        ExpectEmpty(img);
        EXPECT_NE(err.find(c.name), std::string::npos) << c.name;
    }
}

TEST(TextureGamePictures, EveryPictureTheGameNamesLoadsAsPowerOfTwoRgb) {
    // Run from the game folder, where the build paints the pictures.
    for (const char* name :
         {"sanddark.tga", "fire2.tga", "water1.tga", "plant25.tga", "cougar.tga", "nest.tga", "eggcrack.tga",
          "reeses.tga", "elder.tga", "titlemenu.tga", "credits1.tga", "credits2.tga"}) {
        CTextureImage img;
        img.LoadFromFile(name);
        ASSERT_NE(img.pixels, nullptr) << name;
        EXPECT_EQ(img.bitsPerPixel, 24) << name;
        EXPECT_EQ(img.width & (img.width - 1), 0) << name;
        EXPECT_EQ(img.height & (img.height - 1), 0) << name;
        EXPECT_LE(img.width, 512) << name;
    }
}
