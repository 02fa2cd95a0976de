#include "CPicture.h"

#include <cmath>
#include <cstdio>

CPicture::CPicture(int w, int h) : width(w), height(h), pixels(size_t(w) * h) {}

CColour& CPicture::Wrapped(int x, int y) {
    x %= width;
    y %= height;
    if (x < 0) x += width;
    if (y < 0) y += height;
    return At(x, y);
}

void CPicture::Blend(int x, int y, const CColour& c, float alpha) {
    if (x < 0 || y < 0 || x >= width || y >= height || !(alpha > 0.0f)) return;  // NaN too
    if (alpha > 1.0f) alpha = 1.0f;
    CColour& p = At(x, y);
    p = CColour::Mix(p, c, alpha);
}

void CPicture::Fill(const std::function<CColour(float u, float v)>& shader) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            At(x, y) = shader((x + 0.5f) / width, (y + 0.5f) / height);
}

void CPicture::Stamp(float cx, float cy, float radius, bool wrap,
                     const std::function<SStroke(float dx, float dy)>& shader) {
    Stamp(cx, cy, radius, radius, wrap, shader);
}

void CPicture::Stamp(float cx, float cy, float rx, float ry, bool wrap,
                     const std::function<SStroke(float dx, float dy)>& shader) {
    const int copies = wrap ? 1 : 0;
    for (int oy = -copies; oy <= copies; ++oy) {
        for (int ox = -copies; ox <= copies; ++ox) {
            const float ccx = cx + float(ox * width);
            const float ccy = cy + float(oy * height);
            int x0 = int(std::floor(ccx - rx)), x1 = int(std::ceil(ccx + rx));
            int y0 = int(std::floor(ccy - ry)), y1 = int(std::ceil(ccy + ry));
            if (x0 < 0) x0 = 0;
            if (y0 < 0) y0 = 0;
            if (x1 > width - 1) x1 = width - 1;
            if (y1 > height - 1) y1 = height - 1;
            for (int y = y0; y <= y1; ++y) {
                for (int x = x0; x <= x1; ++x) {
                    SStroke s = shader(x + 0.5f - ccx, y + 0.5f - ccy);
                    if (s.alpha > 0.0f) Blend(x, y, s.colour, s.alpha);
                }
            }
        }
    }
}

CPicture CPicture::Downsampled(int factor) const {
    CPicture out(width / factor, height / factor);
    const float scale = 1.0f / float(factor * factor);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            CColour sum;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i)
                    sum = sum + At(x * factor + i, y * factor + j);
            out.At(x, y) = sum * scale;
        }
    }
    return out;
}

static unsigned char ToByte(float v) {
    if (!(v > 0.0f)) return 0;  // also catches NaN
    if (v >= 1.0f) return 255;
    return (unsigned char)std::lround(v * 255.0f);
}

bool CPicture::SaveTGA(const std::string& path) const {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return false;
    unsigned char header[18] = {0};
    header[2] = 2;  // uncompressed true-colour
    header[12] = (unsigned char)(width & 0xFF);
    header[13] = (unsigned char)(width >> 8);
    header[14] = (unsigned char)(height & 0xFF);
    header[15] = (unsigned char)(height >> 8);
    header[16] = 24;
    header[17] = 0;  // bottom-left origin, no alpha bits

    std::vector<unsigned char> data(size_t(width) * height * 3);
    size_t k = 0;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const CColour& c = At(x, y);
            data[k++] = ToByte(c.b);
            data[k++] = ToByte(c.g);
            data[k++] = ToByte(c.r);
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header &&
              std::fwrite(data.data(), 1, data.size(), f) == data.size();
    if (std::fclose(f) != 0) ok = false;
    return ok;
}
