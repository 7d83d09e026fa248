// The sound module over SDL audio.
// No driver, the output format, effects pulled through the mixer in the device format (8 and 16 bits, mono
// and stereo, other rates, several voices, clipping), a removed device, and the mixed output written by
// SDL's disk driver.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/directsound.h"
#include "platform/error_trace.h"
#include "platform/sdl/audio_test_hooks.h"
#include "support/wave_bytes.h"

namespace {

std::vector<std::string> traced;

void KeepTrace(const char* piece) { traced.emplace_back(piece); }

bool Traced(const std::string& piece) { return std::find(traced.begin(), traced.end(), piece) != traced.end(); }

// A tone of frames frames: 8-bit unsigned or 16-bit signed, every channel the same peak-high sine.
Bytes Tone(size_t frames, uint16_t channels, uint16_t bits, int peak) {
  Bytes samples;
  for (size_t i = 0; i < frames; i++) {
    int value = static_cast<int>(std::lround(peak * std::sin(2 * M_PI * static_cast<double>(i) / 50.0)));
    for (uint16_t c = 0; c < channels; c++) {
      if (bits == 8) {
        samples.push_back(static_cast<uint8_t>(value + 128));
      } else {
        AppendU16(samples, static_cast<uint16_t>(static_cast<int16_t>(value)));
      }
    }
  }
  return samples;
}

// 16-bit output frames as left and right values.
std::vector<int16_t> AsSamples(const Bytes& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); i++) samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return samples;
}

class AudioSdlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    traced.clear();
    SetTraceSink(KeepTrace);
    HoldAudioThreadForTests(true);
  }
  void TearDown() override {
    for (CSound* sound : sounds) delete sound;
    ShutdownSound();
    HoldAudioThreadForTests(false);
    BlockAudioDeviceForTests(false);
    SetTraceSink(nullptr);
  }

  CSound* Load(const std::string& name, const Bytes& wave) {
    CSound* sound = LoadSoundEffect(WriteTempFile(name, wave));
    if (sound != nullptr) sounds.push_back(sound);
    return sound;
  }

  // frames frames of mixer output as 16-bit stereo samples.
  static std::vector<int16_t> Pull(size_t frames) {
    Bytes out(frames * 4);
    EXPECT_TRUE(MixAudioForTests(out.data(), static_cast<int32_t>(out.size())));
    return AsSamples(out);
  }

  std::vector<CSound*> sounds;
};

TEST_F(AudioSdlTest, WithoutAnAudioDriverTheStartFailsWithNoDriver) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_FALSE(InitSound(nullptr));
  EXPECT_TRUE(Traced("DirectSoundCreate8 "));
  EXPECT_TRUE(Traced("hr=DSERR_NODRIVER (0x88780078)"));
}

TEST_F(AudioSdlTest, OpensInThePrimaryFormatAndReopensWhenItChanges) {
  ASSERT_TRUE(InitSound(nullptr)) << SDL_GetError();
  int32_t frequency = 0, channels = 0, bits = 0;
  ASSERT_TRUE(AudioOutputFormatForTests(frequency, channels, bits));
  EXPECT_EQ(frequency, 22050);
  EXPECT_EQ(channels, 2);
  EXPECT_EQ(bits, 16);
  ASSERT_EQ(soundSystem->SetPrimaryFormat(1, 11025, 8), S_OK);
  ASSERT_TRUE(AudioOutputFormatForTests(frequency, channels, bits));
  EXPECT_EQ(frequency, 11025);
  EXPECT_EQ(channels, 1);
  EXPECT_EQ(bits, 8);
  EXPECT_EQ(soundSystem->SetPrimaryFormat(3, 11025, 8), DSERR_BADFORMAT);
  EXPECT_TRUE(Traced("SetFormat "));
}

