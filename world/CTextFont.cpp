#include "world/CTextFont.h"

#include <GL/gl.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <strings.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const int kFirstChar = 32;
const int kGlyphCount = 96;

// Asks fontconfig for the file that best stands in for the named face in bold.
// "symbol" is a Windows-style request for a symbol face, so the usual symbol
// families are offered in order before whatever fontconfig falls back to.
bool FindFontFile(const char* faceName, int height, std::vector<char>& file, int& index, bool& embolden) {
    if (!FcInit()) return false;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    if (strcasecmp(faceName, "symbol") == 0) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Standard Symbols PS"));
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("OpenSymbol"));
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Symbol"));
    } else {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, static_cast<double>(height));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;

    bool found = false;
    FcChar8* path = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
        size_t len = std::strlen(reinterpret_cast<const char*>(path));
        file.assign(reinterpret_cast<const char*>(path), reinterpret_cast<const char*>(path) + len + 1);
        index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcBool bold = FcFalse;
        embolden = FcPatternGetBool(match, FC_EMBOLDEN, 0, &bold) == FcResultMatch && bold;
        found = true;
    }
    FcPatternDestroy(match);
    return found;
}

// glBitmap wants rows bottom-up, byte aligned; FreeType gives them top-down with a pitch.
void CompileGlyph(FT_GlyphSlot slot, unsigned int list) {
    const FT_Bitmap& bm = slot->bitmap;
    int w = static_cast<int>(bm.width);
    int h = static_cast<int>(bm.rows);
    int rowBytes = (w + 7) / 8;
    std::vector<GLubyte> bits(static_cast<size_t>(rowBytes) * (h > 0 ? h : 1), 0);
    int pitch = bm.pitch < 0 ? -bm.pitch : bm.pitch;
    for (int row = 0; row < h && bm.buffer; ++row) {
        const unsigned char* src =
            bm.pitch >= 0 ? bm.buffer + row * pitch : bm.buffer + (h - 1 - row) * pitch;
        GLubyte* dst = &bits[static_cast<size_t>(h - 1 - row) * rowBytes];
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
            std::memcpy(dst, src, rowBytes);
        } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (int x = 0; x < w; ++x)
                if (src[x] >= 128) dst[x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
        }
    }
    glNewList(list, GL_COMPILE);
    glBitmap(w, h, static_cast<GLfloat>(-slot->bitmap_left), static_cast<GLfloat>(h - slot->bitmap_top),
             static_cast<GLfloat>(slot->advance.x) / 64.0f, static_cast<GLfloat>(slot->advance.y) / 64.0f,
             bits.data());
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
    if (!faceName || height <= 0) {
        std::fprintf(stderr, "Pondquest: font request without a face or with height %d\n", height);
        return;
    }

    std::vector<char> file;
    int index = 0;
    bool embolden = false;
    if (!FindFontFile(faceName, height, file, index, embolden)) {
        std::fprintf(stderr, "Pondquest: no font found for \"%s\"; text will not show\n", faceName);
        return;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "Pondquest: FreeType did not start; text will not show\n");
        return;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.data(), index, &face) != 0) {
        std::fprintf(stderr, "Pondquest: cannot read font file %s\n", file.data());
        FT_Done_FreeType(library);
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(height));

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

    for (int i = 0; i < kGlyphCount; ++i) {
        FT_ULong code = static_cast<FT_ULong>(kFirstChar + i);
        // Code 127 has no printable glyph; its list stays empty rather than showing a box.
        if (code == 127 || FT_Get_Char_Index(face, code) == 0) continue;
        if (FT_Load_Char(face, code, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) continue;
        if (embolden) FT_GlyphSlot_Embolden(face->glyph);
        if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) != 0) continue;
        CompileGlyph(face->glyph, listBase + i);
    }

    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);
    glPixelStorei(GL_UNPACK_LSB_FIRST, oldLsb);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, oldRowLength);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, oldSkipRows);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, oldSkipPixels);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
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
