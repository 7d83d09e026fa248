// Test control of the fake keyboard, mouse and pads: the state the next PollInput will read.
#pragma once
#include <cstdint>

#include "platform/input.h"

// Holds or releases a key (DIK_ code 0..255) from the next poll on.
void FakeSetKey(int32_t dikCode, bool held);
// Adds mouse motion delivered at the next poll; the poll after reads 0 again unless moved again.
void FakeMoveMouse(int32_t dx, int32_t dy);
// Holds or releases mouse button index 0..3 (0 = left).
void FakeSetMouseButton(int index, bool held);
// Pad index 0..3: its record while connected; a disconnected pad does not answer.
void FakeSetPad(int index, const GamepadState& state, bool connected);
// Releases those buttons of pad index 0..3, the rest of its record unchanged.
void FakeReleasePadButtons(int index, uint16_t buttons);
// Number of device state reads and pad queries so far (to see that a poll happened).
int FakeDeviceReads();

// No keys, no motion, no buttons, no pads.
void ResetFakeInput();