TEST_F(AudioSdlTest, AnEightBitMonoEffectReachesBothChannelsAsSixteenBits) {
  ASSERT_TRUE(InitSound(nullptr));
  Bytes samples = Tone(300, 1, 8, 100);
  CSound* sound = Load("mono8.wav", WaveFile(1, 22050, 8, samples));
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(Pull(64), std::vector<int16_t>(128, 0)) << "silence before the play";

  PlaySoundEffect(sound);
  std::vector<int16_t> out = Pull(400);
  for (size_t i = 0; i < 300; i++) {
    int16_t expected = static_cast<int16_t>((samples[i] - 128) * 256);
    ASSERT_EQ(out[2 * i], expected) << i;
    ASSERT_EQ(out[2 * i + 1], expected) << i;
  }
  EXPECT_TRUE(std::all_of(out.begin() + 600, out.end(), [](int16_t s) { return s == 0; })) << "stops at its end";

  // The next play starts from the beginning again.
  PlaySoundEffect(sound);
  out = Pull(1);
  EXPECT_EQ(out[0], static_cast<int16_t>((samples[0] - 128) * 256));
  EXPECT_EQ(Pull(1)[0], static_cast<int16_t>((samples[1] - 128) * 256));
}

TEST_F(AudioSdlTest, ASixteenBitStereoEffectIsCopiedExactly) {
  ASSERT_TRUE(InitSound(nullptr));
  Bytes samples;
  for (int i = 0; i < 200; i++) {
    AppendU16(samples, static_cast<uint16_t>(i * 100));
    AppendU16(samples, static_cast<uint16_t>(-i * 150));
  }
  CSound* sound = Load("stereo16.wav", WaveFile(2, 22050, 16, samples));
  ASSERT_NE(sound, nullptr);
  PlaySoundEffect(sound);
  std::vector<int16_t> out = Pull(200);
  EXPECT_EQ(out, AsSamples(samples));
}

