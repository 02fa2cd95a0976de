#include "app/CDemoFile.h"

#include "app/CEngine.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#ifndef PONDQUEST_GAME_VERSION
#define PONDQUEST_GAME_VERSION ""
#endif

const char CDemoFile::kMagic[8] = {'P', 'O', 'N', 'D', 'D', 'E', 'M', 'O'};

namespace {

const size_t kFixedHeader = 8 + 2 + 2 + 4 + 4 + 1;
const uint8_t kHasKeys = 0x01, kHasDx = 0x02, kHasDy = 0x04, kLeftButton = 0x08;
const int kLongRun = 15;
const float kMaxSensitivity = 1e6f;

// Reads from a byte range that never reads past its end.
struct Reader {
    const uint8_t* p;
    const uint8_t* end;
    bool Left(size_t n) const { return static_cast<size_t>(end - p) >= n; }
    uint8_t U8() { return *p++; }
    uint16_t U16() {
        uint16_t v = static_cast<uint16_t>(p[0] | (p[1] << 8));
        p += 2;
        return v;
    }
    uint32_t U32() {
        uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        p += 4;
        return v;
    }
    // LEB128 of at most 32 bits; false when cut short or too long.
    bool Varint(uint32_t* out) {
        uint64_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (p == end) return false;
            uint8_t b = *p++;
            v |= static_cast<uint64_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) {
                if (v > 0xFFFFFFFFull) return false;
                *out = static_cast<uint32_t>(v);
                return true;
            }
        }
        return false;
    }
};

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutVarint(std::vector<uint8_t>& out, uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<uint8_t>(v));
}

uint32_t Zigzag(int32_t v) { return (static_cast<uint32_t>(v) << 1) ^ (v < 0 ? 0xFFFFFFFFu : 0u); }
int32_t Unzigzag(uint32_t v) { return static_cast<int32_t>((v >> 1) ^ (~(v & 1) + 1)); }

std::string Said(const char* format, unsigned long long a, unsigned long long b = 0) {
    char text[160];
    // Formats with one number leave b unread, which printf allows.
    // cppcheck-suppress wrongPrintfScanfArgNum
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

}  // namespace

CDemoFile::CDemoFile()
    : formatVersion(kFormatVersion),
      stepRate(CEngine::kStepsPerSecond),
      mouseSensitivity(2.0f),
      gameVersion(GameVersion()) {}

const char* CDemoFile::GameVersion() {
    static const char* const kVersion = PONDQUEST_GAME_VERSION[0] ? PONDQUEST_GAME_VERSION : "unversioned";
    return kVersion;
}

