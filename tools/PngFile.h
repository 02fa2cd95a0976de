#ifndef PONDQUEST_TOOLS_PNGFILE_H
#define PONDQUEST_TOOLS_PNGFILE_H

// Writes RGB pictures as PNG for the tools that show the game to people (screenshots,
// contact sheets). The zlib stream holds stored (uncompressed) deflate blocks: every
// viewer reads it, and no compression library is needed.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace png {

inline uint32_t Crc32(const uint8_t* data, size_t n) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    uint32_t crc = ~0u;
    for (size_t i = 0; i < n; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

inline void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

inline void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBE32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, Crc32(&out[start], out.size() - start));
}

// rgbTopDown: width * height pixels of R, G, B (and A when channels is 4), the top row first.
inline std::vector<uint8_t> Encode(int width, int height, const std::vector<uint8_t>& rgbTopDown,
                                   int channels = 3) {
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (rowBytes + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        const uint8_t* row = &rgbTopDown[static_cast<size_t>(y) * rowBytes];
        raw.insert(raw.end(), row, row + rowBytes);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t pos = 0; pos < raw.size();) {
        const size_t len = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        z.push_back(pos + len == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(len & 0xFF));
        z.push_back(static_cast<uint8_t>(len >> 8));
        z.push_back(static_cast<uint8_t>(~len & 0xFF));
        z.push_back(static_cast<uint8_t>((~len >> 8) & 0xFF));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + len));
        pos += len;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, (b << 16) | a);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBE32(header, static_cast<uint32_t>(width));
    PutBE32(header, static_cast<uint32_t>(height));
    // 8 bits, RGB or RGBA, deflate, no filter, no interlace
    header.insert(header.end(), {8, static_cast<uint8_t>(channels == 4 ? 6 : 2), 0, 0, 0});
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", z);
    PutChunk(out, "IEND", {});
    return out;
}

inline bool Write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgbTopDown) {
    const std::vector<uint8_t> bytes = Encode(width, height, rgbTopDown);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace png

#endif
