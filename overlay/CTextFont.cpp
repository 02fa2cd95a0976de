#include "overlay/CTextFont.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/CGlyphRasterizer.h"

namespace {

const int kFirstChar = 32;
const int kGlyphCount = 96;

// glBitmap wants rows bottom-up, byte aligned, one bit a pixel.
void CompileGlyph(const CGlyphBitmap& glyph, unsigned int list) {
    const int w = glyph.width;
    const int h = glyph.rows;
    const int rowBytes = (w + 7) / 8;
    std::vector<GLubyte> bits(static_cast<size_t>(rowBytes) * (h > 0 ? h : 1), 0);
    for (int row = 0; row < h; ++row) {
        const unsigned char* src = &glyph.coverage[static_cast<size_t>(row) * w];
        GLubyte* dst = &bits[static_cast<size_t>(h - 1 - row) * rowBytes];
        for (int x = 0; x < w; ++x)
            if (src[x] >= 128) dst[x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
    }
    glNewList(list, GL_COMPILE);
    glBitmap(w, h, static_cast<GLfloat>(-glyph.left), static_cast<GLfloat>(h - glyph.top), glyph.advanceX,
             glyph.advanceY, bits.data());
    glEndList();
}

}  // namespace

CTextFont::CTextFont(const char* faceName, int height)
    : listBase(0), color{1, 1, 1, 1}, rasterX(0), rasterY(0), position{0, 0, 0} {
    Create(faceName, height);
}

CTextFont::~CTextFont() {
    if (listBase != 0) glDeleteLists(listBase, kGlyphCount);
}

void CTextFont::Create(const char* faceName, int height) {
    if (listBase != 0) glDeleteLists(listBase, kGlyphCount);
    listBase = glGenLists(kGlyphCount);
    if (listBase == 0) {
        std::fprintf(stderr, "Pondquest: no display lists for a font (is an OpenGL context current?)\n");
        return;
    }
    // Every list exists even if no face is found, so printing stays harmless.
    for (int i = 0; i < kGlyphCount; ++i) {
        glNewList(listBase + i, GL_COMPILE);
        glEndList();
    }
    CGlyphRasterizer rasterizer;
    if (!rasterizer.Open(faceName, height)) return;

    GLint oldAlignment = 4, oldLsb = 0, oldRowLength = 0, oldSkipRows = 0, oldSkipPixels = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlignment);
    glGetIntegerv(GL_UNPACK_LSB_FIRST, &oldLsb);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &oldRowLength);
    glGetIntegerv(GL_UNPACK_SKIP_ROWS, &oldSkipRows);
    glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &oldSkipPixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);

    CGlyphBitmap glyph;
    for (int i = 0; i < kGlyphCount; ++i) {
        const unsigned long code = static_cast<unsigned long>(kFirstChar + i);
        // Code 127 has no printable glyph; its list stays empty rather than showing a box.
        if (code == 127 || !rasterizer.Render(code, true, &glyph)) continue;
        CompileGlyph(glyph, listBase + i);
    }

    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);
    glPixelStorei(GL_UNPACK_LSB_FIRST, oldLsb);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, oldRowLength);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, oldSkipRows);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, oldSkipPixels);
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

void CTextFont::Print(const char* format, ...) {
    if (!format) return;
    char text[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) return;

    // Only codes with a glyph list may be called: anything else would run
    // whatever lists happen to sit next to ours.
    unsigned char codes[256];
    int count = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        if (*p >= kFirstChar && *p < kFirstChar + kGlyphCount) codes[count++] = *p;

    glPushMatrix();
    glColor4f(color[0], color[1], color[2], color[3]);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    if (position[0] != 0.0f || position[1] != 0.0f || position[2] != 0.0f)
        glRasterPos3f(position[0], position[1], position[2]);
    else
        glRasterPos2i(rasterX, rasterY);
    if (listBase != 0 && count > 0) {
        glPushAttrib(GL_LIST_BIT);
        glListBase(listBase - kFirstChar);
        glCallLists(count, GL_UNSIGNED_BYTE, codes);
        glPopAttrib();
    }
    glPopMatrix();
}
