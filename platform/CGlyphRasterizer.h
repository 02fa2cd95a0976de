#ifndef PONDQUEST_CGLYPHRASTERIZER_H
#define PONDQUEST_CGLYPHRASTERIZER_H

#include <vector>

// One glyph as the font library drew it: 8-bit coverage, top row first, and where it sits
// against the pen (pixels; y up from the baseline).
struct CGlyphBitmap {
    int width = 0;
    int rows = 0;
    int left = 0;           // from the pen to the bitmap's left edge
    int top = 0;            // from the baseline up to the bitmap's top row
    float advanceX = 0.0f;  // how far the pen moves after this glyph
    float advanceY = 0.0f;
    std::vector<unsigned char> coverage;  // width * rows bytes, 0 (none) to 255 (full)
};

// The system's font library behind a few calls: finds the face that best stands in for a
// named one in bold, at a pixel height, and draws single characters of it.
class CGlyphRasterizer {
public:
    CGlyphRasterizer();
    ~CGlyphRasterizer();
    CGlyphRasterizer(const CGlyphRasterizer&) = delete;
    CGlyphRasterizer& operator=(const CGlyphRasterizer&) = delete;

    // False (with one line on stderr) when no face can be found or read.
    bool Open(const char* faceName, int pixelHeight);
    bool IsOpen() const { return face != nullptr; }
    // Draws one character; mono gives hard-edged coverage (0 or 255). False when the face
    // has no glyph for the code. With smoothEdges, a mono glyph keeps its shape, place and
    // advance (the outline hinted for hard edges) but its edges get 8-bit coverage.
    bool Render(unsigned long code, bool mono, CGlyphBitmap* glyph, bool smoothEdges = false);
    void Close();

private:
    void* library;  // the font library's handle
    void* face;
    bool embolden;  // the face found is regular: bold is synthesised
};

#endif
