// The input stand-ins on SDL's dummy drivers: the key code table and a virtual gamepad in the pad record.
#include "platform/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

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
  void TearDown() override { UnplugTestPad(); }
  static WindowHandle window;
};

WindowHandle PadSdlTest::window = nullptr;

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

}  // namespace
