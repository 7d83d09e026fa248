// Test hooks of the SDL sound device: what its tests steer that the game never does.
// Pulling the mixer by hand, the output format as opened, a removed device, a device that cannot be opened
// again. They act on the device DirectSoundCreate8 made last. No SDL types here.
#pragma once
#include <cstdint>

// While held, SDL's audio thread mixes nothing (devices opened later too), so only the test pulls the
// mixer and every pull sees the voices exactly where the last one left them.
void HoldAudioThreadForTests(bool held);
// Mixes bytes of output into out exactly as the audio thread does (device format); false without device.
bool MixAudioForTests(uint8_t* out, int32_t bytes);
// The output format of the open device; false while none is open.
bool AudioOutputFormatForTests(int32_t& frequency, int32_t& channels, int32_t& bitsPerSample);
// Acts as if SDL reported the playback device removed.
void RemoveAudioDeviceForTests();
// While set, no playback device can be opened again (restores answer DSERR_BUFFERLOST).
void BlockAudioDeviceForTests(bool blocked);
