// The sound device over SDL audio: the device calls over SDL's audio device and the buffers' records.
// One playback device opened in the primary buffer's format; static buffers of any rate, 8 or 16 bits,
// mono or stereo, kept converted to the device format for the mixer (platform/sdl/audio_mixer.cpp); every
// buffer lost when SDL loses the device.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/audio_device.h"
#include "platform/sdl/audio_mixer.h"
#include "platform/sdl/audio_test_hooks.h"

namespace {

SoundDevice* lastDevice = nullptr;  // for the test hooks
bool reopenBlocked = false;
bool threadHeld = false;  // tests pull the mixer themselves

// The default primary format until the game sets its own.
WaveFormat DefaultFormat() {
  WaveFormat format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = 22050;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = 88200;
  return format;
}

uint8_t SilenceOf(const WaveFormat& format) { return format.wBitsPerSample == 8 ? 128 : 0; }

// Runs f with the audio thread kept out (nothing to keep out while no device is open).
template <typename F>
void Locked(SoundDevice* device, F f) {
  if (device->id != 0) SDL_LockAudioDevice(device->id);
  f();
  if (device->id != 0) SDL_UnlockAudioDevice(device->id);
}

// Samples converted for the device's previous format follow it into its new one (samples being written
// are converted when they are unlocked), and a voice in the middle of them goes on from the same time.
// Duplicates share their samples: converted once.
void FollowDeviceFormat(SoundDevice* device, const WaveFormat& previous) {
  for (SoundBuffer* voice : device->voices) {
    if (previous.nSamplesPerSec != 0) {
      voice->position = (voice->position >> 32) * device->format.nSamplesPerSec / previous.nSamplesPerSec << 32;
    }
    Samples& samples = *voice->samples;
    if (samples.locks != 0 || std::memcmp(&samples.mixedFormat, &device->format, sizeof(WaveFormat)) == 0) continue;
    ConvertBetweenDevices(samples.mixed, samples.mixedFormat, device->format);
    samples.mixedFormat = device->format;
  }
}

// Opens SDL's default playback device in format (SDL converts if the hardware differs). False when
// no device can be opened.
bool OpenOutput(SoundDevice* device, const WaveFormat& format) {
  if (reopenBlocked) return false;
  SDL_AudioSpec wanted = {};
  wanted.freq = static_cast<int>(format.nSamplesPerSec);
  wanted.format = format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16SYS;
  wanted.channels = static_cast<Uint8>(format.nChannels);
  wanted.samples = 512;  // about 23 ms at 22050 Hz: short effects start promptly
  wanted.callback = MixAudio;
  wanted.userdata = device;
  SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &device->spec, 0);
  if (id == 0) return false;
  device->mixing.reserve(static_cast<size_t>(device->spec.samples) * device->spec.channels);
  device->id = id;
  const WaveFormat previous = device->format;
  device->format = format;
  FollowDeviceFormat(device, previous);  // before the device starts: SDL opens it paused
  SDL_PauseAudioDevice(id, threadHeld ? 1 : 0);
  return true;
}

void CloseOutput(SoundDevice* device) {
  if (device->id == 0) return;
  SDL_CloseAudioDevice(device->id);
  device->id = 0;
}

// The device went away: every buffer is lost, silent and rewound until it is restored.
void LoseDevice(SoundDevice* device) {
  CloseOutput(device);
  for (SoundBuffer* voice : device->voices) {
    voice->lost = true;
    voice->playing = false;
    voice->position = 0;
  }
}

// SDL disables a device it lost (unplugged, server gone); asking costs no event loop.
void CheckDevice(SoundDevice* device) {
  if (device != nullptr && device->id != 0 && SDL_GetAudioDeviceStatus(device->id) == SDL_AUDIO_STOPPED) {
    LoseDevice(device);
  }
}

// Hundredths of a decibel to a 16.16 factor.
int32_t GainOf(int32_t hundredthsOfDecibel) {
  return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, hundredthsOfDecibel / 2000.0)));
}

