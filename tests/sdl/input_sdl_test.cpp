// The input stand-ins on SDL's dummy drivers: the key code table, events through SDL's own queue (presses
// let go before the poll, the pointer's place) and a virtual gamepad in the pad record and as keys and mouse.
#include "platform/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "game/game.h"
#include "platform/sdl/key_codes.h"
#include "platform/sdl/test_hooks.h"
#include "platform/system.h"

namespace {

// SDL scancode values of the keys the game asks for (USB usage numbers).
TEST(KeyCodeTest, KeysTheGameUsesMapToTheirDirectInputCodes) {
  EXPECT_EQ(DirectInputKeyFromScancode(41), DIK_ESCAPE);
  EXPECT_EQ(DirectInputKeyFromScancode(32), DIK_3);
  EXPECT_EQ(DirectInputKeyFromScancode(33), DIK_4);
  EXPECT_EQ(DirectInputKeyFromScancode(34), DIK_5);
  EXPECT_EQ(DirectInputKeyFromScancode(35), DIK_6);
  EXPECT_EQ(DirectInputKeyFromScancode(82), DIK_UP);
  EXPECT_EQ(DirectInputKeyFromScancode(80), DIK_LEFT);
  EXPECT_EQ(DirectInputKeyFromScancode(79), DIK_RIGHT);
  EXPECT_EQ(DirectInputKeyFromScancode(81), DIK_DOWN);
  // Keypad arrows are other keys with other codes.
  EXPECT_EQ(DirectInputKeyFromScancode(96), 0x48);
  EXPECT_EQ(DirectInputKeyFromScancode(0), 0);
  EXPECT_EQ(DirectInputKeyFromScancode(-1), 0);
  EXPECT_EQ(DirectInputKeyFromScancode(100000), 0);
}

TEST(KeyCodeTest, EveryLetterAndDigitHasItsOwnCode) {
  std::vector<int32_t> seen;
  for (int32_t scancode = 4; scancode <= 39; ++scancode) {  // A..Z, 1..0
    const int32_t dik = DirectInputKeyFromScancode(scancode);
    EXPECT_NE(dik, 0) << scancode;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), dik), 0) << scancode;
    seen.push_back(dik);
  }
}

TEST(KeyCodeTest, KeyboardStateHoldsExactlyTheHeldKeys) {
  std::vector<uint8_t> sdlKeys(512, 0);
  sdlKeys[82] = 1;  // up
  sdlKeys[34] = 1;  // 5
  uint8_t keys[256];
  std::fill(std::begin(keys), std::end(keys), 0x55);
  FillKeyboardState(sdlKeys.data(), static_cast<int32_t>(sdlKeys.size()), keys);
  for (int32_t dik = 0; dik < 256; ++dik) EXPECT_EQ(keys[dik], dik == DIK_UP || dik == DIK_5 ? 0x80 : 0) << dik;
}

class PadSdlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    window = CreateGameWindow("Vems", 640, 480);
    ASSERT_NE(window, nullptr) << PlatformError();
    ASSERT_TRUE(InitInput(window));
  }
  void TearDown() override {
    UnplugTestPad(0);
    UnplugTestPad(1);
  }
  static WindowHandle window;
};

WindowHandle PadSdlTest::window = nullptr;

// SDL scancodes and buttons used below.
constexpr int32_t kScancodeLeft = 80;
constexpr int32_t kScancodeEscape = 41;
constexpr int32_t kLeftButton = 1;

// A tap, a touchpad's click: down and up both before the poll. It reads as held at that poll, once.
TEST_F(PadSdlTest, PressesLetGoBeforeThePollCountOnceAtIt) {
  PollInput();
  PushTestKey(kScancodeLeft, true);
  PushTestKey(kScancodeLeft, false);
  PushTestMouseButton(kLeftButton, true, 10, 10);
  PushTestMouseButton(kLeftButton, false, 10, 10);
  PollInput();
  EXPECT_EQ(IsKeyDown(DIK_LEFT), 0x80);
  EXPECT_EQ(mouseState.rgbButtons[0], 0x80);
  PollInput();
  EXPECT_EQ(IsKeyDown(DIK_LEFT), 0);
  EXPECT_EQ(mouseState.rgbButtons[0], 0);

  // Escape is read live; a tap since the last read is held for one read.
  PushTestKey(kScancodeEscape, true);
  PushTestKey(kScancodeEscape, false);
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0x8000);
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
}

// The cursor's move is the way to the pointer's place in the picture, whatever the picture's scale.
TEST_F(PadSdlTest, CursorGoesToThePointersPlaceInThePicture) {
  int32_t& x = cursorX;  // the game's cursor, which the mouse measures its moves from
  int32_t& y = cursorY;
  const auto moveTo = [&](int32_t windowX, int32_t windowY) {
    PushTestPointerMotion(windowX, windowY);
    PollInput();
    x += mouseState.lX;
    y += mouseState.lY;
  };
  // Wherever earlier tests left it, the pointer in the middle of an unscaled picture is the middle.
  SetTestPicture(0, 0, 640, 480);
  moveTo(320, 240);
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 240);
  moveTo(330, 250);
  EXPECT_EQ(x, 330);
  EXPECT_EQ(y, 250);

  SetTestPicture(40, 30, 960, 720);  // a scale of 1.5 with bars round it
  moveTo(40, 30);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  moveTo(40 + 301, 30 + 452);  // 301 / 1.5 = 200.67, 452 / 1.5 = 301.33
  EXPECT_EQ(x, 200);
  EXPECT_EQ(y, 301);
  PollInput();  // a pointer at rest moves nothing
  EXPECT_EQ(mouseState.lX, 0);
  EXPECT_EQ(mouseState.lY, 0);
  moveTo(1000, 2);  // beside the picture: its nearest edge
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 0);
  SetTestPicture(0, 0, 640, 480);
  x = 320;
  y = 240;
}

