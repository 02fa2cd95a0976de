#ifndef PONDQUEST_TOOLS_CPICTURE_H
#define PONDQUEST_TOOLS_CPICTURE_H

#include <functional>
#include <string>
#include <vector>

#include "CColour.h"

// What a shape's shader says about one pixel: how much it covers and its colour.
struct SStroke {
    float alpha;
    CColour colour;
};

// A floating-point RGB canvas, row 0 at the top. Painters work in this
// orientation; SaveTGA turns it into the bottom-up layout the file format uses.
class CPicture {
public:
    int width;
    int height;
    std::vector<CColour> pixels;

    CPicture(int w, int h);

    CColour& At(int x, int y) { return pixels[size_t(y) * width + x]; }
    const CColour& At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    // Same as At but wraps the coordinates, for tiled textures.
    CColour& Wrapped(int x, int y);

    void Blend(int x, int y, const CColour& c, float alpha);
    void Fill(const std::function<CColour(float u, float v)>& shader);

    // Runs a shader over the square of the given radius around (cx, cy). The
    // shader receives the offset of the pixel centre from (cx, cy) and returns
    // coverage and colour. With wrap set, the shape is drawn again on the far
    // sides so that it continues seamlessly across the edges.
    void Stamp(float cx, float cy, float radius, bool wrap,
               const std::function<SStroke(float dx, float dy)>& shader);
    // The same over a rectangle of half-sizes rx, ry.
    void Stamp(float cx, float cy, float rx, float ry, bool wrap,
               const std::function<SStroke(float dx, float dy)>& shader);

    // Box-filters the picture down by an integer factor (width and height must
    // divide by it); keeps tiles seamless because blocks never straddle an edge.
    CPicture Downsampled(int factor) const;

    // Uncompressed 24-bit TGA, bottom-left origin, BGR bytes. False on any I/O error.
    bool SaveTGA(const std::string& path) const;
};

#endif
