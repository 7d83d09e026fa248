// The first gamepad as keyboard and mouse: buttons to keys and the click, the right stick to cursor motion.
#include "platform/pad_mapping.h"

#include <cmath>

void MapPadButtons(const GamepadState& pad, uint8_t keys[256], MouseState& mouse) {
  for (const PadKey& padKey : kPadKeys)
    if ((pad.wButtons & padKey.button) != 0) keys[padKey.key] = 0x80;
  if ((pad.wButtons & PAD_CLICK_BUTTON) != 0) mouse.rgbButtons[0] = 0x80;
}

void PadCursorMotion(const GamepadState& pad, uint32_t elapsedMs, float carry[2], int32_t& dx, int32_t& dy) {
  dx = dy = 0;
  // The record's stick is positive up, the cursor's y positive down.
  const float x = pad.sThumbRX;
  const float y = -static_cast<float>(pad.sThumbRY);
  const float tilt = std::sqrt(x * x + y * y);
  if (tilt <= PAD_CURSOR_DEAD_ZONE) {
    carry[0] = carry[1] = 0.0f;  // a resting stick leaves no half pixel to creep later
    return;
  }
  float past = (tilt - PAD_CURSOR_DEAD_ZONE) / (32767.0f - PAD_CURSOR_DEAD_ZONE);
  if (past > 1.0f) past = 1.0f;
  const float pixels = PAD_CURSOR_TOP_SPEED * past * past * static_cast<float>(elapsedMs);
  carry[0] += x / tilt * pixels;
  carry[1] += y / tilt * pixels;
  dx = static_cast<int32_t>(carry[0]);
  dy = static_cast<int32_t>(carry[1]);
  carry[0] -= static_cast<float>(dx);
  carry[1] -= static_cast<float>(dy);
}