void UpdateGains(SoundBuffer* buffer) {
  buffer->leftGain = GainOf(buffer->volume + std::min(0, -buffer->pan));
  buffer->rightGain = GainOf(buffer->volume + std::min(0, buffer->pan));
}

SoundBuffer* MakeVoice(SoundDevice* device, const SoundBuffer* like) {
  SoundBuffer* buffer = new SoundBuffer;
  buffer->device = device;
  buffer->flags = like->flags;
  buffer->format = like->format;
  buffer->samples = like->samples;
  Locked(device, [&] { device->voices.push_back(buffer); });
  return buffer;
}

}  // namespace

// ---- The device calls ----

HRESULT DirectSoundCreate8(SoundDevice** device) {
  if (device == nullptr) return DSERR_INVALIDPARAM;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return DSERR_NODRIVER;
  SoundDevice* made = new SoundDevice;
  if (!OpenOutput(made, DefaultFormat())) {
    delete made;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return DSERR_NODRIVER;
  }
  lastDevice = made;
  *device = made;
  return S_OK;
}

HRESULT SetCooperativeLevel(SoundDevice* device, WindowHandle, uint32_t level) {
  if (device == nullptr || level < 1 || level > 4) return DSERR_INVALIDPARAM;
  device->cooperativeLevel = level;
  return S_OK;
}

