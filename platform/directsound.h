// The sound module: CSoundSystem, CSound and the four sound functions the game calls.
// Built over the audio device stand-in; failures inside are traced with the file name "directsound".
#pragma once
#include <cstdint>
#include <string>

#include "platform/audio_device.h"
#include "platform/hresult.h"
#include "platform/wave_reader.h"
#include "platform/window_handle.h"

class CSound;
class CSoundSystem;

extern CSoundSystem* soundSystem;  // the program-wide sound system; null until InitSound

// Starts the sound system and sets its primary format (2 channels, 22050 Hz, 16 bits); true when both worked.
bool InitSound(WindowHandle window);
// Destroys the sound system (and with it the device) when it exists.
void ShutdownSound();
// A new sound effect from a wave file (one buffer), or null. The caller owns it.
CSound* LoadSoundEffect(std::string fileName);
// Plays the effect once from its current position; sound must not be null.
void PlaySoundEffect(CSound* sound);

// Tests: destroys the sound system and puts soundSystem back to null.
void ResetSound();

// Owns the sound device, fixes the primary format and makes sounds from wave files.
class CSoundSystem {
 public:
  CSoundSystem();
  ~CSoundSystem();
  CSoundSystem(const CSoundSystem&) = delete;
  CSoundSystem& operator=(const CSoundSystem&) = delete;

  // Opens the default playback device at the given cooperative level (a device made before is released).
  HRESULT Initialize(WindowHandle window, uint32_t cooperativeLevel);
  // Sets the mixer's output format to PCM with these channels, rate and bits.
  HRESULT SetPrimaryFormat(uint32_t channels, uint32_t samplesPerSecond, uint32_t bitsPerSample);
  // A new sound holding fileName's samples in bufferCount buffers (1 in the game) into *sound;
  // S_OK or DS_NO_VIRTUALIZATION on success. The caller owns the sound.
  HRESULT CreateSound(CSound** sound, const char* fileName, uint32_t creationFlags, Guid algorithm3D,
                      uint32_t bufferCount);

 private:
  SoundDevice* m_pDirectSound;  // null until Initialize succeeds; owned
};

// One sound effect: the whole wave data in one or more buffers, so it can sound several times at once.
class CSound {
 public:
  // Takes over the buffers (the array itself stays the caller's) and the wave reader; fills buffer 0.
  CSound(SoundBuffer** buffers, uint32_t bufferBytes, uint32_t bufferCount, CWaveReader* wave,
         uint32_t creationFlags);
  virtual ~CSound();
  CSound(const CSound&) = delete;
  CSound& operator=(const CSound&) = delete;

  // The first buffer not playing, else one picked by rand among them all; null without buffers.
  SoundBuffer* GetFreeBuffer();
  // Fills buffer from the start of the wave data; the rest with the data again (repeatIfLarger) or silence.
  HRESULT FillBufferWithSound(SoundBuffer* buffer, bool repeatIfLarger);
  // Restores buffer if it was lost (S_FALSE if it was not); wasRestored may be null.
  HRESULT RestoreBuffer(SoundBuffer* buffer, bool* wasRestored);
  // Plays once on a free buffer, restoring and refilling it first if it was lost. frequency -1 keeps it.
  HRESULT Play(uint32_t priority, uint32_t flags, int32_t volume, int32_t frequency, int32_t pan);

  // Tests and the fake device: buffer index (null beyond the count) and the count.
  SoundBuffer* Buffer(uint32_t index) const { return index < m_dwBufferCount ? m_apBuffers[index] : nullptr; }
  uint32_t BufferCount() const { return m_dwBufferCount; }

 private:
  SoundBuffer** m_apBuffers;  // owned, with the buffers; buffer 0 holds the data, the others share it
  uint32_t m_dwBufferBytes;   // size of each buffer: the wave's data size
  CWaveReader* m_pWave;       // owned; kept open to refill a lost buffer
  uint32_t m_dwBufferCount;   // buffers in m_apBuffers; 0 when the array could not be made
  uint32_t m_dwCreateFlags;   // DSBCAPS_ flags the buffers were made with
};
