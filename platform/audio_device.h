// Stand-ins for the sound device calls the sound module makes.
// The device, the primary buffer's format, static secondary buffers (created from a format and a size,
// duplicated, locked whole, played once), their status (playing, lost), restore, and release.
// platform/sdl/ implements them over SDL audio with a mixer of its own; platform/fake/ records them for tests.
#pragma once
#include <cstdint>
#include <cstring>

#include "platform/hresult.h"
#include "platform/window_handle.h"

struct SoundDevice;  // the playback device
struct SoundBuffer;  // samples with a format and a play state; duplicates share the samples

// The wave format record: 18 bytes, packed, as stored in wave files (extra bytes may follow cbSize).
#pragma pack(push, 1)
struct WaveFormat {
  uint16_t wFormatTag;
  uint16_t nChannels;
  uint32_t nSamplesPerSec;
  uint32_t nAvgBytesPerSec;
  uint16_t nBlockAlign;
  uint16_t wBitsPerSample;
  uint16_t cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18, "wave format record layout");

struct Guid {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
constexpr Guid GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// What a buffer is created with.
struct BufferDescription {
  uint32_t dwSize;
  uint32_t dwFlags;           // DSBCAPS_ flags
  uint32_t dwBufferBytes;     // 0 for the primary buffer
  uint32_t dwReserved;
  const WaveFormat* lpwfxFormat;  // null for the primary buffer
  Guid guid3DAlgorithm;
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint32_t DSSCL_PRIORITY = 2;
constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr uint32_t DSBCAPS_CTRLPAN = 0x00000040;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr uint32_t DSBCAPS_CTRLFX = 0x00000200;
constexpr uint32_t DSBSTATUS_PLAYING = 0x00000001;
constexpr uint32_t DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr uint32_t DSBSTATUS_LOOPING = 0x00000004;
constexpr uint32_t DSBPLAY_LOOPING = 0x00000001;
constexpr uint32_t DSBSIZE_MIN = 4;
constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;
constexpr uint32_t DSBFREQUENCY_MIN = 100;
constexpr uint32_t DSBFREQUENCY_MAX = 200000;

// The extensible record's extra bytes after cbSize: bits that carry the sample, the speakers, and the
// kind of data the samples are.
#pragma pack(push, 1)
struct WaveFormatExtensibleTail {
  uint16_t wValidBitsPerSample;
  uint32_t dwChannelMask;
  Guid SubFormat;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormatExtensibleTail) == 22, "extensible wave format layout");

constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;
constexpr Guid KSDATAFORMAT_SUBTYPE_PCM = {0x00000001, 0x0000, 0x0010,
                                           {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// Plain PCM samples: tag 1, or the extensible tag with the PCM sub-format, as many wave writers put even
// 16-bit stereo. An extensible record must be followed by its cbSize extra bytes, as the wave reader
// keeps them.
inline bool IsPcmFormat(const WaveFormat& format) {
  if (format.wFormatTag == WAVE_FORMAT_PCM) return true;
  if (format.wFormatTag != WAVE_FORMAT_EXTENSIBLE || format.cbSize < sizeof(WaveFormatExtensibleTail)) return false;
  WaveFormatExtensibleTail tail;
  std::memcpy(&tail, reinterpret_cast<const uint8_t*>(&format) + sizeof(WaveFormat), sizeof tail);
  return std::memcmp(&tail.SubFormat, &KSDATAFORMAT_SUBTYPE_PCM, sizeof(Guid)) == 0 &&
         tail.wValidBitsPerSample <= format.wBitsPerSample;
}

// The record as a buffer keeps it: plain PCM, no extra bytes.
inline WaveFormat PlainPcmOf(const WaveFormat& format) {
  WaveFormat plain = format;
  plain.wFormatTag = WAVE_FORMAT_PCM;
  plain.cbSize = 0;
  return plain;
}

// The formats the mixer converts: PCM, 1 or 2 channels, 8-bit unsigned or 16-bit signed samples, any
// rate in the device's range, frames of exactly the samples' size. Both stand-ins refuse the rest.
inline bool IsMixableFormat(const WaveFormat& format) {
  return IsPcmFormat(format) && (format.nChannels == 1 || format.nChannels == 2) &&
         (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
         format.nSamplesPerSec >= DSBFREQUENCY_MIN && format.nSamplesPerSec <= DSBFREQUENCY_MAX &&
         format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8;
}

// Opens the default playback device; DSERR_NODRIVER when there is none to open.
HRESULT DirectSoundCreate8(SoundDevice** device);
// DSSCL_PRIORITY lets the game set the primary buffer's format.
HRESULT SetCooperativeLevel(SoundDevice* device, WindowHandle window, uint32_t level);
// The primary buffer (DSBCAPS_PRIMARYBUFFER, no size, no format) or a static secondary buffer of
// dwBufferBytes bytes of silence in *lpwfxFormat; DSERR_BADFORMAT for a format the mixer cannot convert.
HRESULT CreateSoundBuffer(SoundDevice* device, const BufferDescription* description, SoundBuffer** buffer);
// A second buffer playing the same samples with a play state of its own.
HRESULT DuplicateSoundBuffer(SoundDevice* device, SoundBuffer* original, SoundBuffer** duplicate);
// The mixer's output format; primary buffer only.
HRESULT BufferSetFormat(SoundBuffer* buffer, const WaveFormat* format);
// DSBSTATUS_PLAYING while sounding, DSBSTATUS_BUFFERLOST once the device was lost.
HRESULT BufferGetStatus(SoundBuffer* buffer, uint32_t* status);
// Makes a lost buffer usable again (its samples are then silence); DSERR_BUFFERLOST while no device can
// be opened.
HRESULT BufferRestore(SoundBuffer* buffer);
// One writable block of bytes bytes from offset (the whole buffer in the game; no second block). A buffer
// keeps its samples only as the device plays them: the block holds them again when the buffer's format is
// the device's, else it starts silent, and the caller writes all of it (as the sound module does).
HRESULT BufferLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** block, uint32_t* blockBytes,
                   void** wrapBlock, uint32_t* wrapBytes, uint32_t flags);
// The block's bytes are now the buffer's samples (on the last unlock converted to the device's format).
HRESULT BufferUnlock(SoundBuffer* buffer, void* block, uint32_t blockBytes, void* wrapBlock, uint32_t wrapBytes);
// Only for buffers created with the matching DSBCAPS_CTRL flag, else DSERR_CONTROLUNAVAIL.
HRESULT BufferSetVolume(SoundBuffer* buffer, int32_t volume);        // hundredths of a decibel, -10000..0
HRESULT BufferSetFrequency(SoundBuffer* buffer, uint32_t frequency);  // samples per second, 0 = original
HRESULT BufferSetPan(SoundBuffer* buffer, int32_t pan);              // -10000 left .. 10000 right
// Sounds once from the current position; at its end the buffer stops and rewinds for the next play.
HRESULT BufferPlay(SoundBuffer* buffer, uint32_t reserved, uint32_t priority, uint32_t flags);

void Release(SoundDevice* device);
void Release(SoundBuffer* buffer);

// The pause the sound module makes while a lost buffer cannot be restored yet.
void Sleep(uint32_t milliseconds);
