// The game's input layer: keyboard, mouse and four gamepads read once per frame into state records.
// The records have the published layouts (key codes, the 16-byte mouse record, the 12-byte pad record).
#pragma once
#include <cstdint>

#include "platform/window_handle.h"

struct MouseState {
  int32_t lX;               // motion to the right since the previous poll
  int32_t lY;               // motion downwards since the previous poll
  int32_t lZ;               // wheel motion (unused by the game)
  uint8_t rgbButtons[4];    // left, right, middle, fourth; high bit while held
};
static_assert(sizeof(MouseState) == 16, "mouse record layout");

struct GamepadState {
  uint16_t wButtons;      // held buttons, published bit values
  uint8_t bLeftTrigger;   // 0..255
  uint8_t bRightTrigger;  // 0..255
  int16_t sThumbLX;       // left stick, positive right
  int16_t sThumbLY;       // left stick, positive UP
  int16_t sThumbRX;
  int16_t sThumbRY;
};
static_assert(sizeof(GamepadState) == 12, "pad record layout");

// Button bits of the pad record (published values).
constexpr uint16_t XINPUT_GAMEPAD_DPAD_UP = 0x0001;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_DOWN = 0x0002;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_LEFT = 0x0004;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_RIGHT = 0x0008;
constexpr uint16_t XINPUT_GAMEPAD_START = 0x0010;
constexpr uint16_t XINPUT_GAMEPAD_BACK = 0x0020;
constexpr uint16_t XINPUT_GAMEPAD_LEFT_THUMB = 0x0040;
constexpr uint16_t XINPUT_GAMEPAD_RIGHT_THUMB = 0x0080;
constexpr uint16_t XINPUT_GAMEPAD_LEFT_SHOULDER = 0x0100;
constexpr uint16_t XINPUT_GAMEPAD_RIGHT_SHOULDER = 0x0200;
constexpr uint16_t XINPUT_GAMEPAD_A = 0x1000;
constexpr uint16_t XINPUT_GAMEPAD_B = 0x2000;
constexpr uint16_t XINPUT_GAMEPAD_X = 0x4000;
constexpr uint16_t XINPUT_GAMEPAD_Y = 0x8000;

// Key codes the game asks for (published scan code values).
constexpr int32_t DIK_ESCAPE = 0x01;
constexpr int32_t DIK_3 = 0x04;
constexpr int32_t DIK_4 = 0x05;
constexpr int32_t DIK_5 = 0x06;
constexpr int32_t DIK_6 = 0x07;
constexpr int32_t DIK_R = 0x13;  // restart the level
constexpr int32_t DIK_UP = 0xC8;
constexpr int32_t DIK_LEFT = 0xCB;
constexpr int32_t DIK_RIGHT = 0xCD;
constexpr int32_t DIK_DOWN = 0xD0;

// ---- Input layer state (zero until the first poll) ----
extern uint8_t keyboardState[256];  // by key code; 0x80 while held at the last poll
extern MouseState mouseState;       // motion since the poll before, buttons held
extern GamepadState padStates[4];   // pads 0..3; all zero when not connected

// Opens keyboard, mouse and pads for window and hides the device cursor; always true.
bool InitInput(WindowHandle window);

// Reads mouse, keyboard and the four pads into the state records; once per frame. Pad 0 then also holds
// the keys and the left button its buttons stand for, and its right stick adds cursor motion.
void PollInput();

// 0x80 when keyCode (0..255) was held at the last poll, else 0.
int32_t IsKeyDown(int32_t keyCode);

// Tests: the state records back to zero.
void ResetInput();
