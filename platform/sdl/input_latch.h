// Input events latched as they arrive, for the device reads once a frame. Only platform/sdl/ includes this.
// Keys and buttons that went down count as held at the next read even when let go before it, the pointer's
// last place over the window is kept, and Escape is kept for the live ask.
#pragma once
#include <SDL.h>

// Notes a keyboard or mouse event before the queue drops it. Called by the message queue's event filter.
void NoteInputEvent(const SDL_Event& event);

// Everything noted forgotten. Called when the mouse is acquired.
void ForgetInputEvents();

// Copies the keys that went down since the last take (1 by scancode) into pressed and forgets them. Called by
// the keyboard read.
void TakeKeyPresses(Uint8 (&pressed)[SDL_NUM_SCANCODES]);

// The mouse buttons (SDL_BUTTON masks) that went down since the last take. Called by the mouse read.
Uint32 TakeButtonPresses();

// Whether the pointer moved over the game window since it was last taken or forgotten. Called by the mouse read.
bool PointerMoved();
// The pointer's last place in window pixels, if it moved since the last take; the move is then taken. Called
// by the mouse read.
bool TakePointerMove(int& x, int& y);
// The pointer's move forgotten (the mouse put the pointer somewhere itself). Called by the mouse read.
void ForgetPointerMove();
