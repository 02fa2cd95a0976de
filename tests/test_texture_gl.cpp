// Textures made on a real context: what the GL holds and what a quad samples.
#include <gtest/gtest.h>

#include <algorithm>

#include <GL/gl.h>

#include "support/GLTestContext.h"
#include "test_texture_files.h"
#include "textures/CTextureCache.h"
#include "textures/CTextureImage.h"

namespace {

class TextureGL : public testing::Test {
protected:
    GLTestContext gl{128, 128};
    TempDir dir;

    // Level 0 of the bound texture as RGBA.
    std::vector<unsigned char> ReadTexture(int& w, int& h) {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        std::vector<unsigned char> out(size_t(w) * h * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        if (!out.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    // Draws the texture over the whole viewport, tinted white, and reads the centre.
    const unsigned char* DrawFullScreen(const CTextureImage& img, PixelImage& shot) {
        gl.Clear(0, 0, 0);
        glDisable(GL_DEPTH_TEST);
        gl.DrawTextureOverViewport(img.textureId);
        shot = gl.ReadPixels();
        return shot.At(gl.width / 2, gl.height / 2);
    }
};

}  // namespace

TEST_F(TextureGL, SolidTgaSamplesItsColourWithRepeatAndLinearFilter) {
    CTextureImage img;
    img.LoadFromFile(dir.Write("s.tga", MakeTga24(8, 8, std::vector<Rgb>(64, {200, 40, 90}))).c_str());
    img.CreateTexture();
    ASSERT_NE(img.textureId, 0u);
    GLint minF = 0, magF = 0, wrapS = 0, wrapT = 0;
    glBindTexture(GL_TEXTURE_2D, img.textureId);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minF);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magF);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(minF, GL_LINEAR);
    EXPECT_EQ(magF, GL_LINEAR);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);
    GLint level1 = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1);
    EXPECT_EQ(level1, 0);  // the linear filter never reads mipmaps, so none are made
    EXPECT_EQ(img.pixels, nullptr) << "the pixels stay in memory after the upload";
    EXPECT_EQ(img.width, 8);
    PixelImage shot;
    const unsigned char* c = DrawFullScreen(img, shot);
    EXPECT_TRUE(ColourNear(c, 200, 40, 90, 2));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureGL, RowsThatAreNotFourByteMultiplesUploadExactly) {
    // 2 x 2 at 3 bytes a pixel: 6-byte rows, which the default unpack alignment would skew.
    std::vector<Rgb> px = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    CTextureImage img;
    img.LoadFromFile(dir.Write("odd.tga", MakeTga24(2, 2, px)).c_str());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);  // whatever the caller had stays put
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    img.CreateTexture();
    GLint align = 0, rowLength = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &align);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    EXPECT_EQ(align, 8);
    EXPECT_EQ(rowLength, 7);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    int w = 0, h = 0;
    std::vector<unsigned char> tex = ReadTexture(w, h);
    ASSERT_EQ(w, 2);
    ASSERT_EQ(h, 2);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(ColourNear(&tex[4 * i], px[i])) << i;
    }
}

TEST_F(TextureGL, ThirtyTwoBitTgaAndBmpUploadTheirAlpha) {
    CTextureImage tga;
    tga.LoadFromFile(dir.Write("a.tga", MakeTga(2, 2, 1, 32, {10, 20, 30, 0, 40, 50, 60, 128})).c_str());
    tga.CreateTexture();
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGBA);
    int w = 0, h = 0;
    std::vector<unsigned char> tex = ReadTexture(w, h);
    ASSERT_EQ(w * h, 2);
    const unsigned char want[] = {30, 20, 10, 0, 60, 50, 40, 128};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(tex[i], want[i]) << i;

    // Black becomes transparent; (0, 0, 1) does not.
    CTextureImage bmp;
    bmp.LoadFromFile(
        dir.Write("b.bmp", MakeBmp(4, 1, {{0, 0, 0}, {9, 8, 7}, {0, 0, 1}, {0, 0, 0}}, 0)).c_str());
    bmp.CreateTexture();
    tex = ReadTexture(w, h);
    ASSERT_EQ(w, 4);
    EXPECT_EQ(tex[3], 0);
    EXPECT_EQ(tex[4], 9);
    EXPECT_EQ(tex[7], 255);
    EXPECT_EQ(tex[11], 255);
    EXPECT_EQ(tex[15], 0);
}