TEST_F(AudioSdlTest, OtherRatesAreResampledToTheDeviceRate) {
  ASSERT_TRUE(InitSound(nullptr));
  Bytes samples;
  for (int16_t value : {0, 1000, 3000, -2000}) AppendU16(samples, static_cast<uint16_t>(value));
  CSound* sound = Load("half.wav", WaveFile(1, 11025, 16, samples));
  ASSERT_NE(sound, nullptr);
  PlaySoundEffect(sound);
  std::vector<int16_t> out = Pull(10);
  std::vector<int16_t> left;
  for (size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
  // Twice as many frames, the new ones halfway between; the last frame holds, then silence.
  EXPECT_EQ(left, (std::vector<int16_t>{0, 500, 1000, 2000, 3000, 500, -2000, -2000, 0, 0}));
}

TEST_F(AudioSdlTest, VoicesAddUpAndClip) {
  ASSERT_TRUE(InitSound(nullptr));
  Bytes loud;
  for (int i = 0; i < 10; i++) AppendU16(loud, 20000);
  std::string path = WriteTempFile("loud.wav", WaveFile(1, 22050, 16, loud));
  CSound* sound = nullptr;
  ASSERT_EQ(soundSystem->CreateSound(&sound, path.c_str(), 0, GUID_NULL, 2), S_OK);
  sounds.push_back(sound);
  sound->Play(0, 0, 0, -1, 0);
  std::vector<int16_t> out = Pull(2);
  EXPECT_EQ(out[0], 20000);
  sound->Play(0, 0, 0, -1, 0);  // buffer 0 still sounds: the duplicate joins it
  out = Pull(2);
  EXPECT_EQ(out, (std::vector<int16_t>{32767, 32767, 32767, 32767}));
}

TEST_F(AudioSdlTest, AnEightBitDeviceGetsUnsignedBytes) {
  ASSERT_TRUE(InitSound(nullptr));
  ASSERT_EQ(soundSystem->SetPrimaryFormat(1, 22050, 8), S_OK);
  Bytes samples;
  for (int16_t value : {0, 12800, -12800, 32767}) AppendU16(samples, static_cast<uint16_t>(value));
  CSound* sound = Load("to8.wav", WaveFile(1, 22050, 16, samples));
  ASSERT_NE(sound, nullptr);
  PlaySoundEffect(sound);
  Bytes out(6);
  ASSERT_TRUE(MixAudioForTests(out.data(), 6));
  EXPECT_EQ(out, (Bytes{128, 178, 78, 255, 128, 128}));
}

TEST_F(AudioSdlTest, ARemovedDeviceLosesTheBuffersUntilADeviceOpensAgain) {
  ASSERT_TRUE(InitSound(nullptr));
  Bytes samples = Tone(100, 1, 8, 90);
  CSound* sound = Load("lost.wav", WaveFile(1, 22050, 8, samples));
  ASSERT_NE(sound, nullptr);
  RemoveAudioDeviceForTests();
  BlockAudioDeviceForTests(true);
  uint32_t status = 0;
  ASSERT_EQ(BufferGetStatus(sound->Buffer(0), &status), S_OK);
  EXPECT_EQ(status, DSBSTATUS_BUFFERLOST);
  EXPECT_EQ(sound->Play(0, 0, 0, -1, 0), DSERR_BUFFERLOST);
  EXPECT_TRUE(Traced("RestoreBuffer "));

  BlockAudioDeviceForTests(false);
  EXPECT_EQ(sound->Play(0, 0, 0, -1, 0), S_OK);
  std::vector<int16_t> out = Pull(100);
  for (size_t i = 0; i < 100; i++) ASSERT_EQ(out[2 * i], (samples[i] - 128) * 256) << i;
}

// The Done-when measurement: the effects through the real layer, SDL's disk driver writing the mixed
// output (22050 Hz, stereo, 16-bit) to a file in real time.
class DiskAudioTest : public AudioSdlTest {
 protected:
  struct Measured {
    size_t nonSilentFrames = 0;  // from the first to the last frame that is not silent
    int peak = 0;
  };

  Measured PlayToDisk(const std::string& name, const Bytes& wave, double seconds) {
    std::string output = TempFolder() + "/" + name + ".raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    HoldAudioThreadForTests(false);
    EXPECT_TRUE(InitSound(nullptr)) << SDL_GetError();
    CSound* sound = Load(name + ".wav", wave);
    EXPECT_NE(sound, nullptr);
    SDL_Delay(50);
    PlaySoundEffect(sound);
    SDL_Delay(static_cast<uint32_t>(seconds * 1000) + 300);
    ShutdownSound();  // closes the device: everything mixed is in the file

    std::ifstream in(output, std::ios::binary);
    std::vector<int16_t> out = AsSamples(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    Measured measured;
    size_t first = out.size(), last = 0;
    for (size_t i = 0; i < out.size(); i++) {
      if (out[i] == 0) continue;
      first = std::min(first, i / 2);
      last = std::max(last, i / 2);
      measured.peak = std::max(measured.peak, std::abs(static_cast<int>(out[i])));
    }
    if (first <= last) measured.nonSilentFrames = last - first + 1;
    return measured;
  }
};

TEST_F(DiskAudioTest, EffectsReachTheDeviceOutputWholeAndInItsFormat) {
  // 0.1 s of 8-bit mono at 22050 Hz, peaks of 100 steps of 128 (the tone reaches them).
  Measured mono8 = PlayToDisk("disk8", WaveFile(1, 22050, 8, Tone(2205, 1, 8, 100)), 0.1);
  RecordProperty("mono8_frames", static_cast<int>(mono8.nonSilentFrames));
  RecordProperty("mono8_peak", mono8.peak);
  EXPECT_EQ(mono8.peak, 100 * 256);
  EXPECT_GE(mono8.nonSilentFrames, 2200u);
  EXPECT_LE(mono8.nonSilentFrames, 2205u);

  // 0.2 s of 16-bit stereo at 11025 Hz, twice the frames at the device rate; its loudest sample is
  // 20000 sin(2 pi 12 / 50) = 19961, and halfway values never exceed their neighbours.
  Measured stereo16 = PlayToDisk("disk16", WaveFile(2, 11025, 16, Tone(2205, 2, 16, 20000)), 0.2);
  RecordProperty("stereo16_frames", static_cast<int>(stereo16.nonSilentFrames));
  RecordProperty("stereo16_peak", stereo16.peak);
  EXPECT_EQ(stereo16.peak, 19961);
  EXPECT_GE(stereo16.nonSilentFrames, 4400u);
  EXPECT_LE(stereo16.nonSilentFrames, 4412u);
}

}  // namespace
