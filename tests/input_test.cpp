// The input layer over the fake devices: held keys, mouse motion per poll, pads cleared before each read.
#include "platform/input.h"

#include <cstring>

#include "platform/fake/fake_input.h"
#include "platform/fake/fake_system.h"
#include "support/fixture.h"

namespace {

class InputTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(InitInput(FakeWindow()));
  }
};

GamepadState SomePad() {
  GamepadState pad;
  pad.wButtons = 0x1001;
  pad.bLeftTrigger = 200;
  pad.bRightTrigger = 7;
  pad.sThumbLX = -32768;
  pad.sThumbLY = 32767;
  pad.sThumbRX = 1234;
  pad.sThumbRY = -4321;
  return pad;
}

bool Same(const GamepadState& a, const GamepadState& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(InputTest, HeldKeyReads0x80AndEveryOtherKeyZero) {
  FakeSetKey(DIK_LEFT, true);
  PollInput();
  EXPECT_EQ(IsKeyDown(DIK_LEFT), 0x80);
  for (int32_t key = 0; key < 256; ++key)
    if (key != DIK_LEFT) {
      EXPECT_EQ(IsKeyDown(key), 0) << key;
    }
  EXPECT_EQ(IsKeyDown(-1), 0);
  EXPECT_EQ(IsKeyDown(256), 0);

  FakeSetKey(DIK_LEFT, false);
  EXPECT_EQ(IsKeyDown(DIK_LEFT), 0x80);  // still the last poll's answer
  PollInput();
  EXPECT_EQ(IsKeyDown(DIK_LEFT), 0);
}

TEST_F(InputTest, MouseMotionCountsOnceThenStillnessReadsZero) {
  FakeMoveMouse(5, -3);
  FakeMoveMouse(2, 0);
  FakeSetMouseButton(0, true);
  PollInput();
  EXPECT_EQ(mouseState.lX, 7);
  EXPECT_EQ(mouseState.lY, -3);
  EXPECT_EQ(mouseState.rgbButtons[0], 0x80);
  PollInput();
  EXPECT_EQ(mouseState.lX, 0);
  EXPECT_EQ(mouseState.lY, 0);
  EXPECT_EQ(mouseState.rgbButtons[0], 0x80);  // a button stays held until released
}

TEST_F(InputTest, UnpluggedPadReadsAllZerosAtTheNextPoll) {
  FakeSetPad(0, SomePad(), true);
  PollInput();
  EXPECT_TRUE(Same(padStates[0], SomePad()));
  FakeSetPad(0, SomePad(), false);
  PollInput();
  EXPECT_TRUE(Same(padStates[0], GamepadState{}));
}

// Each pad's record is cleared and filled on its own: its neighbours keep exactly what their pads said.
TEST_F(InputTest, PollWritesOnlyEachPadsOwnRecord) {
  for (int connected = 0; connected < 4; ++connected) {
    ResetFakeInput();
    ResetInput();
    ASSERT_TRUE(InitInput(FakeWindow()));
    FakeSetPad(connected, SomePad(), true);
    PollInput();
    for (int pad = 0; pad < 4; ++pad)
      EXPECT_TRUE(Same(padStates[pad], pad == connected ? SomePad() : GamepadState{})) << connected << " " << pad;
  }
}

// Devices never acquired (no InitInput) fail their reads; that must not leave stale motion or keys behind.
TEST(InputFailureTest, FailedReadsLeaveNothingHeldAndNoMotion) {
  ResetAllState();
  keyboardState[DIK_UP] = 0x80;
  mouseState.lX = 9;
  FakeSetKey(DIK_DOWN, true);
  FakeMoveMouse(4, 4);
  PollInput();
  EXPECT_EQ(IsKeyDown(DIK_UP), 0);
  EXPECT_EQ(IsKeyDown(DIK_DOWN), 0);
  EXPECT_EQ(mouseState.lX, 0);
  EXPECT_EQ(mouseState.lY, 0);
}

}  // namespace
