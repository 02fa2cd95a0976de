#ifndef PONDQUEST_TESTS_TEST_TEXTURE_FILES_H
#define PONDQUEST_TESTS_TEST_TEXTURE_FILES_H

// Small image-file writers for the texture tests. Every test writes its own
// files into a fresh temporary directory that is removed afterwards.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

typedef std::vector<unsigned char> Bytes;

struct Rgb {
    unsigned char r, g, b;
};

inline void Put16(Bytes& b, unsigned v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
inline void Put32(Bytes& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// Uncompressed TGA; `body` is the pixel bytes exactly as stored in the file.
inline Bytes MakeTga(int type, int w, int h, int depth, const Bytes& body, int idLength = 0) {
    Bytes b = {static_cast<unsigned char>(idLength), 0, static_cast<unsigned char>(type)};
    Put16(b, 0);
    Put16(b, 0);
    b.push_back(0);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, static_cast<unsigned>(w));
    Put16(b, static_cast<unsigned>(h));
    b.push_back(static_cast<unsigned char>(depth));
    b.push_back(0);
    for (int i = 0; i < idLength; ++i)
        b.push_back(0xEE);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// 24-bit TGA from RGB pixels listed in stored order (bottom row first); stored as B, G, R.
inline Bytes MakeTga24(int w, int h, const std::vector<Rgb>& px) {
    Bytes body;
    for (const Rgb& p : px) {
        body.push_back(p.b);
        body.push_back(p.g);
        body.push_back(p.r);
    }
    return MakeTga(2, w, h, 24, body);
}

// 24-bit BMP from RGB pixels in stored order, rows padded to 4 bytes.
inline Bytes MakeBmp(int w, int h, const std::vector<Rgb>& px, unsigned sizeImage, int bitCount = 24) {
    int stride = (w * 3 + 3) & ~3;
    Bytes b = {'B', 'M'};
    Put32(b, 54 + stride * h);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<unsigned>(w));
    Put32(b, static_cast<unsigned>(h));
    Put16(b, 1);
    Put16(b, static_cast<unsigned>(bitCount));
    Put32(b, 0);
    Put32(b, sizeImage);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb& p = px[static_cast<size_t>(y) * w + x];
            b.push_back(p.b);
            b.push_back(p.g);
            b.push_back(p.r);
        }
        for (int pad = w * 3; pad < stride; ++pad)
            b.push_back(0xAB);
    }
    return b;
}

// 8-bit run-length PCX header for a w x h picture, without run data or palette.
inline Bytes MakePcxHeader(int w, int h, int xMin = 0, int yMin = 0) {
    Bytes b = {10, 5, 1, 8};
    Put16(b, static_cast<unsigned>(xMin));
    Put16(b, static_cast<unsigned>(yMin));
    Put16(b, static_cast<unsigned>(xMin + w - 1));
    Put16(b, static_cast<unsigned>(yMin + h - 1));
    b.resize(128, 0);
    b[65] = 1;
    b[66] = w & 255;
    b[67] = (w >> 8) & 255;
    return b;
}

// Run-length encodes palette indices the way PCX writers do.
inline void AppendPcxRuns(Bytes& b, const Bytes& indices) {
    for (size_t i = 0; i < indices.size();) {
        size_t run = 1;
        while (i + run < indices.size() && indices[i + run] == indices[i] && run < 63)
            ++run;
        if (run > 1 || indices[i] >= 192) {
            b.push_back(static_cast<unsigned char>(192 | run));
            b.push_back(indices[i]);
        } else {
            b.push_back(indices[i]);
        }
        i += run;
    }
}

// Palette marker and 256 entries; entry i is (i, 255 - i, i / 2) unless overridden.
inline void AppendPcxPalette(Bytes& b, unsigned char marker = 12) {
    b.push_back(marker);
    for (int i = 0; i < 256; ++i) {
        b.push_back(static_cast<unsigned char>(i));
        b.push_back(static_cast<unsigned char>(255 - i));
        b.push_back(static_cast<unsigned char>(i / 2));
    }
}

// Whether the pixel at p (R, G, B first) is (r, g, b), each channel within tolerance.
inline ::testing::AssertionResult ColourNear(const unsigned char* p, int r, int g, int b, int tolerance = 0) {
    const int want[3] = {r, g, b};
    for (int i = 0; i < 3; ++i)
        if (std::abs(p[i] - want[i]) > tolerance)
            return ::testing::AssertionFailure()
                   << "colour " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]) << " where " << r << ","
                   << g << "," << b << " was wanted";
    return ::testing::AssertionSuccess();
}
inline ::testing::AssertionResult ColourNear(const unsigned char* p, const Rgb& c) {
    return ColourNear(p, c.r, c.g, c.b);
}

inline Bytes MakePcx(int w, int h, const Bytes& indices) {
    Bytes b = MakePcxHeader(w, h);
    AppendPcxRuns(b, indices);
    AppendPcxPalette(b);
    return b;
}

#endif
