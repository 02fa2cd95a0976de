#include "platform/CGlyphRasterizer.h"

#include "platform/CFontLocator.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cstdio>
#include <cstring>
#include <string>

CGlyphRasterizer::CGlyphRasterizer() : library(nullptr), face(nullptr), embolden(false) {}

CGlyphRasterizer::~CGlyphRasterizer() { Close(); }

void CGlyphRasterizer::Close() {
    if (face) FT_Done_Face(static_cast<FT_Face>(face));
    if (library) FT_Done_FreeType(static_cast<FT_Library>(library));
    face = nullptr;
    library = nullptr;
}

bool CGlyphRasterizer::Open(const char* faceName, int pixelHeight) {
    Close();
    if (!faceName || pixelHeight <= 0) {
        std::fprintf(stderr, "Pondquest: font request without a face or with height %d\n", pixelHeight);
        return false;
    }
    std::string file;
    int index = 0;
    embolden = false;
    if (!CFontLocator::Find(faceName, pixelHeight, &file, &index, &embolden)) {
        std::fprintf(stderr, "Pondquest: no font found for \"%s\"; text will not show\n", faceName);
        return false;
    }
    FT_Library ftLibrary = nullptr;
    if (FT_Init_FreeType(&ftLibrary) != 0) {
        std::fprintf(stderr, "Pondquest: FreeType did not start; text will not show\n");
        return false;
    }
    FT_Face ftFace = nullptr;
    if (FT_New_Face(ftLibrary, file.c_str(), index, &ftFace) != 0) {
        std::fprintf(stderr, "Pondquest: cannot read font file %s\n", file.c_str());
        FT_Done_FreeType(ftLibrary);
        return false;
    }
    FT_Set_Pixel_Sizes(ftFace, 0, static_cast<FT_UInt>(pixelHeight));
    library = ftLibrary;
    face = ftFace;
    return true;
}

bool CGlyphRasterizer::Render(unsigned long code, bool mono, CGlyphBitmap* glyph, bool smoothEdges) {
    if (!face || !glyph) return false;
    FT_Face ftFace = static_cast<FT_Face>(face);
    if (FT_Get_Char_Index(ftFace, code) == 0) return false;
    FT_Int32 loadFlags = FT_LOAD_DEFAULT | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Char(ftFace, code, loadFlags) != 0) return false;
    if (embolden) FT_GlyphSlot_Embolden(ftFace->glyph);
    const bool hardEdges = mono && !smoothEdges;
    if (FT_Render_Glyph(ftFace->glyph, hardEdges ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return false;

    const FT_GlyphSlot slot = ftFace->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    glyph->width = static_cast<int>(bm.width);
    glyph->rows = static_cast<int>(bm.rows);
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->advanceX = static_cast<float>(slot->advance.x) / 64.0f;
    glyph->advanceY = static_cast<float>(slot->advance.y) / 64.0f;
    glyph->coverage.assign(static_cast<size_t>(glyph->width) * glyph->rows, 0);
    const int pitch = bm.pitch < 0 ? -bm.pitch : bm.pitch;
    for (int row = 0; row < glyph->rows && bm.buffer; ++row) {
        // A negative pitch stores the rows bottom-up.
        const unsigned char* src =
            bm.pitch >= 0 ? bm.buffer + row * pitch : bm.buffer + (glyph->rows - 1 - row) * pitch;
        unsigned char* dst = &glyph->coverage[static_cast<size_t>(row) * glyph->width];
        for (int x = 0; x < glyph->width; ++x) {
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                dst[x] = (src[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
            else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                dst[x] = src[x];
        }
    }
    return true;
}
