// The records of the SDL sound device and the mixer that plays them in SDL's audio callback.
// A buffer's samples are converted once, by SDL, to the device's format when they are unlocked; the
// mixer only adds those converted samples. Internal to platform/sdl/.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio_device.h"

// A buffer's samples, shared by its duplicates. Only one form is held at a time, so a buffer costs the
// size of its samples in the device's format and no second copy: while locked, the block the caller
// writes in the buffer's own format; once unlocked, that block converted to the device's format.
struct Samples {
  uint32_t bytes = 0;            // the buffer's size in its own format: what a lock hands out
  std::vector<uint8_t> written;  // while locked: the caller's block; empty otherwise
  std::vector<uint8_t> mixed;    // while unlocked: the samples in mixedFormat, whole frames
  WaveFormat mixedFormat = {};   // the device's format when they were converted
  uint32_t locks = 0;            // blocks handed out and not yet unlocked; changed only under the device lock
};

struct SoundBuffer {
  SoundDevice* device = nullptr;  // null once the device was released
  bool primary = false;
  uint32_t flags = 0;
  WaveFormat format = {};            // the samples' own format, as the buffer was created
  std::shared_ptr<Samples> samples;  // shared with duplicates
  // Mixed by the audio thread: changed only under the device lock.
  bool playing = false;
  bool looping = false;
  bool lost = false;
  uint64_t position = 0;     // frames of the converted samples, 32.32 fixed point
  uint32_t frequency = 0;    // playback rate; 0 = the format's own
  int32_t leftGain = 65536;  // 16.16 fixed point, at most 1
  int32_t rightGain = 65536;
  int32_t volume = 0;
  int32_t pan = 0;
};

struct SoundDevice {
  SDL_AudioDeviceID id = 0;  // 0 while no device is open (never opened, or lost)
  SDL_AudioSpec spec = {};   // as SDL opened it: exactly format (SDL converts if the hardware differs)
  WaveFormat format = {};    // the primary format: the open device's, and the one it is reopened with
  uint32_t cooperativeLevel = 0;
  std::vector<SoundBuffer*> voices;  // every secondary buffer; the list changes only under the lock
  std::vector<int32_t> mixing;       // the audio thread's accumulator
};

// Converts whole frames of samples in place with SDL's converter, to the device's format `to`: from a
// buffer's own format (as in wave files), or from the device's previous format. False when SDL cannot or
// memory runs out; bytes are then empty (silence).
bool ConvertToDevice(std::vector<uint8_t>& bytes, const WaveFormat& from, const WaveFormat& to);
bool ConvertBetweenDevices(std::vector<uint8_t>& bytes, const WaveFormat& from, const WaveFormat& to);
// True when samples in a buffer's format are already in the device's: the converter leaves them alone.
bool SameSamples(const WaveFormat& buffer, const WaveFormat& device);

// SDL's audio callback, userdata the SoundDevice: every playing voice added up in the device format,
// clipped. Runs with the device lock held.
void MixAudio(void* userdata, Uint8* stream, int length);
