#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "overlay/CTextFont.h"
#include "platform/CFontLocator.h"
#include "support/GLTestContext.h"
#include "support/TempDir.h"
#include "support/TextProjection.h"

namespace {

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // inclusive, y from the top
    int count = 0;
    bool Empty() const { return count == 0; }
    int Width() const { return x1 - x0 + 1; }
    int Height() const { return y1 - y0 + 1; }
};

// Bounding box of every pixel that differs from the black background.
Box Ink(const PixelImage& img) {
    Box b;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = img.At(x, y);
            if (p[0] | p[1] | p[2]) {
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x);
                b.y1 = std::max(b.y1, y);
                ++b.count;
            }
        }
    return b;
}

class FontTest : public ::testing::Test {
protected:
    GLTestContext gl;
    void SetUp() override {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        gl.Clear();
    }
    PixelImage Draw(CTextFont& font, const char* text) {
        gl.Clear();
        font.Print("%s", text);
        return gl.ReadPixels();
    }
};

}  // namespace

TEST_F(FontTest, MakesOneGlyphTextureWithGlyphsForPrintableCodes) {
    CTextFont font("Arial", 16);
    ASSERT_NE(font.texture, 0u);
    EXPECT_TRUE(glIsTexture(font.texture));
    EXPECT_EQ(font.pixelHeight, 16);  // the 600-pixel-high view is the font's own size
    for (int i = 0; i < 95; ++i)
        EXPECT_TRUE(font.glyphs[i].present) << "code " << 32 + i;
    EXPECT_FALSE(font.glyphs[95].present);  // 127 is not printable
    EXPECT_EQ(font.rasterX, 0);
    EXPECT_EQ(font.rasterY, 0);
    EXPECT_EQ(font.position[0], 0.0f);
    EXPECT_EQ(font.position[1], 0.0f);
    EXPECT_EQ(font.position[2], 0.0f);

    // Every visible ASCII character has ink; the blank has none.
    font.SetColor(1, 1, 1);
    font.SetPosition(-0.2f, 0.0f, -0.1f);
    for (char c = 33; c < 127; ++c) {
        char s[2] = {c, 0};
        EXPECT_FALSE(Ink(Draw(font, s)).Empty()) << "character '" << c << "'";
    }
    EXPECT_TRUE(Ink(Draw(font, " ")).Empty());
    unsigned int name = font.texture;
    {
        CTextFont other("Arial", 16);
        EXPECT_NE(other.texture, name);
    }
    EXPECT_TRUE(glIsTexture(name));
}

TEST_F(FontTest, DestructorReleasesItsTexture) {
    unsigned int name;
    {
        CTextFont font("Arial", 16);
        name = font.texture;
        ASSERT_TRUE(glIsTexture(name));
    }
    EXPECT_FALSE(glIsTexture(name));
}

TEST_F(FontTest, GlyphHeightFollowsThePixelHeight) {
    // The cap height of a sans face is about 0.7 of its em; the em is the requested height.
    for (int h : {16, 30, 40}) {
        CTextFont font("Arial", h);
        font.SetColor(1, 1, 1);
        font.SetPosition(-0.2f, 0.0f, -0.1f);
        Box b = Ink(Draw(font, "H"));
        ASSERT_FALSE(b.Empty());
        EXPECT_GE(b.Height(), static_cast<int>(h * 0.62)) << h;
        EXPECT_LE(b.Height(), static_cast<int>(std::ceil(h * 0.8))) << h;
    }
}

TEST_F(FontTest, TextSitsOnTheBaselineAtItsPositionAndAdvances) {
    CTextFont font("Arial", 40);
    font.SetColor(1, 1, 1);
    font.SetPosition(-0.25f, 0.15f, -0.1f);
    double sx, sy;
    ProjectText(-0.25f, 0.15f, -0.1f, sx, sy);
    Box h = Ink(Draw(font, "H"));
    ASSERT_FALSE(h.Empty());
    // The bottom of "H" rests on the baseline; its stem starts just right of the pen.
    EXPECT_NEAR(h.y1 + 1, sy, 1.5);
    EXPECT_GE(h.x0, static_cast<int>(sx) - 1);
    EXPECT_LE(h.x0, static_cast<int>(sx) + 6);

    Box hh = Ink(Draw(font, "HH"));
    EXPECT_EQ(hh.x0, h.x0);
    EXPECT_EQ(hh.y0, h.y0);
    // The second letter starts one advance further: an H is wider than it is tall, nearly.
    EXPECT_GT(hh.Width(), 2 * h.Width());
    EXPECT_LT(hh.Width(), 3 * h.Width());
    EXPECT_EQ(hh.count, 2 * h.count);

    // "g" hangs below the baseline.
    Box g = Ink(Draw(font, "g"));
    EXPECT_GT(g.y1 + 1, sy + 3);
}

