// The sound module: the sound system, sound effects over static device buffers, the game's sound functions.
#include "platform/directsound.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/error_trace.h"

namespace {

const char* const SOURCE_NAME = "directsound";

// How long a play waits for a lost buffer to come back: two 10 ms pauses. On this system a buffer is
// lost when its device went away, which may last; the game must go on (silently) rather than hang.
constexpr int RESTORE_PASSES = 2;

}  // namespace

CSoundSystem* soundSystem = nullptr;

// ---- The game's sound functions ----

bool InitSound(WindowHandle window) {
  // A second start replaces the first rather than leaking it.
  delete soundSystem;
  soundSystem = new CSoundSystem;
  if (soundSystem->Initialize(window, DSSCL_PRIORITY) != S_OK) return false;
  return soundSystem->SetPrimaryFormat(2, 22050, 16) == S_OK;
}

void ShutdownSound() {
  delete soundSystem;
  soundSystem = nullptr;
}

CSound* LoadSoundEffect(std::string fileName) {
  if (soundSystem == nullptr) return nullptr;
  // The name goes through a fixed text buffer. A longer name, or one with a NUL inside, would open a
  // different file than asked for: refuse it instead.
  char name[255];
  if (fileName.size() >= sizeof name || fileName.find('\0') != std::string::npos) {
    TraceError(SOURCE_NAME, __LINE__, E_INVALIDARG, "LoadSoundEffect");
    return nullptr;
  }
  std::memcpy(name, fileName.c_str(), fileName.size() + 1);
  CSound* sound = nullptr;
  HRESULT hr = soundSystem->CreateSound(&sound, name, 0, GUID_NULL, 1);
  // DS_NO_VIRTUALIZATION is a success too: the sound is made and works, so it is not thrown away.
  return SUCCEEDED(hr) ? sound : nullptr;
}

void PlaySoundEffect(CSound* sound) {
  if (sound == nullptr) return;
  sound->Play(0, 0, 0, -1, 0);
}

void ResetSound() { ShutdownSound(); }

// ---- CSoundSystem ----

CSoundSystem::CSoundSystem() : m_pDirectSound(nullptr) {}

CSoundSystem::~CSoundSystem() {
  if (m_pDirectSound != nullptr) Release(m_pDirectSound);
}

HRESULT CSoundSystem::Initialize(WindowHandle window, uint32_t cooperativeLevel) {
  if (m_pDirectSound != nullptr) Release(m_pDirectSound);
  m_pDirectSound = nullptr;
  HRESULT hr = DirectSoundCreate8(&m_pDirectSound);
  if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "DirectSoundCreate8");
  hr = SetCooperativeLevel(m_pDirectSound, window, cooperativeLevel);
  if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "SetCooperativeLevel");
  return S_OK;
}

HRESULT CSoundSystem::SetPrimaryFormat(uint32_t channels, uint32_t samplesPerSecond, uint32_t bitsPerSample) {
  if (m_pDirectSound == nullptr) return CO_E_NOTINITIALIZED;
  BufferDescription dsbd = {};
  dsbd.dwSize = sizeof(BufferDescription);
  dsbd.dwFlags = DSBCAPS_PRIMARYBUFFER;
  dsbd.dwBufferBytes = 0;
  dsbd.lpwfxFormat = nullptr;
  SoundBuffer* primaryBuffer = nullptr;
  HRESULT hr = CreateSoundBuffer(m_pDirectSound, &dsbd, &primaryBuffer);
  if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "CreateSoundBuffer");

  WaveFormat wfx = {};
  wfx.wFormatTag = WAVE_FORMAT_PCM;
  wfx.nChannels = static_cast<uint16_t>(channels);
  wfx.nSamplesPerSec = samplesPerSecond;
  wfx.wBitsPerSample = static_cast<uint16_t>(bitsPerSample);
  wfx.nBlockAlign = static_cast<uint16_t>(wfx.wBitsPerSample / 8 * wfx.nChannels);
  wfx.nAvgBytesPerSec = wfx.nBlockAlign * wfx.nSamplesPerSec;
  wfx.cbSize = 0;
  hr = BufferSetFormat(primaryBuffer, &wfx);
  Release(primaryBuffer);
  if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "SetFormat");
  return S_OK;
}

