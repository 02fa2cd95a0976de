#ifndef PONDQUEST_TOOLS_CCOLOUR_H
#define PONDQUEST_TOOLS_CCOLOUR_H

#include <algorithm>

// Linear RGB colour, each channel nominally 0..1; painters may overshoot and
// the picture clamps only when it is written out.
class CColour {
public:
    float r = 0, g = 0, b = 0;

    CColour() = default;
    CColour(float red, float green, float blue) : r(red), g(green), b(blue) {}

    CColour operator+(const CColour& o) const { return CColour(r + o.r, g + o.g, b + o.b); }
    CColour operator-(const CColour& o) const { return CColour(r - o.r, g - o.g, b - o.b); }
    CColour operator*(float s) const { return CColour(r * s, g * s, b * s); }
    CColour operator*(const CColour& o) const { return CColour(r * o.r, g * o.g, b * o.b); }

    static CColour Mix(const CColour& a, const CColour& b, float t) { return a + (b - a) * t; }
    float Luma() const { return 0.299f * r + 0.587f * g + 0.114f * b; }
};

#endif
