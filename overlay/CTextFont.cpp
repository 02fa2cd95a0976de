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
        if (!rasterizer.Render(static_cast<unsigned long>(kFirstChar + i), true, &b, true)) continue;
        glyphs[i].present = true;
        area += static_cast<long>(b.width + kGap) * (b.rows + kGap);
        if (b.width + kGap > widest) widest = b.width + kGap;
    }
    atlasWidth = PowerOfTwoAtLeast(static_cast<int>(std::sqrt(static_cast<double>(area) * 1.3)) + 1);
    if (atlasWidth < widest) atlasWidth = PowerOfTwoAtLeast(widest);
    // Shelves, left to right and upwards.
    int x = 0, y = 0, shelf = 0;
    for (int i = 0; i < kGlyphCount; ++i) {
        if (!glyphs[i].present) continue;
        const CGlyphBitmap& b = bitmaps[i];
        if (x + b.width + kGap > atlasWidth) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        Glyph& g = glyphs[i];
        g.atlasX = x;
        g.atlasY = y;
        g.width = b.width;
        g.rows = b.rows;
        g.left = b.left;
        g.top = b.top;
        g.advance = b.advanceX;
        x += b.width + kGap;
        if (b.rows + kGap > shelf) shelf = b.rows + kGap;
    }
    atlasHeight = PowerOfTwoAtLeast(y + shelf);

    std::vector<unsigned char> texels(static_cast<size_t>(atlasWidth) * atlasHeight, 0);
    for (int i = 0; i < kGlyphCount; ++i) {
        const Glyph& g = glyphs[i];
        if (!g.present) continue;
        // The bitmap's top row first; the texture's bottom row first.
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.width; ++c)
                texels[static_cast<size_t>(g.atlasY + g.rows - 1 - r) * atlasWidth + g.atlasX + c] =
                    bitmaps[i].coverage[static_cast<size_t>(r) * g.width + c];
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
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, atlasWidth, atlasHeight, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 texels.data());
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
        // Window coordinates from here on, at the raster position's depth.
        glLoadIdentity();
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], -1, 1);

        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
        GLint bound = 0, envMode = GL_MODULATE;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
        // Blending that writes the colour as it comes is no blending at all.
        GLint blendSrc = GL_ONE, blendDst = GL_ZERO;
        glGetIntegerv(GL_BLEND_SRC, &blendSrc);
        glGetIntegerv(GL_BLEND_DST, &blendDst);
        const bool blending = glIsEnabled(GL_BLEND) && !(blendSrc == GL_ONE && blendDst == GL_ZERO);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        // Only covered texels make fragments, as only set bits of a bitmap did.
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
        if (blending) {
            // The caller's blend sees the colour's alpha times the coverage.
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        } else {
            // Unblended text is opaque: the coverage alone mixes the edges in.
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        const float z = 1.0f - 2.0f * raster[2];
        const float du = 1.0f / static_cast<float>(atlasWidth);
        const float dv = 1.0f / static_cast<float>(atlasHeight);
        auto emit = [&](int offsetX, int offsetY) {
            // Glyphs land on whole pixels exactly where a bitmap at this raster position would.
            float penX = raster[0], penY = raster[1];
            for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
                if (*p < kFirstChar || *p >= kFirstChar + kGlyphCount) continue;  // no glyph, no move
                const Glyph& g = glyphs[*p - kFirstChar];
                if (!g.present) continue;
                if (g.width > 0 && g.rows > 0) {
                    const float x0 = std::floor(penX + 0.0001f + static_cast<float>(g.left)) + offsetX;
                    const float y0 =
                        std::floor(penY + 0.0001f - static_cast<float>(g.rows - g.top)) + offsetY;
                    const float x1 = x0 + static_cast<float>(g.width), y1 = y0 + static_cast<float>(g.rows);
                    const float u0 = static_cast<float>(g.atlasX) * du,
                                v0 = static_cast<float>(g.atlasY) * dv;
                    const float u1 = u0 + static_cast<float>(g.width) * du,
                                v1 = v0 + static_cast<float>(g.rows) * dv;
                    glTexCoord2f(u0, v0);
                    glVertex3f(x0, y0, z);
                    glTexCoord2f(u1, v0);
                    glVertex3f(x1, y0, z);
                    glTexCoord2f(u1, v1);
                    glVertex3f(x1, y1, z);
                    glTexCoord2f(u0, v1);
                    glVertex3f(x0, y1, z);
                }
                penX += g.advance;
            }
        };
        if (shadow) {
            // Writing no depth, so the text over it is not hidden by its own shadow.
            GLboolean depthMask = GL_TRUE;
            glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
            glDepthMask(GL_FALSE);
            glColor4f(0.0f, 0.0f, 0.0f, color[3]);
            glBegin(GL_QUADS);
            emit(1, -1);
            glEnd();
            glDepthMask(depthMask);
            glColor4f(color[0], color[1], color[2], color[3]);
        }
        glBegin(GL_QUADS);
        emit(0, 0);
        glEnd();

        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
        glPopAttrib();
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    glPopMatrix();
    if (matrixMode != GL_MODELVIEW) glMatrixMode(matrixMode);
}
