// The polled keyboard and mouse: snapshots, lost devices, acquire clearing the keys, shut-down.
#include "app/CInputDevices.h"
#include "app/CInputScript.h"
#include "app/CKeyboardDevice.h"
#include "app/CMouseDevice.h"
#include "app/Keys.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

class InputDevices : public ::testing::Test {
protected:
    InputDevices() {
        ok = input.Initialize(nullptr, kInputKeyboard | kInputMouse);
        input.SetScript(&script);
        input.AcquireAll();
    }
    CInputScript script;
    CInputDevices input;
    bool ok = false;
};

TEST_F(InputDevices, ReadsAreSnapshotsTakenByUpdate) {
    ASSERT_TRUE(ok);
    ASSERT_NE(input.keyboard, nullptr);
    ASSERT_NE(input.mouse, nullptr);
    script.keys[Keys::kScanW] = 0x80;
    EXPECT_FALSE(input.KeyDown(Keys::kScanW));  // not read yet
    EXPECT_TRUE(input.Update());
    EXPECT_TRUE(input.KeyDown(Keys::kScanW));
    EXPECT_TRUE(input.KeyDown(Keys::kScanW));  // held: reported by every query and every read
    input.Update();
    EXPECT_TRUE(input.KeyDown(Keys::kScanW));

    // Pressed and released between two reads: never seen.
    script.keys[0x1F] = 0x80;
    script.keys[0x1F] = 0;
    input.Update();
    EXPECT_FALSE(input.KeyDown(0x1F));

    // Only bit 7 means down.
    script.keys[0x20] = 0x7F;
    input.Update();
    EXPECT_FALSE(input.KeyDown(0x20));
}

TEST_F(InputDevices, HighScanCodesReadTheirOwnByte) {
    script.keys[0xC8] = 0x80;
    input.Update();
    EXPECT_TRUE(input.KeyDown(0xC8));
    EXPECT_FALSE(input.KeyDown(0x48));
    EXPECT_FALSE(input.KeyDown(0xFF));
}

TEST_F(InputDevices, MouseMotionAndButtons) {
    int dx = 99, dy = 99;
    input.Update();
    input.GetMouseMovement(&dx, &dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    script.mouse.lX = -7;
    script.mouse.lY = 12;
    script.mouse.rgbButtons[1] = 0x80;
    input.Update();
    input.GetMouseMovement(&dx, &dy);
    EXPECT_EQ(dx, -7);
    EXPECT_EQ(dy, 12);
    EXPECT_FALSE(input.MouseButtonDown(0));
    EXPECT_TRUE(input.MouseButtonDown(1));
    EXPECT_FALSE(input.MouseButtonDown(4));  // out of range: no read past the four buttons
    EXPECT_FALSE(input.MouseButtonDown(-1));
}

TEST_F(InputDevices, LostDeviceKeepsMouseStateAndClearsKeysOnReacquire) {
    script.keys[Keys::kScanW] = 0x80;
    script.mouse.lX = 5;
    script.mouse.rgbButtons[0] = 0x80;
    input.Update();
    ASSERT_TRUE(input.KeyDown(Keys::kScanW));

    script.lost = true;
    script.mouse.lX = 40;
    EXPECT_TRUE(input.Update());  // reports nothing
    EXPECT_FALSE(input.keyboard->Update());
    // The keyboard's re-acquire attempt cleared its keys; the mouse keeps its last good read.
    EXPECT_FALSE(input.KeyDown(Keys::kScanW));
    int dx = 0, dy = 0;
    input.GetMouseMovement(&dx, &dy);
    EXPECT_EQ(dx, 5);
    EXPECT_TRUE(input.MouseButtonDown(0));

    // Back again: the next read re-acquires by itself.
    script.lost = false;
    input.Update();
    EXPECT_TRUE(input.KeyDown(Keys::kScanW));
    input.GetMouseMovement(&dx, &dy);
    EXPECT_EQ(dx, 40);
}

TEST_F(InputDevices, AcquireAndUnacquireClearTheKeysOnly) {
    script.keys[Keys::kScanSpace] = 0x80;
    script.mouse.lY = 3;
    input.Update();
    input.AcquireAll();
    EXPECT_FALSE(input.KeyDown(Keys::kScanSpace));
    int dx = 0, dy = 0;
    input.GetMouseMovement(&dx, &dy);
    EXPECT_EQ(dy, 3);

    input.Update();
    input.UnacquireAll();
    EXPECT_FALSE(input.KeyDown(Keys::kScanSpace));
    // Not acquired: the read acquires first.
    EXPECT_TRUE(input.keyboard->Update());
    EXPECT_TRUE(input.KeyDown(Keys::kScanSpace));
}

TEST_F(InputDevices, AfterShutdownEveryQueryIsFalse) {
    script.keys[Keys::kScanEscape] = 0x80;
    script.mouse.lX = 8;
    script.mouse.rgbButtons[0] = 0x80;
    input.Update();
    input.Shutdown();
    EXPECT_EQ(input.keyboard, nullptr);
    EXPECT_EQ(input.mouse, nullptr);
    EXPECT_FALSE(input.KeyDown(Keys::kScanEscape));
    EXPECT_FALSE(input.MouseButtonDown(0));
    int dx = 11, dy = 12;
    input.GetMouseMovement(&dx, &dy);
    EXPECT_EQ(dx, 11);
    EXPECT_EQ(dy, 12);
    EXPECT_TRUE(input.Update());
    input.Shutdown();  // twice is harmless
}

TEST(InputDevicesSetup, DeviceMaskChoosesTheDevices) {
    CInputDevices keyboardOnly;
    ASSERT_TRUE(keyboardOnly.Initialize(nullptr, kInputKeyboard));
    EXPECT_NE(keyboardOnly.keyboard, nullptr);
    EXPECT_EQ(keyboardOnly.mouse, nullptr);
    int dx = 4, dy = 4;
    keyboardOnly.GetMouseMovement(&dx, &dy);
    EXPECT_EQ(dx, 4);

    CInputDevices none;
    ASSERT_TRUE(none.Initialize(nullptr, 0));
    EXPECT_EQ(none.keyboard, nullptr);
    EXPECT_FALSE(none.KeyDown(Keys::kScanW));
}

TEST(InputDevicesSetup, RealKeyboardReadsNothingHeldWithoutEvents) {
    // The SDL path maps the twelve game keys; with no key events nothing is down.
    CInputDevices input;
    ASSERT_TRUE(input.Initialize(nullptr, kInputKeyboard));
    EXPECT_TRUE(input.Update());
    for (int code = 0; code < 256; ++code)
        EXPECT_FALSE(input.KeyDown(static_cast<uint8_t>(code))) << code;
}

TEST(InputDevicesSetup, TheTwelveGameKeysMapToSdlScancodes) {
    const int sdl[12] = {SDL_SCANCODE_F1,      SDL_SCANCODE_Q,        SDL_SCANCODE_P,
                         SDL_SCANCODE_SPACE,   SDL_SCANCODE_RETURN,   SDL_SCANCODE_W,
                         SDL_SCANCODE_S,       SDL_SCANCODE_A,        SDL_SCANCODE_D,
                         SDL_SCANCODE_KP_PLUS, SDL_SCANCODE_KP_MINUS, SDL_SCANCODE_ESCAPE};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(SdlScancodeFromDik(Keys::kKeyTable[i].scanCode), sdl[i]) << Keys::kKeyTable[i].name;
    EXPECT_EQ(SdlScancodeFromDik(0x12), SDL_SCANCODE_UNKNOWN);
}

}  // namespace
