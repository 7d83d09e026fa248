// Test control of the fake window system: the window, its message queue, message boxes and live Escape.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system.h"

struct MessageBoxRecord {
  WindowHandle owner;
  std::string text;
  std::string caption;
  uint32_t style;
};

// Every message box shown since the last reset, in order (they return at once).
const std::vector<MessageBoxRecord>& FakeMessageBoxes();
// The fake game window: a valid non-null handle (CreateGameWindow hands it out).
WindowHandle FakeWindow();
// Queues a message as if the window system had sent it (e.g. WM_DESTROY for the close box).
void FakePushMessage(uint32_t message);
// Messages queued and not yet taken by PeekMessageA.
int FakePendingMessages();
// The Escape key as GetAsyncKeyState sees it (pad 0's Escape button counts too), held or not from now on.
void FakeSetLiveEscape(bool held);
// Escape reads as held for that many more GetAsyncKeyState reads, then as released.
void FakeReleaseLiveEscapeAfter(int reads);
// Pad 0's Escape button (held through FakeSetPad) is let go after that many more reads.
void FakeReleasePadEscapeAfter(int reads);
// GetAsyncKeyState(VK_ESCAPE) reads since the last reset.
int FakeLiveEscapeReads();
// Whether the last ShowCursor call asked for the system cursor (true before any call).
bool FakeSystemCursorShown();

// Queue, boxes, live Escape, cursor and error text back to the start.
void ResetFakeSystem();