HRESULT CreateSoundBuffer(SoundDevice* device, const BufferDescription* description, SoundBuffer** buffer) {
  if (device == nullptr || description == nullptr || buffer == nullptr) return DSERR_INVALIDPARAM;
  SoundBuffer like;
  like.flags = description->dwFlags;
  if (description->dwFlags & DSBCAPS_PRIMARYBUFFER) {
    if (description->dwBufferBytes != 0 || description->lpwfxFormat != nullptr) return DSERR_INVALIDPARAM;
    SoundBuffer* primary = new SoundBuffer;
    primary->device = device;
    primary->primary = true;
    primary->flags = like.flags;
    *buffer = primary;
    return S_OK;
  }
  if (description->lpwfxFormat == nullptr) return DSERR_INVALIDPARAM;
  if (!IsMixableFormat(*description->lpwfxFormat)) return DSERR_BADFORMAT;
  if (description->dwBufferBytes < DSBSIZE_MIN || description->dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
  like.format = PlainPcmOf(*description->lpwfxFormat);
  // Static buffers start silent.
  try {
    like.samples = std::make_shared<Samples>();
    like.samples->bytes = description->dwBufferBytes;
    like.samples->mixed.assign(description->dwBufferBytes, SilenceOf(like.format));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  if (!ConvertToDevice(like.samples->mixed, like.format, device->format)) return E_OUTOFMEMORY;
  like.samples->mixedFormat = device->format;
  *buffer = MakeVoice(device, &like);
  return S_OK;
}

HRESULT DuplicateSoundBuffer(SoundDevice* device, SoundBuffer* original, SoundBuffer** duplicate) {
  if (device == nullptr || original == nullptr || duplicate == nullptr) return DSERR_INVALIDPARAM;
  if (original->primary || original->device != device) return DSERR_INVALIDCALL;
  *duplicate = MakeVoice(device, original);
  return S_OK;
}

HRESULT BufferSetFormat(SoundBuffer* buffer, const WaveFormat* format) {
  if (buffer == nullptr || format == nullptr) return DSERR_INVALIDPARAM;
  SoundDevice* device = buffer->device;
  if (device == nullptr) return DSERR_UNINITIALIZED;
  if (!buffer->primary) return DSERR_INVALIDCALL;
  if (device->cooperativeLevel < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (!IsMixableFormat(*format)) return DSERR_BADFORMAT;
  CheckDevice(device);
  WaveFormat wanted = PlainPcmOf(*format);
  if (device->id != 0 && std::memcmp(&wanted, &device->format, sizeof wanted) == 0) return S_OK;
  // A new output format means a new device: the playing voices carry on there.
  WaveFormat previous = device->format;
  CloseOutput(device);
  if (OpenOutput(device, wanted)) return S_OK;
  if (OpenOutput(device, previous)) return DSERR_BADFORMAT;
  LoseDevice(device);
  return DSERR_NODRIVER;
}

HRESULT BufferGetStatus(SoundBuffer* buffer, uint32_t* status) {
  if (buffer == nullptr || status == nullptr) return DSERR_INVALIDPARAM;
  if (buffer->device == nullptr) return DSERR_UNINITIALIZED;
  CheckDevice(buffer->device);
  Locked(buffer->device, [&] {
    *status = 0;
    if (buffer->lost) *status |= DSBSTATUS_BUFFERLOST;
    if (buffer->playing) *status |= DSBSTATUS_PLAYING | (buffer->looping ? DSBSTATUS_LOOPING : 0u);
  });
  return S_OK;
}

HRESULT BufferRestore(SoundBuffer* buffer) {
  if (buffer == nullptr) return DSERR_INVALIDPARAM;
  SoundDevice* device = buffer->device;
  if (device == nullptr) return DSERR_UNINITIALIZED;
  CheckDevice(device);
  if (!buffer->lost) return S_OK;
  if (device->id == 0 && !OpenOutput(device, device->format)) return DSERR_BUFFERLOST;
  Locked(device, [&] { buffer->lost = false; });
  return S_OK;
}

// The first lock takes the samples from the mixer, which leaves them alone until the last unlock. When
// the buffer's format is the device's they are handed back as they are; otherwise only their converted
// form is kept, and the block starts silent: the caller writes the whole of it, as the sound module does.
HRESULT BufferLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** block, uint32_t* blockBytes,
                   void** wrapBlock, uint32_t* wrapBytes, uint32_t) {
  if (buffer == nullptr || block == nullptr || blockBytes == nullptr) return DSERR_INVALIDPARAM;
  if (buffer->device == nullptr) return DSERR_UNINITIALIZED;
  if (buffer->primary) return DSERR_INVALIDCALL;
  CheckDevice(buffer->device);
  if (buffer->lost) return DSERR_BUFFERLOST;
  Samples& samples = *buffer->samples;
  if (offset > samples.bytes || bytes > samples.bytes - offset) return DSERR_INVALIDPARAM;
  bool first = false;
  Locked(buffer->device, [&] { first = samples.locks++ == 0; });
  if (first) {
    try {
      if (SameSamples(buffer->format, samples.mixedFormat)) {
        samples.written = std::move(samples.mixed);
      } else {
        samples.mixed = {};
        samples.written.clear();
      }
      samples.written.resize(samples.bytes, SilenceOf(buffer->format));  // a cut last frame comes back silent
    } catch (const std::bad_alloc&) {
      samples.written = {};
      Locked(buffer->device, [&] { samples.locks--; });
      return E_OUTOFMEMORY;
    }
  }
  *block = samples.written.data() + offset;
  *blockBytes = bytes;
  if (wrapBlock != nullptr) *wrapBlock = nullptr;
  if (wrapBytes != nullptr) *wrapBytes = 0;
  return S_OK;
}

// The last unlock converts the written samples to the device's format, once, and hands them to the mixer.
HRESULT BufferUnlock(SoundBuffer* buffer, void* block, uint32_t blockBytes, void*, uint32_t) {
  if (buffer == nullptr || buffer->primary) return DSERR_INVALIDPARAM;
  SoundDevice* device = buffer->device;
  if (device == nullptr) return DSERR_UNINITIALIZED;
  // The block must be one Lock handed out: within the samples, while they are locked.
  Samples& samples = *buffer->samples;
  const uintptr_t first = reinterpret_cast<uintptr_t>(samples.written.data());
  const uintptr_t at = reinterpret_cast<uintptr_t>(block);
  if (samples.locks == 0 || at < first || at - first > samples.written.size() ||
      blockBytes > samples.written.size() - (at - first)) {
    return DSERR_INVALIDPARAM;
  }
  bool converted = true;
  if (samples.locks == 1) {
    converted = ConvertToDevice(samples.written, buffer->format, device->format);
    samples.mixed = std::move(samples.written);
    samples.written = {};
    samples.mixedFormat = device->format;
  }
  Locked(device, [&] { samples.locks--; });
  return converted ? S_OK : E_OUTOFMEMORY;
}

HRESULT BufferSetVolume(SoundBuffer* buffer, int32_t volume) {
  if (buffer == nullptr || buffer->device == nullptr) return DSERR_INVALIDPARAM;
  if ((buffer->flags & DSBCAPS_CTRLVOLUME) == 0) return DSERR_CONTROLUNAVAIL;
  if (volume < -10000 || volume > 0) return DSERR_INVALIDPARAM;
  Locked(buffer->device, [&] {
    buffer->volume = volume;
    UpdateGains(buffer);
  });
  return S_OK;
}

HRESULT BufferSetFrequency(SoundBuffer* buffer, uint32_t frequency) {
  if (buffer == nullptr || buffer->device == nullptr) return DSERR_INVALIDPARAM;
  if ((buffer->flags & DSBCAPS_CTRLFREQUENCY) == 0) return DSERR_CONTROLUNAVAIL;
  if (frequency != 0 && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) return DSERR_INVALIDPARAM;
  Locked(buffer->device, [&] { buffer->frequency = frequency; });
  return S_OK;
}

HRESULT BufferSetPan(SoundBuffer* buffer, int32_t pan) {
  if (buffer == nullptr || buffer->device == nullptr) return DSERR_INVALIDPARAM;
  if ((buffer->flags & DSBCAPS_CTRLPAN) == 0) return DSERR_CONTROLUNAVAIL;
  if (pan < -10000 || pan > 10000) return DSERR_INVALIDPARAM;
  Locked(buffer->device, [&] {
    buffer->pan = pan;
    UpdateGains(buffer);
  });
  return S_OK;
}

HRESULT BufferPlay(SoundBuffer* buffer, uint32_t, uint32_t, uint32_t flags) {
  if (buffer == nullptr) return DSERR_INVALIDPARAM;
  if (buffer->device == nullptr) return DSERR_UNINITIALIZED;
  if (buffer->primary) return DSERR_INVALIDCALL;
  CheckDevice(buffer->device);
  if (buffer->lost) return DSERR_BUFFERLOST;
  // A buffer already sounding goes on from where it is.
  Locked(buffer->device, [&] {
    buffer->playing = true;
    buffer->looping = (flags & DSBPLAY_LOOPING) != 0;
  });
  return S_OK;
}

void Release(SoundDevice* device) {
  if (device == nullptr) return;
  CloseOutput(device);
  for (SoundBuffer* voice : device->voices) voice->device = nullptr;
  if (lastDevice == device) lastDevice = nullptr;
  delete device;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void Release(SoundBuffer* buffer) {
  if (buffer == nullptr) return;
  SoundDevice* device = buffer->device;
  if (device != nullptr && !buffer->primary) {
    Locked(device, [&] { device->voices.erase(std::find(device->voices.begin(), device->voices.end(), buffer)); });
  }
  delete buffer;
}

void Sleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }

// ---- Test hooks ----

bool MixAudioForTests(uint8_t* out, int32_t bytes) {
  if (lastDevice == nullptr || lastDevice->id == 0) return false;
  Locked(lastDevice, [&] { MixAudio(lastDevice, out, bytes); });
  return true;
}

bool AudioOutputFormatForTests(int32_t& frequency, int32_t& channels, int32_t& bitsPerSample) {
  if (lastDevice == nullptr || lastDevice->id == 0) return false;
  frequency = lastDevice->spec.freq;
  channels = lastDevice->spec.channels;
  bitsPerSample = SDL_AUDIO_BITSIZE(lastDevice->spec.format);
  return true;
}

void RemoveAudioDeviceForTests() {
  if (lastDevice != nullptr) LoseDevice(lastDevice);
}

void BlockAudioDeviceForTests(bool blocked) { reopenBlocked = blocked; }

void HoldAudioThreadForTests(bool held) {
  threadHeld = held;
  if (lastDevice != nullptr && lastDevice->id != 0) SDL_PauseAudioDevice(lastDevice->id, held ? 1 : 0);
}