// In a window the system cursor shows beside the picture (a bar, the title bar) and hides over it.
TEST_F(PadSdlTest, SystemCursorHidesOverThePictureOnly) {
  SetTestPicture(80, 60, 480, 360);
  PutTestPointer(40, 200);
  ShowCursor(false);
  EXPECT_TRUE(SystemCursorShown());
  PutTestPointer(300, 200);
  ShowCursor(false);
  EXPECT_FALSE(SystemCursorShown());
  ShowCursor(true);
  EXPECT_TRUE(SystemCursorShown());
  SetTestPicture(0, 0, 640, 480);
}

TEST_F(PadSdlTest, StickUpIsPositiveAndFullDeflectionStaysInRange) {
  ASSERT_TRUE(PlugTestPad());
  PollInput();  // a pad plugged in while running is picked up
  SetTestPadAxis(1, -32768);  // SDL: left stick fully up
  SetTestPadAxis(0, -32768);  // fully left
  SetTestPadButton(kTestPadButtonA, true);
  PollInput();
  EXPECT_EQ(padStates[0].sThumbLY, 32767);
  EXPECT_EQ(padStates[0].sThumbLX, -32768);
  EXPECT_EQ(padStates[0].wButtons, 0x1000);

  SetTestPadAxis(1, 32767);  // fully down
  SetTestPadAxis(4, 32767);  // left trigger fully in
  SetTestPadButton(kTestPadButtonA, false);
  SetTestPadButton(kTestPadButtonDpadUp, true);
  PollInput();
  EXPECT_EQ(padStates[0].sThumbLY, -32767);
  EXPECT_EQ(padStates[0].bLeftTrigger, 255);
  EXPECT_EQ(padStates[0].wButtons, 0x0001);
}

// SDL's controller names reach the keys, the click and the live Escape, and the right stick the cursor.
TEST_F(PadSdlTest, PadButtonsActAsKeysAndClickAndTheRightStickMovesTheCursor) {
  ASSERT_TRUE(PlugTestPad());
  PollInput();
  SetTestPadButton(kTestPadButtonDpadUp, true);
  SetTestPadButton(kTestPadButtonA, true);
  SetTestPadButton(kTestPadButtonStart, true);
  SetTestPadAxis(2, 32767);  // right stick fully right
  PollInput();
  EXPECT_EQ(IsKeyDown(DIK_UP), 0x80);
  EXPECT_EQ(IsKeyDown(DIK_R), 0x80);
  EXPECT_EQ(mouseState.rgbButtons[0], 0x80);
  int32_t moved = 0;
  for (int poll = 0; poll < 10 && moved == 0; ++poll) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    PollInput();
    moved = mouseState.lX;
  }
  EXPECT_GT(moved, 0);

  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
  SetTestPadButton(kTestPadButtonBack, true);
  EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0x8000);
}

TEST_F(PadSdlTest, UnpluggedPadReadsZerosAtTheNextPoll) {
  ASSERT_TRUE(PlugTestPad());
  PollInput();
  SetTestPadAxis(0, 20000);
  PollInput();
  ASSERT_EQ(padStates[0].sThumbLX, 20000);
  UnplugTestPad();
  PollInput();
  const GamepadState zero{};
  EXPECT_EQ(std::memcmp(&padStates[0], &zero, sizeof zero), 0);
  for (int pad = 1; pad < 4; ++pad) EXPECT_EQ(std::memcmp(&padStates[pad], &zero, sizeof zero), 0);
}

// Two pads: when pad 0 goes (a flat battery) the other one is pad 0 at the next poll, without being plugged
// in again; a pad plugged in later goes behind the one in use.
TEST_F(PadSdlTest, NextPadTakesOverWhenPadZeroGoesAndALaterOneDoesNot) {
  ASSERT_TRUE(PlugTestPad(0));
  ASSERT_TRUE(PlugTestPad(1));
  SetTestPadAxis(0, 11111, 0);
  SetTestPadAxis(0, 22222, 1);
  PollInput();
  ASSERT_EQ(padStates[0].sThumbLX, 11111);
  ASSERT_EQ(padStates[1].sThumbLX, 22222);

  UnplugTestPad(0);
  PollInput();
  EXPECT_EQ(padStates[0].sThumbLX, 22222);
  EXPECT_EQ(padStates[1].sThumbLX, 0);

  ASSERT_TRUE(PlugTestPad(0));
  SetTestPadAxis(0, 11111, 0);
  PollInput();
  EXPECT_EQ(padStates[0].sThumbLX, 22222);
  EXPECT_EQ(padStates[1].sThumbLX, 11111);
}

}  // namespace
