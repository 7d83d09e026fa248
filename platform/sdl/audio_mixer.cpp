// The sound device's mixer: samples converted to the device's format by SDL, added up in the audio callback.
#include "platform/sdl/audio_mixer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

// Wave files hold little-endian samples; the device takes the machine's own order.
SDL_AudioFormat WaveSampleFormat(const WaveFormat& format) {
  return format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}
SDL_AudioFormat DeviceSampleFormat(const WaveFormat& format) {
  return format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16SYS;
}

int32_t Signed16(uint8_t sample) { return (sample - 128) * 256; }
int32_t Signed16(int16_t sample) { return sample; }

// Adds one playing voice to the accumulator, gains applied, stopped and rewound at its end unless
// looping. Its samples are already at the device's rate and channels; a frequency of its own only
// changes the step through them.
template <typename Sample, int channels>
void MixVoice(SoundBuffer* voice, int32_t* mixing, int frames) {
  const uint8_t* bytes = voice->samples->mixed.data();
  const uint64_t totalFrames = voice->samples->mixed.size() / (sizeof(Sample) * channels);
  const uint64_t step = voice->frequency == 0 ? uint64_t{1} << 32
                                              : (uint64_t{voice->frequency} << 32) / voice->format.nSamplesPerSec;
  const int32_t gains[2] = {channels == 2 ? voice->leftGain : (voice->leftGain + voice->rightGain) / 2,
                            voice->rightGain};
  for (int i = 0; i < frames;) {
    if ((voice->position >> 32) >= totalFrames) {
      if (!voice->looping || totalFrames == 0) {
        voice->playing = false;
        voice->position = 0;
        return;
      }
      voice->position -= totalFrames << 32;
    }
    for (; i < frames && (voice->position >> 32) < totalFrames; i++, voice->position += step) {
      const uint8_t* frame = bytes + (voice->position >> 32) * channels * sizeof(Sample);
      for (int c = 0; c < channels; c++) {
        Sample sample;
        std::memcpy(&sample, frame + c * sizeof(Sample), sizeof sample);
        mixing[i * channels + c] += (Signed16(sample) * gains[c]) >> 16;
      }
    }
  }
}

// SDL converts in place in a block of len_mult times the samples' size, then says how much it holds.
bool Convert(std::vector<uint8_t>& bytes, SDL_AudioFormat fromSamples, const WaveFormat& from,
             const WaveFormat& to) {
  bytes.resize(bytes.size() - bytes.size() % from.nBlockAlign);
  SDL_AudioCVT cvt;
  const int built = SDL_BuildAudioCVT(&cvt, fromSamples, static_cast<Uint8>(from.nChannels),
                                      static_cast<int>(from.nSamplesPerSec), DeviceSampleFormat(to),
                                      static_cast<Uint8>(to.nChannels), static_cast<int>(to.nSamplesPerSec));
  if (built == 0) return true;  // already in the device's format: kept as they are
  if (built < 0 || bytes.size() > static_cast<size_t>(INT_MAX / cvt.len_mult)) {
    bytes = {};
    return false;
  }
  try {
    cvt.len = static_cast<int>(bytes.size());
    bytes.resize(bytes.size() * cvt.len_mult);
  } catch (const std::bad_alloc&) {
    bytes = {};
    return false;
  }
  cvt.buf = bytes.data();
  if (SDL_ConvertAudio(&cvt) != 0) {
    bytes = {};
    return false;
  }
  bytes.resize(static_cast<size_t>(cvt.len_cvt) - static_cast<size_t>(cvt.len_cvt) % to.nBlockAlign);
  bytes.shrink_to_fit();
  return true;
}

}  // namespace

bool ConvertToDevice(std::vector<uint8_t>& bytes, const WaveFormat& from, const WaveFormat& to) {
  return Convert(bytes, WaveSampleFormat(from), from, to);
}

bool ConvertBetweenDevices(std::vector<uint8_t>& bytes, const WaveFormat& from, const WaveFormat& to) {
  return Convert(bytes, DeviceSampleFormat(from), from, to);
}

bool SameSamples(const WaveFormat& buffer, const WaveFormat& device) {
  return WaveSampleFormat(buffer) == DeviceSampleFormat(device) && buffer.nChannels == device.nChannels &&
         buffer.nSamplesPerSec == device.nSamplesPerSec;
}

void MixAudio(void* userdata, Uint8* stream, int length) {
  SoundDevice* device = static_cast<SoundDevice*>(userdata);
  const int channels = device->format.nChannels;
  const bool sixteenBits = device->format.wBitsPerSample == 16;
  const int frames = length / device->format.nBlockAlign;
  device->mixing.assign(static_cast<size_t>(frames) * channels, 0);
  for (SoundBuffer* voice : device->voices) {
    // A voice whose samples are being written sits out until they are unlocked.
    if (!voice->playing || voice->lost || voice->samples->locks != 0) continue;
    int32_t* mixing = device->mixing.data();
    if (sixteenBits) {
      channels == 2 ? MixVoice<int16_t, 2>(voice, mixing, frames) : MixVoice<int16_t, 1>(voice, mixing, frames);
    } else {
      channels == 2 ? MixVoice<uint8_t, 2>(voice, mixing, frames) : MixVoice<uint8_t, 1>(voice, mixing, frames);
    }
  }
  for (size_t i = 0; i < device->mixing.size(); i++) {
    const int32_t sample = std::clamp(device->mixing[i], -32768, 32767);
    if (sixteenBits) {
      const int16_t value = static_cast<int16_t>(sample);
      std::memcpy(stream + 2 * i, &value, sizeof value);
    } else {
      stream[i] = static_cast<Uint8>((sample >> 8) + 128);
    }
  }
}