TEST_F(TextureGL, SixteenBitAndGreyTgaSample) {
    // A1R5G5B5 word 0x7C00 is pure red.
    CTextureImage red;
    red.LoadFromFile(dir.Write("r.tga", MakeTga(2, 1, 1, 16, {0x00, 0x7C})).c_str());
    red.CreateTexture();
    PixelImage shot;
    const unsigned char* c = DrawFullScreen(red, shot);
    EXPECT_GT(c[0], 245);
    EXPECT_LT(c[1], 10);
    EXPECT_LT(c[2], 10);

    CTextureImage grey;
    grey.LoadFromFile(dir.Write("g.tga", MakeTga(3, 1, 1, 8, {100})).c_str());
    grey.CreateTexture();
    c = DrawFullScreen(grey, shot);
    EXPECT_TRUE(ColourNear(c, 100, 100, 100, 2));
}

TEST_F(TextureGL, PcxSamplesPaletteColour) {
    CTextureImage img;
    img.LoadFromFile(dir.Write("p.pcx", MakePcx(6, 5, Bytes(30, 77))).c_str());
    img.CreateTexture();
    PixelImage shot;
    const unsigned char* c = DrawFullScreen(img, shot);
    EXPECT_TRUE(ColourNear(c, 77, 178, 38, 2));
}

TEST_F(TextureGL, EmptyImageStillGetsAnEmptyTextureName) {
    CTextureImage img;
    testing::internal::CaptureStderr();
    img.LoadFromFile((dir.path + "/missing.tga").c_str());
    testing::internal::GetCapturedStderr();
    img.CreateTexture();
    ASSERT_NE(img.textureId, 0u);
    EXPECT_TRUE(glIsTexture(img.textureId));
    GLint w = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureGL, ImagesOfOneFileShareOneNameUntilTheLastGoes) {
    std::string path = dir.Write("o.tga", MakeTga24(2, 2, std::vector<Rgb>(4, {1, 2, 3})));
    std::string otherPath = dir.Write("p.tga", MakeTga24(2, 2, std::vector<Rgb>(4, {9, 9, 9})));
    const int entriesBefore = CTextureCache::Count();
    auto* keeper = new CTextureImage;
    keeper->LoadFromFile(path.c_str());
    keeper->CreateTexture();
    const GLuint name = keeper->textureId;
    {
        CTextureImage other, different;
        other.LoadFromFile(path.c_str());
        EXPECT_EQ(other.pixels, nullptr) << "a picture already uploaded is not read again";
        EXPECT_EQ(other.width, 2);
        other.CreateTexture();
        EXPECT_EQ(other.textureId, name);
        different.LoadFromFile(otherPath.c_str());
        different.CreateTexture();
        EXPECT_NE(different.textureId, name);
        EXPECT_EQ(CTextureCache::Count(), entriesBefore + 2);
    }
    EXPECT_EQ(CTextureCache::Count(), entriesBefore + 1);
    EXPECT_TRUE(glIsTexture(name)) << "released while the first user still holds it";
    int w = 0, h = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    std::vector<unsigned char> tex = ReadTexture(w, h);
    ASSERT_EQ(w, 2);
    EXPECT_EQ(tex[0], 1);
    EXPECT_EQ(tex[2], 3);

    // A second call keeps the shared name; reloading another file lets go of it.
    keeper->CreateTexture();
    EXPECT_EQ(keeper->textureId, name);
    keeper->LoadFromFile(otherPath.c_str());
    keeper->CreateTexture();
    EXPECT_FALSE(glIsTexture(name));
    delete keeper;
    EXPECT_EQ(CTextureCache::Count(), entriesBefore);
    {
        CTextureImage neverLoaded;  // frees nothing and deletes no name
        EXPECT_EQ(neverLoaded.textureId, 0u);
    }
}

TEST_F(TextureGL, ABadFileIsReportedOnceWhileItsObjectsLive) {
    const std::string missing = dir.path + "/missing.tga";
    auto countLines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
    testing::internal::CaptureStderr();
    {
        std::vector<CTextureImage> walls(5);
        for (CTextureImage& wall : walls) {
            wall.LoadFromFile(missing.c_str());
            wall.CreateTexture();
        }
        EXPECT_EQ(walls[4].textureId, walls[0].textureId);
    }
    {
        CTextureImage again;  // the next build reports it afresh
        again.LoadFromFile(missing.c_str());
        again.CreateTexture();
    }
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(countLines(err), 2) << err;
    EXPECT_NE(err.find("missing.tga"), std::string::npos);
}

TEST(TextureNoContext, UnloadedImageNeedsNoContext) {
    // Constructing and destroying an image that never got a texture touches no GL.
    CTextureImage img;
    EXPECT_EQ(img.pixels, nullptr);
    EXPECT_EQ(img.textureId, 0u);
}
