// Stand-ins for the keyboard, mouse and gamepad device calls the input layer makes.
// platform/sdl/ reads SDL's keyboard, the pointer's place and game controllers; platform/fake/ hands out what
// a test scripted.
#pragma once
#include <cstdint>

#include "platform/hresult.h"
#include "platform/input.h"
#include "platform/window_handle.h"

struct InputSystem;  // the device factory
struct InputDevice;  // the keyboard or the mouse

// Which device to create.
enum class DeviceGuid : int32_t { SysKeyboard, SysMouse };
constexpr DeviceGuid GUID_SysKeyboard = DeviceGuid::SysKeyboard;
constexpr DeviceGuid GUID_SysMouse = DeviceGuid::SysMouse;

// The state record a device fills: 256 key bytes, or the 16-byte mouse record with relative axes.
struct DataFormat {
  uint32_t size;
};
constexpr DataFormat c_dfDIKeyboard{256};
constexpr DataFormat c_dfDIMouse{sizeof(MouseState)};

constexpr uint32_t DIRECTINPUT_VERSION = 0x0800;
constexpr uint32_t DISCL_EXCLUSIVE = 0x1;
constexpr uint32_t DISCL_NONEXCLUSIVE = 0x2;
constexpr uint32_t DISCL_FOREGROUND = 0x4;

// What the pad query fills: a packet number that changes with the state, and the pad record.
struct XInputState {
  uint32_t dwPacketNumber;
  GamepadState Gamepad;
};
constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_DEVICE_NOT_CONNECTED = 1167;

HRESULT DirectInput8Create(uint32_t version, InputSystem** system);
HRESULT CreateDevice(InputSystem* system, DeviceGuid guid, InputDevice** device);
HRESULT SetDataFormat(InputDevice* device, const DataFormat& format);
HRESULT SetCooperativeLevel(InputDevice* device, WindowHandle window, uint32_t flags);
HRESULT Acquire(InputDevice* device);
// Copies the device's current state (size bytes of its format) into data.
HRESULT GetDeviceState(InputDevice* device, uint32_t size, void* data);
// The cursor moved by (dx, dy) picture pixels through something else than the mouse (the pad's stick),
// told once the poll's mouse record holds that move too: the mouse keeps its pointer under the cursor, and
// does not report that move again.
HRESULT MovePointer(InputDevice* mouse, int32_t dx, int32_t dy);
// ERROR_SUCCESS and the pad's state when pad userIndex (0..3) is connected, else ERROR_DEVICE_NOT_CONNECTED.
uint32_t XInputGetState(uint32_t userIndex, XInputState* state);
