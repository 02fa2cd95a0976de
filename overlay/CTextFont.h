#ifndef PONDQUEST_CTEXTFONT_H
#define PONDQUEST_CTEXTFONT_H

#include "scene/PrintfFormat.h"

#include <string>

// A font printing formatted text at a position in the view. Its glyphs (codes 32..126) sit
// in one texture, plain and with a shadow, drawn as quads where the raster position puts
// them. They are made for the view's height: `height` pixels in a 600-pixel-high view, in
// proportion otherwise, and made again when the view's height changes.
class CTextFont {
public:
    static const int kFirstChar = 32;
    static const int kGlyphCount = 96;  // codes 32..127; 127 has no glyph

    // Where a glyph lies in the texture and how it sits against the pen (pixels, y up).
    struct Glyph {
        bool present;          // the face has it
        int atlasX, atlasY;    // the plain glyph in the texture
        int shadowX, shadowY;  // the glyph with its shadow, one pixel wider and taller
        int width, rows;
        int left, top;  // from the pen to the bitmap's left edge, from the baseline to its top row
        float advance;  // how far the pen moves after it
    };

    unsigned int texture;  // the glyph texture; 0 when the face could not be used
    float color[4];
    int rasterX, rasterY;
    float position[3];
    bool shadow;  // a one-pixel dark shadow below and right of every line

    std::string faceName;
    int height;       // pixel height in a 600-pixel-high view
    int viewHeight;   // the view height the glyphs were made for
    int pixelHeight;  // the height they were made at
    int atlasWidth, atlasHeight;
    bool faceMissing;  // no face could be found: nothing prints, and nothing is retried
    Glyph glyphs[kGlyphCount];

    CTextFont(const char* faceName, int height);
    ~CTextFont();
    CTextFont(const CTextFont&) = delete;
    CTextFont& operator=(const CTextFont&) = delete;

    void Create(const char* faceName, int height);
    void SetPosition(float x, float y, float z);
    void SetColor(float r, float g, float b, float a);
    void SetColor(float r, float g, float b);
    void SetShadow(bool on);
    void Print(const char* format, ...) PONDQUEST_PRINTF_FORMAT(2, 3);

private:
    // Renders every glyph at the size for the given view height into the texture.
    void Build(int forViewHeight);
    void Release();
};

#endif
