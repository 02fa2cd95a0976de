#include "CTextPainter.h"

#include <cmath>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

CTextPainter::CTextPainter() : library(nullptr), face(nullptr) {}

CTextPainter::~CTextPainter() {
    if (face) FT_Done_Face(static_cast<FT_Face>(face));
    if (library) FT_Done_FreeType(static_cast<FT_Library>(library));
}

static std::string MatchFont(const char* pattern) {
    std::string file;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return file;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (pat) {
        FcConfigSubstitute(config, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pat, &result);
        if (match) {
            FcChar8* path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
                file = reinterpret_cast<const char*>(path);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pat);
    }
    FcConfigDestroy(config);
    return file;
}

bool CTextPainter::Open() {
    std::string file = MatchFont("Arial:bold");
    if (file.empty()) {
        error = "fontconfig found no font for \"Arial:bold\"";
        return false;
    }
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) {
        error = "FreeType could not start";
        return false;
    }
    library = lib;
    FT_Face f = nullptr;
    if (FT_New_Face(lib, file.c_str(), 0, &f) != 0) {
        error = "FreeType could not open " + file;
        return false;
    }
    face = f;
    fontFile = file;
    return true;
}

bool CTextPainter::SetSize(int pixelSize) {
    return face && FT_Set_Pixel_Sizes(static_cast<FT_Face>(face), 0, FT_UInt(pixelSize)) == 0;
}

int CTextPainter::Measure(const std::string& text, int pixelSize) {
    if (!SetSize(pixelSize)) return 0;
    FT_Face f = static_cast<FT_Face>(face);
    long pen = 0;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        FT_UInt glyph = FT_Get_Char_Index(f, ch);
        if (previous && glyph && FT_HAS_KERNING(f)) {
            FT_Vector k;
            if (FT_Get_Kerning(f, previous, glyph, FT_KERNING_DEFAULT, &k) == 0) pen += k.x;
        }
        if (FT_Load_Glyph(f, glyph, FT_LOAD_DEFAULT) == 0) pen += f->glyph->advance.x;
        previous = glyph;
    }
    return int((pen + 63) / 64);
}

void CTextPainter::Draw(CPicture& pic, const std::string& text, float x, float baseline, int pixelSize,
                        const CColour& colour) {
    if (!SetSize(pixelSize)) return;
    FT_Face f = static_cast<FT_Face>(face);
    long pen = long(std::lround(x * 64.0f));
    const int base = int(std::lround(baseline));
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        FT_UInt glyph = FT_Get_Char_Index(f, ch);
        if (previous && glyph && FT_HAS_KERNING(f)) {
            FT_Vector k;
            if (FT_Get_Kerning(f, previous, glyph, FT_KERNING_DEFAULT, &k) == 0) pen += k.x;
        }
        previous = glyph;
        if (FT_Load_Glyph(f, glyph, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot slot = f->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.num_grays > 1) {
            const int left = int(pen >> 6) + slot->bitmap_left;
            const int top = base - slot->bitmap_top;
            for (unsigned row = 0; row < bm.rows; ++row) {
                const unsigned char* line = bm.buffer + long(row) * bm.pitch;
                for (unsigned col = 0; col < bm.width; ++col) {
                    const float a = float(line[col]) / float(bm.num_grays - 1);
                    pic.Blend(left + int(col), top + int(row), colour, a);
                }
            }
        }
        pen += slot->advance.x;
    }
}

int CTextPainter::DrawCentred(CPicture& pic, const std::string& text, float cx, float baseline, int pixelSize,
                              int maxWidth, const CColour& colour, float outline,
                              const CColour& outlineColour) {
    int size = pixelSize;
    int w = Measure(text, size);
    while (size > 6 && w > maxWidth)
        w = Measure(text, --size);
    const float x = cx - float(w) * 0.5f;
    if (outline > 0.0f) {
        // A ring of offset copies makes a soft outline without a stroker.
        const int steps = 16;
        for (int i = 0; i < steps; ++i) {
            const float a = 6.2831853f * float(i) / float(steps);
            Draw(pic, text, x + outline * std::cos(a), baseline + outline * std::sin(a), size, outlineColour);
        }
    }
    Draw(pic, text, x, baseline, size, colour);
    return size;
}
