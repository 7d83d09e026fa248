// The keyboard, mouse and pad stand-ins for tests: devices that hand out the state a test scripted.
#include "platform/fake/fake_input.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/input_devices.h"

struct InputSystem {};

struct InputDevice {
  DeviceGuid guid = DeviceGuid::SysKeyboard;
  uint32_t formatSize = 0;  // 0 until a data format is set
  bool acquired = false;
};

namespace {

// What the devices report at the next read.
struct Scripted {
  uint8_t keys[256] = {};
  int32_t dx = 0;
  int32_t dy = 0;
  uint8_t buttons[4] = {};
  GamepadState pads[4] = {};
  bool connected[4] = {};
  uint32_t packet = 0;
};

Scripted scripted;
int deviceReads = 0;
// Owned here so a reset frees them; the game keeps them for the whole run.
std::vector<std::unique_ptr<InputSystem>> systems;
std::vector<std::unique_ptr<InputDevice>> devices;

constexpr HRESULT DIERR_NOTACQUIRED = MakeResult(0x8007000C);

bool Owns(const InputDevice* device) {
  return std::any_of(devices.begin(), devices.end(),
                     [device](const std::unique_ptr<InputDevice>& p) { return p.get() == device; });
}

}  // namespace

void FakeSetKey(int32_t dikCode, bool held) {
  if (dikCode >= 0 && dikCode < 256) scripted.keys[dikCode] = held ? 0x80 : 0;
}

void FakeMoveMouse(int32_t dx, int32_t dy) {
  scripted.dx += dx;
  scripted.dy += dy;
}

void FakeSetMouseButton(int index, bool held) {
  if (index >= 0 && index < 4) scripted.buttons[index] = held ? 0x80 : 0;
}

void FakeReleasePadButtons(int index, uint16_t buttons) {
  if (index < 0 || index >= 4) return;
  scripted.pads[index].wButtons = static_cast<uint16_t>(scripted.pads[index].wButtons & ~buttons);
  ++scripted.packet;
}

void FakeSetPad(int index, const GamepadState& state, bool connected) {
  if (index < 0 || index >= 4) return;
  scripted.pads[index] = connected ? state : GamepadState{};
  scripted.connected[index] = connected;
  ++scripted.packet;
}

int FakeDeviceReads() { return deviceReads; }

void ResetFakeInput() {
  scripted = Scripted();
  deviceReads = 0;
  systems.clear();
  devices.clear();
}

HRESULT DirectInput8Create(uint32_t version, InputSystem** system) {
  *system = nullptr;
  if (version != DIRECTINPUT_VERSION) return E_INVALIDARG;
  systems.push_back(std::make_unique<InputSystem>());
  *system = systems.back().get();
  return S_OK;
}

HRESULT CreateDevice(InputSystem* system, DeviceGuid guid, InputDevice** device) {
  *device = nullptr;
  if (system == nullptr) return E_INVALIDARG;
  devices.push_back(std::make_unique<InputDevice>());
  devices.back()->guid = guid;
  *device = devices.back().get();
  return S_OK;
}

HRESULT SetDataFormat(InputDevice* device, const DataFormat& format) {
  if (!Owns(device)) return E_INVALIDARG;
  device->formatSize = format.size;
  return S_OK;
}

HRESULT SetCooperativeLevel(InputDevice* device, WindowHandle window, uint32_t) {
  return Owns(device) && window != nullptr ? S_OK : E_INVALIDARG;
}

HRESULT Acquire(InputDevice* device) {
  if (!Owns(device) || device->formatSize == 0) return E_INVALIDARG;
  device->acquired = true;
  return S_OK;
}

// Writes exactly size bytes, and only when the size matches the device's format, as the real call does.
HRESULT GetDeviceState(InputDevice* device, uint32_t size, void* data) {
  if (!Owns(device) || size != device->formatSize) return E_INVALIDARG;
  if (!device->acquired) return DIERR_NOTACQUIRED;
  ++deviceReads;
  switch (device->guid) {
    case DeviceGuid::SysKeyboard:
      if (size != sizeof scripted.keys) return E_INVALIDARG;
      std::memcpy(data, scripted.keys, size);
      break;
    case DeviceGuid::SysMouse: {
      if (size != sizeof(MouseState)) return E_INVALIDARG;
      MouseState mouse{scripted.dx, scripted.dy, 0, {}};
      std::memcpy(mouse.rgbButtons, scripted.buttons, sizeof mouse.rgbButtons);
      std::memcpy(data, &mouse, size);
      scripted.dx = 0;
      scripted.dy = 0;
      break;
    }
  }
  return S_OK;
}

// Motion here is scripted as relative moves, so there is no pointer to keep under the cursor.
HRESULT MovePointer(InputDevice* mouse, int32_t, int32_t) { return Owns(mouse) ? S_OK : E_INVALIDARG; }

uint32_t XInputGetState(uint32_t userIndex, XInputState* state) {
  ++deviceReads;
  if (userIndex >= 4 || !scripted.connected[userIndex]) return ERROR_DEVICE_NOT_CONNECTED;
  state->dwPacketNumber = scripted.packet;
  state->Gamepad = scripted.pads[userIndex];
  return ERROR_SUCCESS;
}
