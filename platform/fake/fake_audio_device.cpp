// The sound device for tests: buffers in memory, every call logged, plays counted, failures on demand.
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/audio_device.h"
#include "platform/directsound.h"
#include "platform/fake/fake_audio.h"

struct SoundDevice {
  uint32_t cooperativeLevel = 0;
  std::set<SoundBuffer*> buffers;  // left behind, not released, when the device goes
};

struct SoundBuffer {
  int number = 0;
  SoundDevice* device = nullptr;  // null once the device was released
  bool primary = false;
  uint32_t flags = 0;
  WaveFormat format = {};
  std::shared_ptr<std::vector<uint8_t>> samples;  // shared with duplicates
  bool playing = false;
  bool lost = false;
  int restoreFailures = 0;
  int plays = 0;
};

namespace {

bool deviceMissing = false;
std::map<std::string, HRESULT> failures;
std::vector<std::string> calls;
std::set<SoundBuffer*> liveBuffers;
int buffersMade = 0;
WaveFormat primaryFormat = {};
uint32_t sleptMilliseconds = 0;

// Logs call and answers the result a test asked for (S_OK when none). A success code asked for is
// answered after the call did its work.
HRESULT Record(const std::string& call, const SoundBuffer* buffer = nullptr) {
  calls.push_back(buffer != nullptr ? call + " #" + std::to_string(buffer->number) : call);
  auto failure = failures.find(call);
  if (failure == failures.end()) return S_OK;
  HRESULT result = failure->second;
  failures.erase(failure);
  return result;
}

SoundBuffer* MakeBuffer(SoundDevice* device) {
  SoundBuffer* buffer = new SoundBuffer;
  buffer->number = ++buffersMade;
  buffer->device = device;
  device->buffers.insert(buffer);
  liveBuffers.insert(buffer);
  return buffer;
}

}  // namespace

// ---- The device calls ----

HRESULT DirectSoundCreate8(SoundDevice** device) {
  HRESULT injected = Record("DirectSoundCreate8");
  if (FAILED(injected)) return injected;
  if (device == nullptr) return DSERR_INVALIDPARAM;
  if (deviceMissing) return DSERR_NODRIVER;
  *device = new SoundDevice;
  return injected;
}

HRESULT SetCooperativeLevel(SoundDevice* device, WindowHandle, uint32_t level) {
  HRESULT injected = Record("SetCooperativeLevel");
  if (FAILED(injected)) return injected;
  if (device == nullptr) return DSERR_INVALIDPARAM;
  device->cooperativeLevel = level;
  return injected;
}