TEST_F(FontTest, UsesTheColourSetBeforePrinting) {
    CTextFont font("Arial", 40);
    font.SetPosition(-0.2f, 0.0f, -0.1f);
    font.SetColor(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(font.color[3], 1.0f);
    glColor3f(0, 1, 0);  // a stale current colour must not win
    PixelImage img = Draw(font, "M");
    int red = img.Count(0, 0, img.width, img.height,
                        [](int r, int g, int b) { return r == 255 && g == 0 && b == 0; });
    // Smoothed edges are darker reds, never another hue.
    int other = img.Count(0, 0, img.width, img.height, [](int, int g, int b) { return g != 0 || b != 0; });
    EXPECT_GT(red, 50);
    EXPECT_EQ(other, 0);

    // Blended at alpha 0.8 over black the colour is scaled by 0.8, on the same pixels.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    font.SetColor(0.3f, 1.0f, 0.3f, 0.8f);
    PixelImage blended = Draw(font, "M");
    glDisable(GL_BLEND);
    int brightest = 0, samePlaces = 0, lit = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = blended.At(x, y);
            if (p[1] > blended.At(brightest % img.width, brightest / img.width)[1])
                brightest = y * img.width + x;
            lit += img.At(x, y)[0] != 0;
            samePlaces += (img.At(x, y)[0] != 0) == (p[1] != 0);
        }
    const uint8_t* top = blended.At(brightest % img.width, brightest / img.width);
    EXPECT_NEAR(top[0], 61, 2);
    EXPECT_NEAR(top[1], 204, 2);
    EXPECT_NEAR(top[2], 61, 2);
    EXPECT_GT(lit, 50);
    EXPECT_EQ(samePlaces, img.width * img.height);
}

TEST_F(FontTest, ZeroPositionPrintsAtTheTwoDimensionalRasterPosition) {
    CTextFont font("Arial", 16);
    font.SetColor(1, 1, 1);
    Box atOrigin = Ink(Draw(font, "X"));
    ASSERT_FALSE(atOrigin.Empty());
    // (0, 0) one unit ahead is the centre of the view.
    EXPECT_NEAR(atOrigin.x0, gl.width / 2, 3);
    EXPECT_NEAR(atOrigin.y1 + 1, gl.height / 2, 1);

    // A 2-D raster position is in eye units one unit ahead, not in pixels:
    // (1, 0) already lies outside the view, so nothing is drawn.
    font.rasterX = 1;
    font.rasterY = 0;
    EXPECT_TRUE(Ink(Draw(font, "X")).Empty());

    // Any non-zero coordinate of the 3-D position takes over.
    font.SetPosition(0.0f, 0.0f, -0.1f);
    Box threeD = Ink(Draw(font, "X"));
    EXPECT_NEAR(threeD.x0, gl.width / 2, 3);
}

TEST_F(FontTest, NullFormatAndUnprintableBytesDrawNothing) {
    CTextFont font("Arial", 40);
    font.SetColor(1, 1, 1);
    font.SetPosition(-0.2f, 0.0f, -0.1f);
    gl.Clear();
    font.Print(nullptr);
    EXPECT_TRUE(Ink(gl.ReadPixels()).Empty());

    EXPECT_TRUE(Ink(Draw(font, "\x01\x1f\x80\x9f\xc8\xff")).Empty());
    // Printable bytes around unprintable ones draw as if those were absent.
    Box ab = Ink(Draw(font, "AB"));
    Box mixed = Ink(Draw(font,
                         "\x05"
                         "A\x90\xfe"
                         "B\x7f"));
    EXPECT_EQ(mixed.count, ab.count);
    EXPECT_EQ(mixed.x0, ab.x0);
    EXPECT_EQ(mixed.x1, ab.x1);
}

TEST_F(FontTest, LongTextIsCutAt255Characters) {
    CTextFont font("Arial", 40);
    font.SetColor(1, 1, 1);
    font.SetPosition(-0.2f, 0.0f, -0.1f);
    // 254 bytes without glyphs, then 46 visible ones: only the first of those survives the cut.
    std::string text(254, '\x01');
    text += 'I';
    text += std::string(45, 'W');
    ASSERT_EQ(text.size(), 300u);
    gl.Clear();
    font.Print("%s", text.c_str());
    Box cut = Ink(gl.ReadPixels());
    Box single = Ink(Draw(font, "I"));
    ASSERT_FALSE(single.Empty());
    EXPECT_EQ(cut.count, single.count);
    EXPECT_EQ(cut.x1, single.x1);
}

