// The window system stand-ins for tests: one window, a message queue, message boxes and a live Escape.
// A test feeds the queue; message boxes are recorded and return at once; the Escape key is scripted read
// by read.
#include "platform/fake/fake_system.h"

#include <deque>

#include "platform/fake/fake_input.h"
#include "platform/input_devices.h"
#include "platform/pad_mapping.h"

struct Window {
  int id = 1;
};

namespace {

Window window;
std::deque<Message> queue;
std::vector<MessageBoxRecord> boxes;
bool liveEscapeHeld = false;
int liveEscapeReadsLeft = -1;  // reads until a scripted release; -1 = no release scripted
int liveEscapeReads = 0;
bool releasePadEscape = false;  // the scripted release lets go of pad 0's Escape button too
bool systemCursorShown = true;
std::string lastError;

}  // namespace

const std::vector<MessageBoxRecord>& FakeMessageBoxes() { return boxes; }
WindowHandle FakeWindow() { return &window; }
void FakePushMessage(uint32_t message) { queue.push_back(Message{message, 0, 0}); }
int FakePendingMessages() { return static_cast<int>(queue.size()); }

void FakeSetLiveEscape(bool held) {
  liveEscapeHeld = held;
  liveEscapeReadsLeft = -1;
}

void FakeReleaseLiveEscapeAfter(int reads) {
  liveEscapeHeld = reads > 0;
  liveEscapeReadsLeft = reads > 0 ? reads : -1;
  releasePadEscape = false;
}

void FakeReleasePadEscapeAfter(int reads) {
  liveEscapeReadsLeft = reads > 0 ? reads : -1;
  releasePadEscape = reads > 0;
}

int FakeLiveEscapeReads() { return liveEscapeReads; }
bool FakeSystemCursorShown() { return systemCursorShown; }

void ResetFakeSystem() {
  queue.clear();
  boxes.clear();
  liveEscapeHeld = false;
  liveEscapeReadsLeft = -1;
  liveEscapeReads = 0;
  releasePadEscape = false;
  systemCursorShown = true;
  lastError.clear();
}

WindowHandle CreateGameWindow(const std::string&, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) {
    lastError = "the test refused the window";
    return nullptr;
  }
  return &window;
}

bool PeekMessageA(Message& msg) {
  if (queue.empty()) return false;
  msg = queue.front();
  queue.pop_front();
  return true;
}

void PostMessageA(WindowHandle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  queue.push_back(Message{message, wParam, lParam});
}

intptr_t DefWindowProcA(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

void MessageBoxA(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t style) {
  boxes.push_back(MessageBoxRecord{owner, text, caption, style});
}

void ShowCursor(bool show) { systemCursorShown = show; }

int16_t GetAsyncKeyState(int32_t virtualKey) {
  if (virtualKey != VK_ESCAPE) return 0;
  ++liveEscapeReads;
  // Pad 0's Escape button counts as Escape, read live like the key.
  XInputState pad{};
  const bool padHeld = XInputGetState(0, &pad) == ERROR_SUCCESS && (pad.Gamepad.wButtons & PAD_ESCAPE_BUTTON) != 0;
  const bool held = liveEscapeHeld || padHeld;
  if (liveEscapeReadsLeft > 0 && --liveEscapeReadsLeft == 0) {
    liveEscapeHeld = false;
    if (releasePadEscape) FakeReleasePadButtons(0, PAD_ESCAPE_BUTTON);
  }
  return held ? static_cast<int16_t>(0x8000) : 0;
}

std::string PlatformError() { return lastError; }
