#ifndef PONDQUEST_TOOLS_CTEXTPAINTER_H
#define PONDQUEST_TOOLS_CTEXTPAINTER_H

#include <string>

#include "CPicture.h"

// Draws text into pictures with FreeType, from the bold face fontconfig picks
// for "Arial" -- the same face the game's own text uses.
class CTextPainter {
public:
    std::string fontFile;  // empty until Open succeeds
    std::string error;     // why Open failed

    CTextPainter();
    ~CTextPainter();
    CTextPainter(const CTextPainter&) = delete;
    CTextPainter& operator=(const CTextPainter&) = delete;

    bool Open();

    // Width in pixels of the text at the given pixel size.
    int Measure(const std::string& text, int pixelSize);

    // Draws text with its baseline at y, horizontally centred on cx. If it
    // would be wider than maxWidth the size is reduced until it fits.
    // Returns the pixel size used.
    int DrawCentred(CPicture& pic, const std::string& text, float cx, float baseline, int pixelSize,
                    int maxWidth, const CColour& colour, float outline = 0.0f,
                    const CColour& outlineColour = CColour());

    // Draws text with its left end at x and baseline at y.
    void Draw(CPicture& pic, const std::string& text, float x, float baseline, int pixelSize,
              const CColour& colour);

private:
    void* library;  // FT_Library
    void* face;     // FT_Face
    bool SetSize(int pixelSize);
};

#endif
