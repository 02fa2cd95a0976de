#include "overlay/CTextFont.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/CGlyphRasterizer.h"

namespace {

// The view height at which a font's height is its size in pixels.
const int kDesignViewHeight = 600;
// Empty texels between glyphs in the texture.
const int kGap = 1;

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n)
        p *= 2;
    return p;
}

}  // namespace

CTextFont::CTextFont(const char* face, int h)
    : texture(0),
      color{1, 1, 1, 1},
      rasterX(0),
      rasterY(0),
      position{0, 0, 0},
      shadow(false),
      faceName(),
      height(0),
      viewHeight(-1),
      pixelHeight(0),
      atlasWidth(0),
      atlasHeight(0),
      faceMissing(false),
      glyphs() {
    Create(face, h);
}

CTextFont::~CTextFont() { Release(); }

void CTextFont::Release() {
    if (texture != 0) {
        GLuint name = texture;
        glDeleteTextures(1, &name);
    }
    texture = 0;
    for (Glyph& g : glyphs)
        g = Glyph();
}

void CTextFont::Create(const char* face, int h) {
    faceName = face ? face : "";
    height = h;
    faceMissing = false;
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    Build(viewport[3]);
}

void CTextFont::Build(int forViewHeight) {
    Release();
    viewHeight = forViewHeight;
    pixelHeight = height;
    if (forViewHeight > 0)
        pixelHeight =
            static_cast<int>(std::lround(static_cast<double>(height) * forViewHeight / kDesignViewHeight));
    if (pixelHeight < 1) pixelHeight = 1;
    if (faceMissing) return;
    CGlyphRasterizer rasterizer;
    // The rasteriser says on stderr why a face cannot be used; once is enough.
    if (faceName.empty() || !rasterizer.Open(faceName.c_str(), pixelHeight)) {
        faceMissing = true;
        return;
    }

    // Hinted as hard-edged glyphs, so places and advances are those of a bitmap font of
    // this size, with smooth edges. Code 127 has no printable glyph: it stays absent.
    std::vector<CGlyphBitmap> bitmaps(kGlyphCount);
    long area = 0;
    int widest = 0;
    for (int i = 0; i < kGlyphCount - 1; ++i) {
        CGlyphBitmap& b = bitmaps[i];
        const int code = kFirstChar + i;
        if (!rasterizer.Render(static_cast<unsigned long>(code), true, &b, true)) continue;
        Glyph& g = glyphs[i];
        g.present = true;
        g.width = b.width;
        g.rows = b.rows;
        g.left = b.left;
        g.top = b.top;
        g.advance = b.advanceX;
        // Each glyph twice: plain, and with its shadow one pixel right and down.
        area += static_cast<long>(b.width + kGap) * (b.rows + kGap) +
                static_cast<long>(b.width + 1 + kGap) * (b.rows + 1 + kGap);
        if (b.width + 1 + kGap > widest) widest = b.width + 1 + kGap;
    }
    atlasWidth = PowerOfTwoAtLeast(static_cast<int>(std::sqrt(static_cast<double>(area) * 1.3)) + 1);
    if (atlasWidth < widest) atlasWidth = PowerOfTwoAtLeast(widest);
    // Shelves, left to right and upwards.
    int x = 0, y = 0, shelf = 0;
    auto place = [&](int w, int h, int* px, int* py) {
        if (x + w + kGap > atlasWidth) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        *px = x;
        *py = y;
        x += w + kGap;
        if (h + kGap > shelf) shelf = h + kGap;
    };
    for (Glyph& g : glyphs) {
        if (!g.present) continue;
        place(g.width, g.rows, &g.atlasX, &g.atlasY);
        place(g.width + 1, g.rows + 1, &g.shadowX, &g.shadowY);
    }
    atlasHeight = PowerOfTwoAtLeast(y + shelf);

    // Luminance and alpha: the alpha is what the glyph covers (with its shadow, the text or
    // the shadow below it); the luminance the share of that which is text, so the colour
    // times it leaves the shadow black and the text in its own colour.
    std::vector<unsigned char> texels(static_cast<size_t>(atlasWidth) * atlasHeight * 2, 0);
    auto texel = [&](int tx, int ty) { return &texels[(static_cast<size_t>(ty) * atlasWidth + tx) * 2]; };
    for (int i = 0; i < kGlyphCount; ++i) {
        const Glyph& g = glyphs[i];
        if (!g.present) continue;
        const std::vector<unsigned char>& cover = bitmaps[i].coverage;
        // c(r, col): the bitmap's row r from the top, 0 outside it.
        auto c = [&](int r, int col) {
            if (r < 0 || col < 0 || r >= g.rows || col >= g.width) return 0.0f;
            return cover[static_cast<size_t>(r) * g.width + col] / 255.0f;
        };
        // The texture's rows run bottom up.
        for (int r = 0; r < g.rows; ++r)
            for (int col = 0; col < g.width; ++col) {
                unsigned char* t = texel(g.atlasX + col, g.atlasY + g.rows - 1 - r);
                t[0] = 255;
                t[1] = cover[static_cast<size_t>(r) * g.width + col];
            }
        for (int r = 0; r <= g.rows; ++r)
            for (int col = 0; col <= g.width; ++col) {
                const float text = c(r, col), below = c(r - 1, col - 1);
                const float cover = text + below * (1.0f - text);
                unsigned char* t = texel(g.shadowX + col, g.shadowY + g.rows - r);
                t[0] = static_cast<unsigned char>(std::lround(cover > 0 ? 255.0f * text / cover : 0.0f));
                t[1] = static_cast<unsigned char>(std::lround(255.0f * cover));
            }
    }

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint name = 0;
    glGenTextures(1, &name);
    texture = name;
    glBindTexture(GL_TEXTURE_2D, name);
    // One texel a pixel, never blended with a neighbour.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, atlasWidth, atlasHeight, 0, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, texels.data());
    glPopClientAttrib();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

void CTextFont::SetPosition(float x, float y, float z) {
    position[0] = x;
    position[1] = y;
    position[2] = z;
}

void CTextFont::SetColor(float r, float g, float b, float a) {
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

void CTextFont::SetColor(float r, float g, float b) { SetColor(r, g, b, 1.0f); }

void CTextFont::SetShadow(bool on) { shadow = on; }

void CTextFont::Print(const char* format, ...) {
    if (!format) return;
    char text[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) return;

    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[3] != viewHeight) Build(viewport[3]);

    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    if (matrixMode != GL_MODELVIEW) glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glColor4f(color[0], color[1], color[2], color[3]);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    // The raster position places the text as it always has: through the current projection.
    if (position[0] != 0.0f || position[1] != 0.0f || position[2] != 0.0f)
        glRasterPos3f(position[0], position[1], position[2]);
    else
        glRasterPos2i(rasterX, rasterY);
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);

    if (valid && texture != 0) {
        // Window coordinates from here on.
        glLoadIdentity();
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], -1, 1);

        // The caller's state, to be given back as found.
        GLint bound = 0, envMode = GL_MODULATE, blendSrc = GL_ONE, blendDst = GL_ZERO, alphaFunc = GL_ALWAYS;
        GLfloat alphaRef = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
        glGetIntegerv(GL_BLEND_SRC, &blendSrc);
        glGetIntegerv(GL_BLEND_DST, &blendDst);
        glGetIntegerv(GL_ALPHA_TEST_FUNC, &alphaFunc);
        glGetFloatv(GL_ALPHA_TEST_REF, &alphaRef);
        const GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);
        const GLboolean blendOn = glIsEnabled(GL_BLEND);
        const GLboolean alphaTest = glIsEnabled(GL_ALPHA_TEST);
        // Blending that writes the colour as it comes is no blending at all.
        const bool blending = blendOn && !(blendSrc == GL_ONE && blendDst == GL_ZERO);

        if (!texturing) glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        // Only covered texels make fragments, as only set bits of a bitmap did.
        if (!alphaTest) glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        if (blending) {
            // The caller's blend sees the colour's alpha times the coverage.
            glColor4f(color[0], color[1], color[2], color[3]);
        } else {
            // Unblended text is opaque: the coverage alone mixes the edges in.
            glColor4f(color[0], color[1], color[2], 1.0f);
            if (!blendOn) glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }

        // Pen positions first: the glyphs are drawn from the last to the first, so that where
        // the depth test is on, a glyph's shadow never covers the next glyph's text, and text
        // is not blended over text (the first glyph drawn on a pixel keeps it).
        float penXs[256];
        int codes[256];
        int count = 0;
        float penX = raster[0];
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
            if (*p < kFirstChar || *p >= kFirstChar + kGlyphCount) continue;  // no glyph, no move
            const Glyph& g = glyphs[*p - kFirstChar];
            if (!g.present) continue;
            penXs[count] = penX;
            codes[count++] = *p - kFirstChar;
            penX += g.advance;
        }
        // At the very front of the depth range: a wall nearer than the text's raster position
        // must not hide it.
        const float z = 1.0f - 2.0f / 8192.0f;  // window depth 1/8192
        const float du = 1.0f / static_cast<float>(atlasWidth);
        const float dv = 1.0f / static_cast<float>(atlasHeight);
        const int extra = shadow ? 1 : 0;
        glBegin(GL_QUADS);
        for (int i = count - 1; i >= 0; --i) {
            const Glyph& g = glyphs[codes[i]];
            if (g.width <= 0 || g.rows <= 0) continue;
            // Whole pixels, exactly where a bitmap at this raster position would land.
            const float x0 = std::floor(penXs[i] + 0.0001f + static_cast<float>(g.left));
            const float y0 = std::floor(raster[1] + 0.0001f - static_cast<float>(g.rows - g.top)) - extra;
            const float x1 = x0 + static_cast<float>(g.width + extra);
            const float y1 = y0 + static_cast<float>(g.rows + extra);
            const float u0 = static_cast<float>(shadow ? g.shadowX : g.atlasX) * du;
            const float v0 = static_cast<float>(shadow ? g.shadowY : g.atlasY) * dv;
            const float u1 = u0 + static_cast<float>(g.width + extra) * du;
            const float v1 = v0 + static_cast<float>(g.rows + extra) * dv;
            glTexCoord2f(u0, v0);
            glVertex3f(x0, y0, z);
            glTexCoord2f(u1, v0);
            glVertex3f(x1, y0, z);
            glTexCoord2f(u1, v1);
            glVertex3f(x1, y1, z);
            glTexCoord2f(u0, v1);
            glVertex3f(x0, y1, z);
        }
        glEnd();
        glColor4f(color[0], color[1], color[2], color[3]);

        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
        glAlphaFunc(static_cast<GLenum>(alphaFunc), alphaRef);
        if (!alphaTest) glDisable(GL_ALPHA_TEST);
        if (!texturing) glDisable(GL_TEXTURE_2D);
        if (!blending) {
            glBlendFunc(static_cast<GLenum>(blendSrc), static_cast<GLenum>(blendDst));
            if (!blendOn) glDisable(GL_BLEND);
        }
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    glPopMatrix();
    if (matrixMode != GL_MODELVIEW) glMatrixMode(matrixMode);
}
