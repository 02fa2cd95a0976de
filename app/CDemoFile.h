#ifndef PONDQUEST_CDEMOFILE_H
#define PONDQUEST_CDEMOFILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One step's input: the twelve keys as bits in the order of Keys::kKeyTable (bit 0 is F1),
// the mouse's relative motion read in that step, and the left button.
struct CDemoStep {
    uint16_t keys;
    int32_t dx;
    int32_t dy;
    bool leftButton;

    bool operator==(const CDemoStep& other) const {
        return keys == other.keys && dx == other.dx && dy == other.dy && leftButton == other.leftButton;
    }
    bool operator!=(const CDemoStep& other) const { return !(*this == other); }
};

// A recorded game: every step's input from start-up on, after a small header. The game's
// random sequence starts the same in every process, so these steps replay the whole game.
//
// Layout, little-endian: "PONDDEMO"; format version (16 bits); steps a second (16 bits);
// the starting mouse sensitivity (32-bit float); the number of steps (32 bits); the game
// version (a length byte, 1 to 32, and that many printable characters); then records until
// the steps are all told. A record is a byte of flags -- bit 0: the key bits follow (16 bits;
// otherwise the previous step's keys), bit 1: dx follows, bit 2: dy follows (zigzag LEB128;
// otherwise 0), bit 3: the left button is down, bits 4 to 7: the record covers that many
// steps plus one, or with 15 there, a LEB128 count plus 16 follows.
class CDemoFile {
public:
    static const char kMagic[8];
    static constexpr uint16_t kFormatVersion = 1;
    static constexpr uint32_t kMaxSteps = 60u * 60u * 60u * 4u;  // four hours of play
    static constexpr size_t kMaxFileBytes = 16u << 20;
    static constexpr size_t kMaxVersionLength = 32;

    uint16_t formatVersion;
    uint16_t stepRate;
    float mouseSensitivity;
    std::string gameVersion;
    std::vector<CDemoStep> steps;

    CDemoFile();

    // Reads a demo from bytes that may come from anywhere. False, with the reason in *error
    // (one short phrase), for anything that is not a whole demo this game can play.
    bool Parse(const uint8_t* data, size_t size, std::string* error);
    // Reads path; the reason also covers files that cannot be read.
    bool Load(const std::string& path, std::string* error);
    std::vector<uint8_t> Encode() const;

    // The version of this build, as written into new demos.
    static const char* GameVersion();
};

#endif
