// Stand-ins for the window system calls the game makes.
// The window, its message queue (one message taken per loop turn), posting to it, message boxes, the
// system cursor and the live state of a key. platform/sdl/ implements them over SDL; platform/fake/
// scripts them for tests.
#pragma once
#include <cstdint>
#include <string>

#include "platform/window_handle.h"

// A message taken from the queue.
struct Message {
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

constexpr uint32_t WM_NULL = 0x0000;     // anything the game does not handle itself
constexpr uint32_t WM_DESTROY = 0x0002;  // the window's close request, or the game's own posted quit
constexpr uint32_t WM_HELP = 0x0053;     // the player asks for the controls (F1, a pad's right shoulder)
constexpr uint32_t MB_OK = 0x00000000;
constexpr uint32_t MB_ICONEXCLAMATION = 0x00000030;
constexpr int32_t VK_ESCAPE = 0x1B;

// Makes the game window (640 by 480 in the game), shown; null when it cannot be made (reason: PlatformError()).
WindowHandle CreateGameWindow(const std::string& title, int32_t width, int32_t height);

// Takes at most one message from the queue into msg; false when the queue is empty. A close request of
// the window arrives as WM_DESTROY, the player's ask for the controls as WM_HELP.
bool PeekMessageA(Message& msg);

// Queues a message for window; it is taken by a later PeekMessageA, like any other.
void PostMessageA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Default handling of a message the game does not handle itself.
intptr_t DefWindowProcA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Modal message box; returns when the player dismisses it. owner may be null (no parent).
void MessageBoxA(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t style);

// Hides or shows the system cursor where the game draws its own: over the picture in a window (the title bar
// and the bars beside a scaled picture keep it), over the whole screen in full screen.
void ShowCursor(bool show);

// Live state of a key right now (not the frame's snapshot): bit 0x8000 while held, and once for a press let
// go since the last ask. The game asks for VK_ESCAPE only; pad 0's Escape button counts as the key.
int16_t GetAsyncKeyState(int32_t virtualKey);

// The platform's last error text, for the reason a start failed (standard error).
std::string PlatformError();
