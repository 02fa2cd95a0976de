#ifndef PONDQUEST_KEYS_H
#define PONDQUEST_KEYS_H

#include <cstdint>

// The twelve keys the game reads (and three sound keys beside them), named once for the engine, the devices,
// tools and tests.
namespace Keys {

// Windows virtual-key values, which is what the key handler receives.
constexpr int kVkReturn = 13;
constexpr int kVkCapital = 20;  // Caps Lock
constexpr int kVkEscape = 27;
constexpr int kVkSpace = 32;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;
constexpr int kVkAdd = 107;       // keypad +
constexpr int kVkSubtract = 109;  // keypad -
constexpr int kVkF1 = 112;
constexpr int kVkNumLock = 144;

// What each game key delivers on the polled path: W/S/A/D arrive as the arrow codes, and Q and
// P as the Caps Lock and Num Lock codes, which is what those keys deliver on the window path.
constexpr int kF1 = kVkF1;
constexpr int kQ = kVkCapital;
constexpr int kP = kVkNumLock;
constexpr int kSpace = kVkSpace;
constexpr int kEnter = kVkReturn;
constexpr int kW = kVkUp;
constexpr int kS = kVkDown;
constexpr int kA = kVkLeft;
constexpr int kD = kVkRight;
constexpr int kPadPlus = kVkAdd;
constexpr int kPadMinus = kVkSubtract;
constexpr int kEsc = kVkEscape;

// DirectInput scan codes of the physical keys (the polled keyboard's state is indexed by them).
constexpr uint8_t kScanEscape = 0x01;
constexpr uint8_t kScanQ = 0x10;
constexpr uint8_t kScanW = 0x11;
constexpr uint8_t kScanP = 0x19;
constexpr uint8_t kScanReturn = 0x1C;
constexpr uint8_t kScanA = 0x1E;
constexpr uint8_t kScanS = 0x1F;
constexpr uint8_t kScanD = 0x20;
constexpr uint8_t kScanSpace = 0x39;
constexpr uint8_t kScanF1 = 0x3B;
constexpr uint8_t kScanPadMinus = 0x4A;
constexpr uint8_t kScanPadPlus = 0x4E;

struct KeyRow {
    uint8_t scanCode;
    int key;           // delivered to the key handler
    const char* name;  // for scripts, tools and messages
};

constexpr int kKeyCount = 12;

// In the order the engine tests them every frame: of two keys held together, the earlier
// one is delivered first.
constexpr KeyRow kKeyTable[kKeyCount] = {
    {kScanF1, kF1, "F1"},
    {kScanQ, kQ, "Q"},
    {kScanP, kP, "P"},
    {kScanSpace, kSpace, "Space"},
    {kScanReturn, kEnter, "Enter"},
    {kScanW, kW, "W"},
    {kScanS, kS, "S"},
    {kScanA, kA, "A"},
    {kScanD, kD, "D"},
    {kScanPadPlus, kPadPlus, "KP+"},
    {kScanPadMinus, kPadMinus, "KP-"},
    {kScanEscape, kEsc, "Esc"},
};

// Added beside the twelve, for the sound: M mutes and unmutes, [ and ] step the music's
// volume. Each acts once per press, however long it is held.
constexpr int kVkM = 'M';
constexpr int kVkOem4 = 219;  // [ on a US layout
constexpr int kVkOem6 = 221;  // ]
constexpr int kMute = kVkM;
constexpr int kMusicDown = kVkOem4;
constexpr int kMusicUp = kVkOem6;
constexpr uint8_t kScanLeftBracket = 0x1A;
constexpr uint8_t kScanRightBracket = 0x1B;
constexpr uint8_t kScanM = 0x32;

constexpr int kSoundKeyCount = 3;
constexpr KeyRow kSoundKeyTable[kSoundKeyCount] = {
    {kScanM, kMute, "M"},
    {kScanLeftBracket, kMusicDown, "["},
    {kScanRightBracket, kMusicUp, "]"},
};

constexpr bool IsSoundKey(int key) { return key == kMute || key == kMusicDown || key == kMusicUp; }

}  // namespace Keys

#endif
