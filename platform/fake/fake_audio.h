// Test controls of the fake sound device.
// Make it fail to open, mark buffers lost (and make restoring fail a number of times), set a buffer's
// "playing" status, inject a failure into one call, and read what was played, the samples of a buffer
// and the order of the calls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio_device.h"
#include "platform/hresult.h"

class CSound;

// While set, DirectSoundCreate8 answers DSERR_NODRIVER, and lost buffers cannot be restored.
void SetFakeAudioDeviceMissing(bool missing);

// Marks buffer lost; it then answers DSERR_BUFFERLOST to the next restoreFailures restore calls, and a
// restore that works leaves its samples scrambled (0x55) until they are written again.
void LoseFakeBuffer(SoundBuffer* buffer, int restoreFailures = 0);
// What GetStatus reports for buffer's DSBSTATUS_PLAYING bit. A play does not set it: in the fake, an
// effect ends the moment it starts unless a test says otherwise.
void SetFakeBufferPlaying(SoundBuffer* buffer, bool playing);
// The next call named call ("DirectSoundCreate8", "SetCooperativeLevel", "CreateSoundBuffer",
// "DuplicateSoundBuffer", "SetFormat", "GetStatus", "Restore", "Lock", "Play") answers result instead.
void FailNextFakeAudioCall(const std::string& call, HRESULT result);

// Plays of buffer since the last reset.
int FakeBufferPlayCount(const SoundBuffer* buffer);
// Plays of all of sound's buffers since the last reset: how often the effect was heard.
int FakePlayCount(const CSound* sound);
// The samples of buffer as last unlocked (shared by its duplicates).
std::vector<uint8_t> FakeBufferSamples(const SoundBuffer* buffer);
// The format set on the primary buffer last; all zero until then.
WaveFormat FakePrimaryFormat();
// Every call in order, as "Call" or "Call #n" with the buffer's number (1 = first buffer created since
// the last reset, duplicates and primary buffers included).
const std::vector<std::string>& FakeAudioCalls();
// Buffers made and not yet released (a released device leaves its buffers to their owners).
int FakeLiveBufferCount();
// Milliseconds the sound module asked to sleep.
uint32_t FakeSleptMilliseconds();

// Back to a working device with no calls, plays or failures recorded.
void ResetFakeAudio();
