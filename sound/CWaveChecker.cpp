#include "sound/CWaveChecker.h"

#include <cstring>

namespace {

uint32_t Little(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

const int kPcm = 1;
const int kFloat = 3;
const int kExtensible = 0xFFFE;
// The tail shared by the sub-format GUIDs of the extensible layout.
const uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                               0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

CWaveChecker::CWaveChecker()
    : CSoundFileChecker(kMaxFileBytes), channels(0), rate(0), bits(0), floating(false), frames(0) {}

bool CWaveChecker::CheckFormat(const uint8_t* chunk, uint32_t length) {
    if (length < 16) return Refuse("format chunk of %u bytes, less than 16", length);
    int tag = static_cast<int>(Little(chunk, 2));
    const uint32_t count = Little(chunk + 2, 2);
    const uint32_t perSecond = Little(chunk + 4, 4);
    const uint32_t byteRate = Little(chunk + 8, 4);
    const uint32_t blockAlign = Little(chunk + 12, 2);
    const uint32_t sampleBits = Little(chunk + 14, 2);
    if (tag == kExtensible) {
        if (length < 40) return Refuse("extensible format chunk of %u bytes, less than 40", length);
        const uint32_t validBits = Little(chunk + 18, 2);
        if (validBits > sampleBits) return Refuse("%u valid bits in %u-bit samples", validBits, sampleBits);
        if (std::memcmp(chunk + 26, kGuidTail, sizeof kGuidTail) != 0)
            return Refuse("unknown extensible sub-format");
        tag = static_cast<int>(Little(chunk + 24, 2));
    }
    if (tag == kPcm) {
        if (sampleBits != 8 && sampleBits != 16 && sampleBits != 24 && sampleBits != 32)
            return Refuse("%u-bit PCM samples", sampleBits);
    } else if (tag == kFloat) {
        if (sampleBits != 32) return Refuse("%u-bit floating-point samples", sampleBits);
    } else {
        return Refuse("format 0x%04X is neither PCM nor floating point", static_cast<unsigned>(tag));
    }
    if (count < 1 || count > 8) return Refuse("%u channels", count);
    if (perSecond < 1000 || perSecond > 384000) return Refuse("sample rate of %u", perSecond);
    if (blockAlign != count * sampleBits / 8)
        return Refuse("frame of %u bytes for %u channels of %u bits", blockAlign, count, sampleBits);
    if (byteRate != perSecond * blockAlign)
        return Refuse("byte rate %u where rate and frame size give %u", byteRate, perSecond * blockAlign);
    channels = static_cast<int>(count);
    rate = static_cast<int>(perSecond);
    bits = static_cast<int>(sampleBits);
    floating = tag == kFloat;
    return true;
}

bool CWaveChecker::Check(const uint8_t* data, size_t size) {
    reason.clear();
    channels = rate = bits = 0;
    floating = false;
    frames = 0;
    if (size > maxBytes) return Refuse("%zu bytes is too large for an effect", size);
    if (size < 4 || std::memcmp(data, "RIFF", 4) != 0) return Refuse("not a RIFF file");
    if (size < 12) return Refuse("file ends inside the RIFF header (%zu bytes)", size);
    if (std::memcmp(data + 8, "WAVE", 4) != 0) return Refuse("a RIFF file but not a WAVE");
    const uint32_t riffLength = Little(data + 4, 4);
    if (riffLength < 4) return Refuse("RIFF length of %u bytes", riffLength);
    if (riffLength > size - 8)
        return Refuse("RIFF claims %u bytes but only %zu follow", riffLength, size - 8);
    const size_t end = 8 + static_cast<size_t>(riffLength);
    bool haveFormat = false, haveData = false;
    uint32_t dataLength = 0;
    size_t at = 12;
    while (at < end) {
        if (end - at < 8) return Refuse("file ends inside the chunk header at byte %zu", at);
        const uint8_t* id = data + at;
        const uint32_t length = Little(data + at + 4, 4);
        if (length > end - at - 8) {
            // The name goes into a one-line message: no line breaks or terminal codes from the file.
            char name[5] = {};
            for (int i = 0; i < 4; ++i)
                name[i] = id[i] >= 0x20 && id[i] <= 0x7E ? static_cast<char>(id[i]) : '?';
            return Refuse("chunk '%s' at byte %zu claims %u bytes but only %zu remain", name, at, length,
                          end - at - 8);
        }
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (haveFormat) return Refuse("a second format chunk at byte %zu", at);
            if (!CheckFormat(data + at + 8, length)) {
                channels = rate = bits = 0;
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (!haveFormat) return Refuse("data before the format chunk");
            if (haveData) return Refuse("a second data chunk at byte %zu", at);
            haveData = true;
            dataLength = length;
        }
        // Chunks are padded to an even length; the last one's pad byte may be missing.
        at += 8 + static_cast<size_t>(length) + (length & 1);
    }
    if (!haveFormat) return Refuse("no format chunk");
    if (!haveData) return Refuse("no data chunk");
    const uint32_t frameBytes = static_cast<uint32_t>(channels * bits / 8);
    if (dataLength == 0) return Refuse("no samples");
    if (dataLength % frameBytes != 0)
        return Refuse("%u bytes of data are not a whole number of %u-byte frames", dataLength, frameBytes);
    frames = dataLength / frameBytes;
    return true;
}