HRESULT CSoundSystem::CreateSound(CSound** sound, const char* fileName, uint32_t creationFlags, Guid algorithm3D,
                                  uint32_t bufferCount) {
  if (m_pDirectSound == nullptr) return CO_E_NOTINITIALIZED;
  if (fileName == nullptr || sound == nullptr || bufferCount == 0) return E_INVALIDARG;

  SoundBuffer** apDSBuffer = new (std::nothrow) SoundBuffer*[bufferCount]();
  if (apDSBuffer == nullptr) return E_OUTOFMEMORY;
  CWaveReader* waveFile = nullptr;
  // Every stop frees what was made so far, the buffers already created included.
  auto stop = [&](HRESULT hr) {
    for (uint32_t i = 0; i < bufferCount; i++) {
      if (apDSBuffer[i] != nullptr) Release(apDSBuffer[i]);
    }
    delete waveFile;
    delete[] apDSBuffer;
    return hr;
  };

  waveFile = new (std::nothrow) CWaveReader;
  if (waveFile == nullptr) return stop(E_OUTOFMEMORY);
  waveFile->Open(fileName);
  if (waveFile->DataSize() == 0) return stop(E_FAIL);

  BufferDescription dsbd = {};
  dsbd.dwSize = sizeof(BufferDescription);
  dsbd.dwFlags = creationFlags;
  dsbd.dwBufferBytes = waveFile->DataSize();
  dsbd.guid3DAlgorithm = algorithm3D;
  dsbd.lpwfxFormat = waveFile->m_pwfx;
  HRESULT hrRet = S_OK;
  HRESULT hr = CreateSoundBuffer(m_pDirectSound, &dsbd, &apDSBuffer[0]);
  if (hr == DS_NO_VIRTUALIZATION) hrRet = DS_NO_VIRTUALIZATION;
  if (FAILED(hr)) return stop(TraceError(SOURCE_NAME, __LINE__, hr, "CreateSoundBuffer"));

  for (uint32_t i = 1; i < bufferCount; i++) {
    if ((creationFlags & DSBCAPS_CTRLFX) == 0) {
      hr = DuplicateSoundBuffer(m_pDirectSound, apDSBuffer[0], &apDSBuffer[i]);
      if (FAILED(hr)) return stop(TraceError(SOURCE_NAME, __LINE__, hr, "DuplicateSoundBuffer"));
    } else {
      hr = CreateSoundBuffer(m_pDirectSound, &dsbd, &apDSBuffer[i]);
      if (FAILED(hr)) return stop(TraceError(SOURCE_NAME, __LINE__, hr, "CreateSoundBuffer"));
    }
  }

  CSound* made = new (std::nothrow) CSound(apDSBuffer, dsbd.dwBufferBytes, bufferCount, waveFile, creationFlags);
  if (made == nullptr) return stop(E_OUTOFMEMORY);
  *sound = made;
  delete[] apDSBuffer;
  return hrRet;
}

// ---- CSound ----

CSound::CSound(SoundBuffer** buffers, uint32_t bufferBytes, uint32_t bufferCount, CWaveReader* wave,
               uint32_t creationFlags)
    : m_apBuffers(nullptr),
      m_dwBufferBytes(bufferBytes),
      m_pWave(wave),
      m_dwBufferCount(0),
      m_dwCreateFlags(creationFlags) {
  if (buffers == nullptr || bufferCount == 0) return;
  m_apBuffers = new (std::nothrow) SoundBuffer*[bufferCount];
  if (m_apBuffers == nullptr) {
    // Without its array the sound cannot keep the buffers it was handed: they go now, the wave reader
    // stays its own, and every operation answers CO_E_NOTINITIALIZED.
    for (uint32_t i = 0; i < bufferCount; i++) {
      if (buffers[i] != nullptr) Release(buffers[i]);
    }
    return;
  }
  for (uint32_t i = 0; i < bufferCount; i++) m_apBuffers[i] = buffers[i];
  m_dwBufferCount = bufferCount;
  FillBufferWithSound(m_apBuffers[0], false);
}

CSound::~CSound() {
  for (uint32_t i = 0; i < m_dwBufferCount; i++) {
    if (m_apBuffers[i] != nullptr) Release(m_apBuffers[i]);
  }
  delete[] m_apBuffers;
  delete m_pWave;
}