HRESULT CreateSoundBuffer(SoundDevice* device, const BufferDescription* description, SoundBuffer** buffer) {
  HRESULT injected = Record("CreateSoundBuffer");
  if (FAILED(injected)) return injected;
  if (device == nullptr || description == nullptr || buffer == nullptr) return DSERR_INVALIDPARAM;
  bool primary = (description->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
  if (primary) {
    if (description->dwBufferBytes != 0 || description->lpwfxFormat != nullptr) return DSERR_INVALIDPARAM;
  } else {
    if (description->lpwfxFormat == nullptr) return DSERR_INVALIDPARAM;
    if (!IsMixableFormat(*description->lpwfxFormat)) return DSERR_BADFORMAT;
    if (description->dwBufferBytes < DSBSIZE_MIN || description->dwBufferBytes > DSBSIZE_MAX) {
      return DSERR_INVALIDPARAM;
    }
  }
  SoundBuffer* made = MakeBuffer(device);
  made->primary = primary;
  made->flags = description->dwFlags;
  if (!primary) made->format = PlainPcmOf(*description->lpwfxFormat);
  made->samples = std::make_shared<std::vector<uint8_t>>(description->dwBufferBytes);
  *buffer = made;
  return injected;
}

HRESULT DuplicateSoundBuffer(SoundDevice* device, SoundBuffer* original, SoundBuffer** duplicate) {
  HRESULT injected = Record("DuplicateSoundBuffer", original);
  if (FAILED(injected)) return injected;
  if (device == nullptr || original == nullptr || duplicate == nullptr) return DSERR_INVALIDPARAM;
  if (original->primary) return DSERR_INVALIDCALL;
  SoundBuffer* made = MakeBuffer(device);
  made->flags = original->flags;
  made->format = original->format;
  made->samples = original->samples;
  *duplicate = made;
  return injected;
}

HRESULT BufferSetFormat(SoundBuffer* buffer, const WaveFormat* format) {
  HRESULT injected = Record("SetFormat", buffer);
  if (FAILED(injected)) return injected;
  if (buffer == nullptr || format == nullptr) return DSERR_INVALIDPARAM;
  if (buffer->device == nullptr) return DSERR_UNINITIALIZED;
  if (!buffer->primary) return DSERR_INVALIDCALL;
  if (buffer->device->cooperativeLevel < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (!IsMixableFormat(*format)) return DSERR_BADFORMAT;
  primaryFormat = PlainPcmOf(*format);
  return injected;
}

HRESULT BufferGetStatus(SoundBuffer* buffer, uint32_t* status) {
  HRESULT injected = Record("GetStatus", buffer);
  if (FAILED(injected)) return injected;
  if (buffer == nullptr || status == nullptr) return DSERR_INVALIDPARAM;
  if (buffer->device == nullptr) return DSERR_UNINITIALIZED;
  *status = buffer->lost ? DSBSTATUS_BUFFERLOST : (buffer->playing ? DSBSTATUS_PLAYING : 0);
  return injected;
}

HRESULT BufferRestore(SoundBuffer* buffer) {
  HRESULT injected = Record("Restore", buffer);
  if (FAILED(injected)) return injected;
  if (buffer == nullptr) return DSERR_INVALIDPARAM;
  if (buffer->device == nullptr) return DSERR_UNINITIALIZED;
  if (!buffer->lost) return injected;
  if (deviceMissing || buffer->restoreFailures > 0) {
    if (buffer->restoreFailures > 0) buffer->restoreFailures--;
    return DSERR_BUFFERLOST;
  }
  buffer->lost = false;
  std::fill(buffer->samples->begin(), buffer->samples->end(), 0x55);
  return injected;
}

HRESULT BufferLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** block, uint32_t* blockBytes,
                   void** wrapBlock, uint32_t* wrapBytes, uint32_t) {
  HRESULT injected = Record("Lock", buffer);
  if (FAILED(injected)) return injected;
  if (buffer == nullptr || block == nullptr || blockBytes == nullptr) return DSERR_INVALIDPARAM;
  if (buffer->device == nullptr) return DSERR_UNINITIALIZED;
  if (buffer->lost) return DSERR_BUFFERLOST;
  if (buffer->primary || offset > buffer->samples->size() || bytes > buffer->samples->size() - offset) {
    return DSERR_INVALIDPARAM;
  }
  *block = buffer->samples->data() + offset;
  *blockBytes = bytes;
  if (wrapBlock != nullptr) *wrapBlock = nullptr;
  if (wrapBytes != nullptr) *wrapBytes = 0;
  return injected;
}

HRESULT BufferUnlock(SoundBuffer* buffer, void*, uint32_t, void*, uint32_t) {
  Record("Unlock", buffer);
  return buffer != nullptr ? S_OK : DSERR_INVALIDPARAM;
}

HRESULT BufferSetVolume(SoundBuffer* buffer, int32_t) {
  Record("SetVolume", buffer);
  return buffer != nullptr && (buffer->flags & DSBCAPS_CTRLVOLUME) ? S_OK : DSERR_CONTROLUNAVAIL;
}

HRESULT BufferSetFrequency(SoundBuffer* buffer, uint32_t) {
  Record("SetFrequency", buffer);
  return buffer != nullptr && (buffer->flags & DSBCAPS_CTRLFREQUENCY) ? S_OK : DSERR_CONTROLUNAVAIL;
}

HRESULT BufferSetPan(SoundBuffer* buffer, int32_t) {
  Record("SetPan", buffer);
  return buffer != nullptr && (buffer->flags & DSBCAPS_CTRLPAN) ? S_OK : DSERR_CONTROLUNAVAIL;
}

HRESULT BufferPlay(SoundBuffer* buffer, uint32_t, uint32_t, uint32_t) {
  HRESULT injected = Record("Play", buffer);
  if (FAILED(injected)) return injected;
  if (buffer == nullptr) return DSERR_INVALIDPARAM;
  if (buffer->device == nullptr) return DSERR_UNINITIALIZED;
  if (buffer->lost) return DSERR_BUFFERLOST;
  if (buffer->primary) return DSERR_INVALIDCALL;
  buffer->plays++;
  return injected;
}

void Release(SoundDevice* device) {
  if (device == nullptr) return;
  for (SoundBuffer* buffer : device->buffers) buffer->device = nullptr;
  delete device;
}

void Release(SoundBuffer* buffer) {
  if (buffer == nullptr) return;
  if (buffer->device != nullptr) buffer->device->buffers.erase(buffer);
  liveBuffers.erase(buffer);
  delete buffer;
}

void Sleep(uint32_t milliseconds) { sleptMilliseconds += milliseconds; }

// ---- Test controls ----

void SetFakeAudioDeviceMissing(bool missing) { deviceMissing = missing; }

void LoseFakeBuffer(SoundBuffer* buffer, int restoreFailures) {
  buffer->lost = true;
  buffer->playing = false;
  buffer->restoreFailures = restoreFailures;
}

void SetFakeBufferPlaying(SoundBuffer* buffer, bool playing) { buffer->playing = playing; }

void FailNextFakeAudioCall(const std::string& call, HRESULT result) { failures[call] = result; }

int FakeBufferPlayCount(const SoundBuffer* buffer) { return buffer != nullptr ? buffer->plays : 0; }

int FakePlayCount(const CSound* sound) {
  if (sound == nullptr) return 0;
  int plays = 0;
  for (uint32_t i = 0; i < sound->BufferCount(); i++) plays += FakeBufferPlayCount(sound->Buffer(i));
  return plays;
}

std::vector<uint8_t> FakeBufferSamples(const SoundBuffer* buffer) { return *buffer->samples; }

WaveFormat FakePrimaryFormat() { return primaryFormat; }

const std::vector<std::string>& FakeAudioCalls() { return calls; }

int FakeLiveBufferCount() { return static_cast<int>(liveBuffers.size()); }

uint32_t FakeSleptMilliseconds() { return sleptMilliseconds; }

void ResetFakeAudio() {
  deviceMissing = false;
  failures.clear();
  calls.clear();
  buffersMade = 0;
  primaryFormat = {};
  sleptMilliseconds = 0;
  // Buffers still held (by sounds a test or the game keeps) start over uncounted.
  for (SoundBuffer* buffer : liveBuffers) buffer->plays = 0;
}
