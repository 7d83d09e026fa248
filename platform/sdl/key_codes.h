// Keyboard translation between SDL scancodes and DirectInput key codes; no SDL types, so tests can use it.
#pragma once
#include <cstdint>

// The DirectInput key code (1..255) of an SDL scancode value, 0 for a key with none.
int32_t DirectInputKeyFromScancode(int32_t scancode);

// keys[dik] = 0x80 for every held scancode in sdlKeys (SDL's keyboard state array), 0 elsewhere.
void FillKeyboardState(const uint8_t* sdlKeys, int32_t sdlKeyCount, uint8_t keys[256]);