HRESULT CSound::FillBufferWithSound(SoundBuffer* buffer, bool repeatIfLarger) {
  if (buffer == nullptr || m_pWave == nullptr) return CO_E_NOTINITIALIZED;
  HRESULT hr = RestoreBuffer(buffer, nullptr);
  if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "RestoreBuffer");

  void* lockedBuffer = nullptr;
  uint32_t lockedBufferSize = 0;
  hr = BufferLock(buffer, 0, m_dwBufferBytes, &lockedBuffer, &lockedBufferSize, nullptr, nullptr, 0);
  if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "Lock");
  uint8_t* block = static_cast<uint8_t*>(lockedBuffer);
  // A failure after the lock still hands the block back, so the buffer stays usable.
  auto unlockAndTrace = [&](uint32_t line, HRESULT failure, const char* message) {
    BufferUnlock(buffer, lockedBuffer, lockedBufferSize, nullptr, 0);
    return TraceError(SOURCE_NAME, line, failure, message);
  };

  m_pWave->ResetFile();
  uint32_t wavDataRead = 0;
  hr = m_pWave->Read(block, lockedBufferSize, &wavDataRead);
  if (FAILED(hr)) return unlockAndTrace(__LINE__, hr, "Read");

  const uint8_t silence = m_pWave->m_pwfx != nullptr && m_pWave->m_pwfx->wBitsPerSample == 8 ? 128 : 0;
  if (wavDataRead == 0) {
    std::memset(block, silence, lockedBufferSize);
  } else if (wavDataRead < lockedBufferSize) {
    if (repeatIfLarger) {
      uint32_t readSoFar = wavDataRead;
      while (readSoFar < lockedBufferSize) {
        hr = m_pWave->ResetFile();
        if (FAILED(hr)) return unlockAndTrace(__LINE__, hr, "ResetFile");
        hr = m_pWave->Read(block + readSoFar, lockedBufferSize - readSoFar, &wavDataRead);
        if (FAILED(hr)) return unlockAndTrace(__LINE__, hr, "Read");
        // Data that yields nothing after a rewind would repeat forever: the rest stays silent.
        if (wavDataRead == 0) {
          std::memset(block + readSoFar, silence, lockedBufferSize - readSoFar);
          break;
        }
        readSoFar += wavDataRead;
      }
    } else {
      std::memset(block + wavDataRead, silence, lockedBufferSize - wavDataRead);
    }
  }
  BufferUnlock(buffer, lockedBuffer, lockedBufferSize, nullptr, 0);
  return S_OK;
}

HRESULT CSound::RestoreBuffer(SoundBuffer* buffer, bool* wasRestored) {
  if (buffer == nullptr) return CO_E_NOTINITIALIZED;
  if (wasRestored != nullptr) *wasRestored = false;
  uint32_t dwStatus = 0;
  HRESULT hr = BufferGetStatus(buffer, &dwStatus);
  if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "GetStatus");
  if ((dwStatus & DSBSTATUS_BUFFERLOST) == 0) return S_FALSE;

  // Two restore calls a pass, a pause between them while the buffer stays lost; bounded, and any other
  // failure is passed on rather than taken for a restored buffer.
  int pass = 0;
  do {
    hr = BufferRestore(buffer);
    if (hr == DSERR_BUFFERLOST) Sleep(10);
    hr = BufferRestore(buffer);
  } while (hr == DSERR_BUFFERLOST && ++pass < RESTORE_PASSES);
  if (FAILED(hr)) return hr;

  if (wasRestored != nullptr) *wasRestored = true;
  return S_OK;
}

SoundBuffer* CSound::GetFreeBuffer() {
  if (m_apBuffers == nullptr || m_dwBufferCount == 0) return nullptr;
  uint32_t i;
  for (i = 0; i < m_dwBufferCount; i++) {
    if (m_apBuffers[i] == nullptr) continue;
    uint32_t dwStatus = 0;
    BufferGetStatus(m_apBuffers[i], &dwStatus);
    if ((dwStatus & DSBSTATUS_PLAYING) == 0) break;
  }
  if (i != m_dwBufferCount) return m_apBuffers[i];
  return m_apBuffers[static_cast<uint32_t>(std::rand()) % m_dwBufferCount];
}

HRESULT CSound::Play(uint32_t priority, uint32_t flags, int32_t volume, int32_t frequency, int32_t pan) {
  if (m_apBuffers == nullptr || m_dwBufferCount == 0) return CO_E_NOTINITIALIZED;
  SoundBuffer* buffer = GetFreeBuffer();
  if (buffer == nullptr) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "GetFreeBuffer");

  bool restored = false;
  HRESULT hr = RestoreBuffer(buffer, &restored);
  if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "RestoreBuffer");
  if (restored) {
    hr = FillBufferWithSound(buffer, false);
    if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "FillBufferWithSound");
  }

  if (m_dwCreateFlags & DSBCAPS_CTRLVOLUME) BufferSetVolume(buffer, volume);
  if (frequency != -1 && (m_dwCreateFlags & DSBCAPS_CTRLFREQUENCY)) {
    BufferSetFrequency(buffer, static_cast<uint32_t>(frequency));
  }
  if (m_dwCreateFlags & DSBCAPS_CTRLPAN) BufferSetPan(buffer, pan);
  return BufferPlay(buffer, 0, priority, flags);
}
