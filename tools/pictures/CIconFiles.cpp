#include "CIconFiles.h"

#include <cmath>
#include <cstdio>

#include "CPagePictures.h"
#include "tools/PngFile.h"

const int CIconFiles::kPngSizes[3] = {48, 128, 256};

namespace {

uint8_t Byte(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= 1.0f) return 255;
    return static_cast<uint8_t>(std::lround(v * 255.0f));
}

void PutLE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool Save(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) {
        std::remove(path.c_str());
        *error = "could not write " + path;
    }
    return ok;
}

}  // namespace

std::vector<uint8_t> CIconFiles::Rgba(const CPicture& overBlack, const CPicture& overWhite, int size) {
    const int factor = overBlack.width / size;
    const CPicture black = overBlack.Downsampled(factor), white = overWhite.Downsampled(factor);
    std::vector<uint8_t> rgba;
    rgba.reserve(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const CColour& b = black.At(x, y);
            const CColour& w = white.At(x, y);
            const float alpha = 1.0f - ((w.r - b.r) + (w.g - b.g) + (w.b - b.b)) / 3.0f;
            // Over black the colour is premultiplied by the alpha; undo that.
            const float keep = alpha > 1.0f / 512.0f ? 1.0f / alpha : 0.0f;
            rgba.insert(rgba.end(), {Byte(b.r * keep), Byte(b.g * keep), Byte(b.b * keep), Byte(alpha)});
        }
    return rgba;
}

std::vector<uint8_t> CIconFiles::Bmp(int size, const std::vector<uint8_t>& rgba) {
    const uint32_t pixelBytes = static_cast<uint32_t>(size) * size * 4, headerBytes = 14 + 108;
    std::vector<uint8_t> out = {'B', 'M'};
    PutLE(out, headerBytes + pixelBytes, 4);
    PutLE(out, 0, 4);
    PutLE(out, headerBytes, 4);
    PutLE(out, 108, 4);  // BITMAPV4HEADER
    PutLE(out, size, 4);
    PutLE(out, size, 4);  // positive: bottom row first
    PutLE(out, 1, 2);
    PutLE(out, 32, 2);
    PutLE(out, 3, 4);  // BI_BITFIELDS
    PutLE(out, pixelBytes, 4);
    PutLE(out, 2835, 4);  // 72 dots an inch
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0x00FF0000u, 4);  // red, green, blue, alpha masks: bytes B G R A
    PutLE(out, 0x0000FF00u, 4);
    PutLE(out, 0x000000FFu, 4);
    PutLE(out, 0xFF000000u, 4);
    PutLE(out, 0x73524742u, 4);           // "sRGB"
    out.resize(out.size() + 36 + 12, 0);  // endpoints and gamma, unused with sRGB
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    return out;
}

bool CIconFiles::Write(const std::string& dir, std::string* error) {
    const CPicture overBlack = CPagePictures::Icon(CColour(0, 0, 0));
    const CPicture overWhite = CPagePictures::Icon(CColour(1, 1, 1));
    for (int size : kPngSizes) {
        const std::vector<uint8_t> png = png::Encode(size, size, Rgba(overBlack, overWhite, size), 4);
        if (!Save(dir + "/pondquest_" + std::to_string(size) + ".png", png, error)) return false;
    }
    return Save(dir + "/pondquest.bmp", Bmp(kWindowIconSize, Rgba(overBlack, overWhite, kWindowIconSize)),
                error);
}