bool CDemoFile::Parse(const uint8_t* data, size_t size, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    steps.clear();
    Reader in{data, data + size};
    if (!data || !in.Left(kFixedHeader)) {
        *error = Said("truncated: %llu bytes is shorter than a demo's header", size);
        return false;
    }
    if (std::memcmp(in.p, kMagic, sizeof kMagic) != 0) {
        *error = "not a Pondquest demo (wrong magic)";
        return false;
    }
    in.p += sizeof kMagic;
    formatVersion = in.U16();
    if (formatVersion != kFormatVersion) {
        *error =
            Said("demo format version %llu; this game plays version %llu", formatVersion, kFormatVersion);
        return false;
    }
    stepRate = in.U16();
    if (stepRate != CEngine::kStepsPerSecond) {
        *error = Said("recorded at %llu steps a second; this game steps %llu times a second", stepRate,
                      CEngine::kStepsPerSecond);
        return false;
    }
    uint32_t bits = in.U32();
    std::memcpy(&mouseSensitivity, &bits, sizeof bits);
    if (!std::isfinite(mouseSensitivity) || mouseSensitivity <= 0.0f || mouseSensitivity > kMaxSensitivity) {
        *error = "absurd starting mouse sensitivity";
        return false;
    }
    const uint32_t count = in.U32();
    if (count == 0 || count > kMaxSteps) {
        *error = Said("absurd step count %llu (a demo holds 1 to %llu)", count, kMaxSteps);
        return false;
    }
    const size_t versionLength = in.U8();
    if (versionLength == 0 || versionLength > kMaxVersionLength) {
        *error = Said("absurd game version length %llu", versionLength);
        return false;
    }
    if (!in.Left(versionLength)) {
        *error = "truncated in the game version";
        return false;
    }
    gameVersion.assign(reinterpret_cast<const char*>(in.p), versionLength);
    in.p += versionLength;
    for (char c : gameVersion)
        if (c < 0x20 || c > 0x7E) {
            *error = "unprintable game version";
            return false;
        }

    // Each record costs at least a byte, so a count the file cannot hold is refused before
    // any room is taken for it.
    steps.reserve(count < size ? count : size);
    CDemoStep step{0, 0, 0, false};
    while (steps.size() < count) {
        const unsigned long long at = steps.size() + 1;
        if (!in.Left(1)) {
            *error = Said("truncated at step %llu of %llu", at, count);
            return false;
        }
        const uint8_t flags = in.U8();
        if (flags & kHasKeys) {
            if (!in.Left(2)) {
                *error = Said("truncated at step %llu of %llu", at, count);
                return false;
            }
            step.keys = in.U16();
            if (step.keys >> 12) {
                *error = Said("unknown keys in step %llu", at);
                return false;
            }
        }
        uint32_t raw = 0;
        step.dx = 0;
        step.dy = 0;
        if ((flags & kHasDx) && !in.Varint(&raw)) {
            *error = Said("bad or truncated mouse motion in step %llu", at);
            return false;
        }
        if (flags & kHasDx) step.dx = Unzigzag(raw);
        if ((flags & kHasDy) && !in.Varint(&raw)) {
            *error = Said("bad or truncated mouse motion in step %llu", at);
            return false;
        }
        if (flags & kHasDy) step.dy = Unzigzag(raw);
        step.leftButton = (flags & kLeftButton) != 0;
        uint64_t repeat = (flags >> 4) + 1;
        if ((flags >> 4) == kLongRun) {
            if (!in.Varint(&raw)) {
                *error = Said("bad or truncated step count in step %llu", at);
                return false;
            }
            repeat = static_cast<uint64_t>(raw) + kLongRun + 1;
        }
        if (repeat > count - steps.size()) {
            *error = Said("step %llu repeats past the %llu steps the header gives", at, count);
            return false;
        }
        steps.insert(steps.end(), static_cast<size_t>(repeat), step);
    }
    if (in.p != in.end) {
        *error = Said("%llu stray bytes after the last step", static_cast<unsigned long long>(in.end - in.p));
        return false;
    }
    return true;
}

bool CDemoFile::Load(const std::string& path, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    steps.clear();
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        *error = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        *error = "is a directory";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = "not a regular file";
        return false;
    }
    if (static_cast<unsigned long long>(st.st_size) > kMaxFileBytes) {
        *error = Said("too large for a demo (%llu bytes)", static_cast<unsigned long long>(st.st_size));
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    // One byte more than the size found, so a file that grows meanwhile is noticed.
    std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size) + 1);
    size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    bool failed = std::ferror(file) != 0;
    int readErrno = errno;
    std::fclose(file);
    if (failed) {
        *error = std::string("cannot be read: ") + std::strerror(readErrno);
        return false;
    }
    if (got == bytes.size()) {
        *error = "changed while being read";
        return false;
    }
    return Parse(bytes.data(), got, error);
}

std::vector<uint8_t> CDemoFile::Encode() const {
    std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
    PutU16(out, formatVersion);
    PutU16(out, stepRate);
    uint32_t bits;
    std::memcpy(&bits, &mouseSensitivity, sizeof bits);
    PutU32(out, bits);
    PutU32(out, static_cast<uint32_t>(steps.size()));
    std::string version = gameVersion.substr(0, kMaxVersionLength);
    if (version.empty()) version = "?";
    out.push_back(static_cast<uint8_t>(version.size()));
    out.insert(out.end(), version.begin(), version.end());

    uint16_t keys = 0;
    for (size_t i = 0; i < steps.size();) {
        const CDemoStep& step = steps[i];
        size_t run = 1;
        while (i + run < steps.size() && steps[i + run] == step)
            ++run;
        uint8_t flags = 0;
        if (step.keys != keys) flags |= kHasKeys;
        if (step.dx != 0) flags |= kHasDx;
        if (step.dy != 0) flags |= kHasDy;
        if (step.leftButton) flags |= kLeftButton;
        flags |= static_cast<uint8_t>((run > kLongRun ? kLongRun : run - 1) << 4);
        out.push_back(flags);
        if (flags & kHasKeys) PutU16(out, step.keys);
        if (flags & kHasDx) PutVarint(out, Zigzag(step.dx));
        if (flags & kHasDy) PutVarint(out, Zigzag(step.dy));
        if (run > kLongRun) PutVarint(out, static_cast<uint32_t>(run - kLongRun - 1));
        keys = step.keys;
        i += run;
    }
    return out;
}
