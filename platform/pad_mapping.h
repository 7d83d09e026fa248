// The first gamepad as keyboard and mouse, so a pad alone plays the whole game.
// Buttons stand for keys and the left mouse button, the right stick moves the cursor. Plain code over the
// pad record, shared by every stand-in; the left stick's arrows stay the control's own rule. The SDL pad
// reads its controller's buttons by SDL's game controller names into the record's bits, so the mapping
// below is the same on every pad SDL knows.
#pragma once
#include <cstdint>

#include "platform/input.h"

// A pad button and the key it holds down while held.
struct PadKey {
  uint16_t button;
  int32_t key;
};

// A is the click, so the kinds sit on the other three faces, clockwise from the left: rock, paper airplane,
// scissors, each beaten by the next. The creature, which throws away what it was in, is off the faces on
// the left shoulder. Back is Escape (to the title, and on the title: quit); Start restarts, and does
// nothing on the title, so a player reaching for "start" there is not thrown out.
constexpr PadKey kPadKeys[] = {
    {XINPUT_GAMEPAD_DPAD_UP, DIK_UP},     {XINPUT_GAMEPAD_DPAD_DOWN, DIK_DOWN},
    {XINPUT_GAMEPAD_DPAD_LEFT, DIK_LEFT}, {XINPUT_GAMEPAD_DPAD_RIGHT, DIK_RIGHT},
    {XINPUT_GAMEPAD_X, DIK_5},            {XINPUT_GAMEPAD_Y, DIK_6},
    {XINPUT_GAMEPAD_B, DIK_3},            {XINPUT_GAMEPAD_LEFT_SHOULDER, DIK_4},
    {XINPUT_GAMEPAD_BACK, DIK_ESCAPE},    {XINPUT_GAMEPAD_START, DIK_R},
};
constexpr uint16_t PAD_CLICK_BUTTON = XINPUT_GAMEPAD_A;    // the left mouse button
constexpr uint16_t PAD_ESCAPE_BUTTON = XINPUT_GAMEPAD_BACK;  // also read live by the wait for Escape

// The right stick's travel that moves nothing (the published right-stick dead zone), and the cursor's
// speed at full tilt in picture pixels per millisecond.
constexpr int32_t PAD_CURSOR_DEAD_ZONE = 8689;
constexpr float PAD_CURSOR_TOP_SPEED = 1.0f;

// Holds the keys and the left mouse button that pad's held buttons stand for; nothing is released.
void MapPadButtons(const GamepadState& pad, uint8_t keys[256], MouseState& mouse);

// Whole picture pixels the right stick moves the cursor over elapsedMs; fractions wait in carry. The speed
// grows with the square of the tilt past the dead zone: fine steps near the centre, the screen's width in
// well under a second at full tilt.
void PadCursorMotion(const GamepadState& pad, uint32_t elapsedMs, float carry[2], int32_t& dx, int32_t& dy);