// Callers print between their own drawing: whatever they had set must survive, in both
// blending states and with a texture of their own bound.
TEST_F(FontTest, PrintLeavesTheCallersStateAsFound) {
    CTextFont font("Arial", 16);
    font.SetColor(0.2f, 0.4f, 0.6f, 0.8f);
    font.SetShadow(true);
    font.SetPosition(0.1f, 0.1f, -0.1f);
    GLuint mine = 0;
    glGenTextures(1, &mine);
    GLfloat projectionBefore[16], projectionAfter[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    for (bool blend : {false, true}) {
        SCOPED_TRACE(blend ? "blending" : "not blending");
        glLoadIdentity();
        glTranslatef(3, 4, 5);
        glBindTexture(GL_TEXTURE_2D, mine);
        glEnable(GL_TEXTURE_2D);
        if (blend) glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_SRC_COLOR);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
        font.Print("abc %d", 12);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_EQ(m[12], 3.0f);
        EXPECT_EQ(m[13], 4.0f);
        EXPECT_EQ(m[14], 5.0f);
        glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(projectionAfter[i], projectionBefore[i]) << i;
        GLint value = 0;
        glGetIntegerv(GL_MATRIX_MODE, &value);
        EXPECT_EQ(value, GL_MODELVIEW);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
        EXPECT_EQ(static_cast<GLuint>(value), mine);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
        EXPECT_EQ(value, GL_DECAL);
        glGetIntegerv(GL_BLEND_SRC, &value);
        EXPECT_EQ(value, GL_ONE);
        glGetIntegerv(GL_BLEND_DST, &value);
        EXPECT_EQ(value, GL_SRC_COLOR);
        EXPECT_EQ(glIsEnabled(GL_BLEND), blend ? GL_TRUE : GL_FALSE);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
        EXPECT_EQ(gl.ModelviewDepth(), 1);
        // The current colour is the font's, as after every print.
        GLfloat current[4];
        glGetFloatv(GL_CURRENT_COLOR, current);
        EXPECT_FLOAT_EQ(current[0], 0.2f);
        EXPECT_FLOAT_EQ(current[3], 0.8f);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDeleteTextures(1, &mine);
}

TEST_F(FontTest, UnknownFaceStillMakesAFont) {
    // fontconfig always offers some face; printing must work and never crash.
    CTextFont font("No Such Face Anywhere", 20);
    font.SetColor(1, 1, 1);
    font.SetPosition(-0.2f, 0.0f, -0.1f);
    EXPECT_FALSE(Ink(Draw(font, "Hello")).Empty());
    CTextFont symbol("symbol", 20);
    EXPECT_NE(symbol.texture, 0u);
}

// A face found is remembered between runs in the cache folder, and the answer remembered is
// used only while the font file (and fontconfig's setup) is as it was when found.
TEST(FontLookup, RemembersAnAnswerWhileItsFontFileIsUnchanged) {
    TempDir dir;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const std::string kept = cache ? cache : "";
    setenv("XDG_CACHE_HOME", dir.path.c_str(), 1);
    std::string file, found;
    int index = 0;
    bool bold = false;
    ASSERT_TRUE(CFontLocator::Find("Arial", 40, &file, &index, &bold));
    const std::string memo = dir.File("pondquest/fonts");
    std::ifstream in(memo);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_NE(text.find(file), std::string::npos) << "nothing remembered in " << memo;

    // A copy with the same size and times stands in for the file in the memo: Find answers
    // with it, so the answer came from the memo.
    std::ifstream font(file, std::ios::binary);
    const std::string copy =
        dir.Write("copy.ttf", std::vector<unsigned char>(std::istreambuf_iterator<char>(font), {}));
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
    text.replace(text.find(file), file.size(), copy);
    std::ofstream(memo) << text;
    ASSERT_TRUE(CFontLocator::Find("Arial", 40, &found, &index, &bold));
    EXPECT_EQ(found, copy);

    // Changed since, the copy is not used: fontconfig is asked again.
    ASSERT_EQ(utimensat(AT_FDCWD, copy.c_str(), nullptr, 0), 0);
    ASSERT_TRUE(CFontLocator::Find("Arial", 40, &found, &index, &bold));
    EXPECT_EQ(found, file);
    cache ? setenv("XDG_CACHE_HOME", kept.c_str(), 1) : unsetenv("XDG_CACHE_HOME");
}
