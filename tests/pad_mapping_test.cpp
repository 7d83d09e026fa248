// The first gamepad as keyboard and mouse: its buttons hold keys and the click, its right stick moves the
// cursor, and a pad alone goes from the title into a level and back.
#include "platform/pad_mapping.h"

#include "game/game.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_input.h"
#include "platform/fake/fake_system.h"
#include "support/game_start.h"

namespace {

GamepadState Buttons(uint16_t buttons) {
  GamepadState pad{};
  pad.wButtons = buttons;
  return pad;
}

GamepadState RightStick(int16_t x, int16_t y) {
  GamepadState pad{};
  pad.sThumbRX = x;
  pad.sThumbRY = y;
  return pad;
}

class PadMappingTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(InitInput(FakeWindow()));
  }
  // The cursor's travel over polls 1/60 s apart (17 ms, now and then 16).
  void Travel(int polls, int32_t& dx, int32_t& dy) {
    dx = dy = 0;
    for (int i = 0; i < polls; ++i) {
      AdvanceTickCount(i % 3 == 2 ? 16 : 17);
      PollInput();
      dx += mouseState.lX;
      dy += mouseState.lY;
    }
  }
};

TEST_F(PadMappingTest, EachButtonHoldsItsKeyOrTheClickOnlyOnPadZero) {
  const struct {
    uint16_t button;
    int32_t key;  // -1: the left mouse button
  } expected[] = {
      {XINPUT_GAMEPAD_DPAD_UP, DIK_UP},     {XINPUT_GAMEPAD_DPAD_DOWN, DIK_DOWN},
      {XINPUT_GAMEPAD_DPAD_LEFT, DIK_LEFT}, {XINPUT_GAMEPAD_DPAD_RIGHT, DIK_RIGHT},
      {XINPUT_GAMEPAD_X, DIK_5},            {XINPUT_GAMEPAD_Y, DIK_6},
      {XINPUT_GAMEPAD_B, DIK_3},            {XINPUT_GAMEPAD_LEFT_SHOULDER, DIK_4},
      {XINPUT_GAMEPAD_BACK, DIK_ESCAPE},    {XINPUT_GAMEPAD_START, DIK_R},
      {XINPUT_GAMEPAD_A, -1},
  };
  for (const auto& e : expected) {
    FakeSetPad(0, Buttons(e.button), true);
    PollInput();
    for (int32_t key = 0; key < 256; ++key) EXPECT_EQ(IsKeyDown(key), key == e.key ? 0x80 : 0) << e.button << " " << key;
    EXPECT_EQ(mouseState.rgbButtons[0], e.key == -1 ? 0x80 : 0) << e.button;
    EXPECT_EQ(padStates[0].wButtons, e.button);  // the record itself is as the pad said
  }
  // The same buttons on another pad, or pad 0's buttons let go: nothing held.
  FakeSetPad(0, GamepadState{}, true);
  FakeSetPad(1, Buttons(0xFFFF), true);
  PollInput();
  for (int32_t key = 0; key < 256; ++key) EXPECT_EQ(IsKeyDown(key), 0) << key;
  EXPECT_EQ(mouseState.rgbButtons[0], 0);
}

TEST_F(PadMappingTest, RightStickCrossesTheScreenInUnderASecondAndCreepsNearTheCentre) {
  int32_t dx = 0;
  int32_t dy = 0;
  FakeSetPad(0, RightStick(PAD_CURSOR_DEAD_ZONE, 0), true);
  Travel(60, dx, dy);
  EXPECT_EQ(dx, 0);  // a stick resting off-centre inside the dead zone
  EXPECT_EQ(dy, 0);

  FakeSetPad(0, RightStick(32767, 0), true);
  Travel(40, dx, dy);  // two thirds of a second
  EXPECT_GE(dx, 600);
  EXPECT_EQ(dy, 0);

  // Up on the stick is up on the screen; a light tilt moves a pixel or two a frame at most, yet moves.
  FakeSetPad(0, RightStick(0, 13000), true);
  Travel(1, dx, dy);
  Travel(60, dx, dy);
  EXPECT_LT(dy, -5);
  EXPECT_GE(dy, -120);
  EXPECT_EQ(dx, 0);

  // A stall of the game does not throw the cursor across the screen.
  FakeSetPad(0, RightStick(-32768, 0), true);
  AdvanceTickCount(2000);
  PollInput();
  EXPECT_LE(-mouseState.lX, 60);
}

class PadPlayTest : public StartedGameTest {
 protected:
  void PadFrame(uint16_t buttons, int16_t stickX, int16_t stickY) {
    GamepadState pad = RightStick(stickX, stickY);
    pad.wButtons = buttons;
    FakeSetPad(0, pad, true);
    AdvanceTickCount(17);
    Frame();
  }
};

// No keyboard, no mouse: the stick takes the cursor onto Play, A starts the first level, Back returns to
// the title through the wait for Escape's release, and the title does not quit on it.
TEST_F(PadPlayTest, PadAloneStartsTheFirstLevelAndLeavesIt) {
  for (int frame = 0; frame < 200 && cursorX > 200; ++frame) PadFrame(0, -16000, 0);
  for (int frame = 0; frame < 200 && cursorY < 330; ++frame) PadFrame(0, 0, -16000);
  ASSERT_GE(cursorX, 154);
  ASSERT_LT(cursorX, 272);
  ASSERT_GE(cursorY, 316);
  ASSERT_LT(cursorY, 350);
  PadFrame(XINPUT_GAMEPAD_A, 0, 0);
  EXPECT_EQ(gameState, Playing);
  EXPECT_EQ(loadedLevelFile, "level1.vem");

  PadFrame(0, 0, 0);
  FakeReleasePadEscapeAfter(20);
  PadFrame(XINPUT_GAMEPAD_BACK, 0, 0);
  EXPECT_EQ(gameState, Title);
  EXPECT_GE(FakeLiveEscapeReads(), 20);
  Frame();
  EXPECT_EQ(FakePendingMessages(), 0);
}

}  // namespace
