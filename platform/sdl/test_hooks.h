// Test hooks of the SDL stand-ins: what their tests see and steer that the game itself never does.
// The pixels on screen, the window's size and picture, the renderer's name, input events and a virtual
// gamepad. No SDL types here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The game window's pixels as last presented, ARGB, row by row; false when they cannot be read.
bool ReadScreen(std::vector<uint32_t>& argb, int32_t& width, int32_t& height);

// Resizes the game window (out of full screen) and lets the renderer see the new size.
void ResizeGameWindow(int32_t width, int32_t height);
// Full screen or back, as Alt+Enter switches it.
void SetTestFullscreen(bool full);
// The window system telling the game window that its pixels were lost (covered, say), and the window's
// framebuffer painted one colour (ARGB) behind the device's back, as such a loss leaves it (software
// renderer only).
void PushTestExpose();
void PaintTestScreen(uint32_t argb);

// Name of the renderer the device draws with ("" without a device).
std::string RendererName();

// A virtual game controller plugged in (true when it worked); axes and buttons use SDL's controller
// numbering (axis 0 left x, 1 left y, 2 right x, 3 right y, 4 left trigger, 5 right trigger). Two can be
// plugged in at once, told apart by which (0 or 1).
bool PlugTestPad(int32_t which = 0);
void SetTestPadAxis(int32_t axis, int16_t value, int32_t which = 0);
void SetTestPadButton(int32_t button, bool held, int32_t which = 0);
void UnplugTestPad(int32_t which = 0);

// Input as the window system delivers it, through SDL's own queue and so through the game's event filter.
// Scancodes are SDL's (USB usage numbers), buttons SDL's (1 = left), places in window pixels.
void PushTestKey(int32_t scancode, bool down);
void PushTestMouseButton(int32_t button, bool down, int32_t x, int32_t y);
void PushTestPointerMotion(int32_t x, int32_t y);
// The pointer put at (x, y) of the game window, as SDL itself then knows it (focus, place).
void PutTestPointer(int32_t x, int32_t y);
// Whether SDL shows the system cursor.
bool SystemCursorShown();
// Where the picture lies in the game window, in window pixels, as the window records it (until the next
// change of size or present).
void SetTestPicture(int32_t x, int32_t y, int32_t width, int32_t height);

// Whether present waits for the next retrace time when the renderer does not (on by default); the frame
// benchmarks turn it off so they measure the frame rather than the wait.
void SetPresentPacing(bool on);

// Frames composed and shown so far (a frame equal to the one on screen is not).
int64_t FramesComposed();

// Named SDL controller buttons the tests press.
constexpr int32_t kTestPadButtonA = 0;
constexpr int32_t kTestPadButtonBack = 4;
constexpr int32_t kTestPadButtonStart = 6;
constexpr int32_t kTestPadButtonDpadUp = 11;
