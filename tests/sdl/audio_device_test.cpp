// The sound module over SDL audio.
// No driver, the output format, effects pulled through the mixer in the device format (8 and 16 bits, mono
// and stereo, other rates, several voices, clipping, a format change), a removed device, and the mixed
// output written by SDL's disk driver. SDL's converter goes through floating point, so a converted sample
// may be off by one step of the device format.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/directsound.h"
#include "platform/error_trace.h"
#include "platform/sdl/audio_test_hooks.h"
#include "platform/wave_reader.h"
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

// Every sample within tolerance steps of the expected one; the first difference is named.
::testing::AssertionResult Near(const std::vector<int16_t>& out, const std::vector<int16_t>& expected, int tolerance) {
  if (out.size() < expected.size()) return ::testing::AssertionFailure() << "only " << out.size() << " samples";
  for (size_t i = 0; i < expected.size(); i++) {
    if (std::abs(out[i] - expected[i]) > tolerance) {
      return ::testing::AssertionFailure() << "sample " << i << ": " << out[i] << " for " << expected[i];
    }
  }
  return ::testing::AssertionSuccess();
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
  std::vector<int16_t> expected;
  for (size_t i = 0; i < 300; i++) expected.insert(expected.end(), 2, static_cast<int16_t>((samples[i] - 128) * 256));
  EXPECT_TRUE(Near(out, expected, 1));
  EXPECT_TRUE(std::all_of(out.begin() + 600, out.end(), [](int16_t s) { return s == 0; })) << "stops at its end";

  // The next play starts from the beginning again.
  PlaySoundEffect(sound);
  EXPECT_TRUE(Near(Pull(2), std::vector<int16_t>(expected.begin(), expected.begin() + 4), 1));
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
  // 200 frames of a 50-frame sine at 11025 Hz: at the device's 22050 Hz, 400 frames of a 100-frame sine.
  CSound* sound = Load("half.wav", WaveFile(1, 11025, 16, Tone(200, 1, 16, 10000)));
  ASSERT_NE(sound, nullptr);
  PlaySoundEffect(sound);
  std::vector<int16_t> out = Pull(420);
  std::vector<int16_t> expected;
  for (int i = 0; i < 400; i++) {
    expected.insert(expected.end(), 2, static_cast<int16_t>(std::lround(10000 * std::sin(2 * M_PI * i / 100.0))));
  }
  // The resampler's filter rounds off the sharp start and end; between them the tone is kept closely.
  EXPECT_TRUE(Near(std::vector<int16_t>(out.begin() + 20, out.begin() + 780),
                   std::vector<int16_t>(expected.begin() + 20, expected.begin() + 780), 100));
  EXPECT_TRUE(std::all_of(out.begin() + 810, out.end(), [](int16_t s) { return s == 0; })) << "then silence";
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
  EXPECT_NEAR(out[0], 20000, 1);
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
  // SDL's 8-bit samples run from 0 to 254 with 127 as zero: within two steps of the exact ones.
  const Bytes exact = {128, 178, 78, 255, 128, 128};
  for (size_t i = 0; i < 4; i++) EXPECT_NEAR(out[i], exact[i], 2) << i;
  EXPECT_EQ(out[4], 128) << "silence after the effect";
  EXPECT_EQ(out[5], 128);
}

// Samples are kept only in the device's format: one lock hands them back when that is the buffer's own,
// a duplicate plays what buffer 0 was refilled with, and a new device format converts them again.
TEST_F(AudioSdlTest, ConvertedSamplesAreSharedAndFollowTheDeviceFormat) {
  ASSERT_TRUE(InitSound(nullptr));
  Bytes samples;
  for (int i = 0; i < 32; i++) AppendU32(samples, 16000u << 16 | 16000u);  // 16-bit stereo, both 16000
  std::string path = WriteTempFile("level.wav", WaveFile(2, 22050, 16, samples));
  CSound* sound = nullptr;
  ASSERT_EQ(soundSystem->CreateSound(&sound, path.c_str(), 0, GUID_NULL, 2), S_OK);
  sounds.push_back(sound);

  void* block = nullptr;
  uint32_t size = 0;
  ASSERT_EQ(BufferLock(sound->Buffer(0), 0, 128, &block, &size, nullptr, nullptr, 0), S_OK);
  ASSERT_EQ(size, 128u);
  EXPECT_EQ(Bytes(static_cast<uint8_t*>(block), static_cast<uint8_t*>(block) + size), samples);
  const int16_t changed = -3000;
  std::memcpy(block, &changed, sizeof changed);
  ASSERT_EQ(BufferUnlock(sound->Buffer(0), block, size, nullptr, 0), S_OK);
  ASSERT_EQ(BufferPlay(sound->Buffer(1), 0, 0, 0), S_OK);
  std::vector<int16_t> out = Pull(40);  // to its end
  EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 4), (std::vector<int16_t>{-3000, 16000, 16000, 16000}));

  // 8-bit mono at 11025 Hz: 16 frames of 16000 / 32768 of the way up from 127, then silence.
  ASSERT_EQ(soundSystem->SetPrimaryFormat(1, 11025, 8), S_OK);
  ASSERT_EQ(BufferPlay(sound->Buffer(0), 0, 0, 0), S_OK);
  Bytes out8(24);
  ASSERT_TRUE(MixAudioForTests(out8.data(), 24));
  for (size_t i = 4; i < 12; i++) EXPECT_NEAR(out8[i], 189, 3) << i;
  for (size_t i = 18; i < 24; i++) EXPECT_EQ(out8[i], 128) << i;
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
  std::vector<int16_t> expected;
  for (size_t i = 0; i < 100; i++) expected.insert(expected.end(), 2, static_cast<int16_t>((samples[i] - 128) * 256));
  EXPECT_TRUE(Near(out, expected, 1));
}

// As the original refuses them: a buffer of fewer than DSBSIZE_MIN or more than DSBSIZE_MAX bytes.
TEST_F(AudioSdlTest, BufferSizesOutsideTheBoundsAreRefusedAsInvalid) {
  SoundDevice* device = nullptr;
  ASSERT_EQ(DirectSoundCreate8(&device), S_OK);
  WaveFormat format = {WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0};
  for (uint32_t bytes : {0u, DSBSIZE_MIN - 1, DSBSIZE_MIN, DSBSIZE_MAX + 1, 0xFFFFFFFFu}) {
    BufferDescription description = {};
    description.dwSize = sizeof description;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = &format;
    SoundBuffer* buffer = nullptr;
    const bool inBounds = bytes >= DSBSIZE_MIN && bytes <= DSBSIZE_MAX;
    EXPECT_EQ(CreateSoundBuffer(device, &description, &buffer), inBounds ? S_OK : DSERR_INVALIDPARAM) << bytes;
    EXPECT_EQ(buffer != nullptr, inBounds) << bytes;
    Release(buffer);
  }
  Release(device);
}

// Wave files as sox and other writers lay them out (tests/waves/make_waves.sh): every one is read; the
// 8- and 16-bit mono and stereo ones, plain or in the extensible wrapper with the PCM sub-format, play
// exactly their samples; the rest (three channels, 24 bits, float, a-law, ADPCM) are refused when the
// buffer is made.
TEST_F(AudioSdlTest, WavesWrittenBySoxAreReadAndThePcmOnesPlayed) {
  ASSERT_TRUE(InitSound(nullptr));
  struct Case {
    const char* file;
    bool plays;
  };
  const Case cases[] = {
      {"pcm8-mono.wav", true},       {"pcm8-stereo.wav", true},     {"pcm16-mono.wav", true},
      {"pcm16-stereo.wav", true},    {"ext8-mono.wav", true},       {"ext8-stereo.wav", true},
      {"ext16-mono.wav", true},      {"ext16-stereo.wav", true},    {"ext16-3ch.wav", false},
      {"pcm16-3ch.wav", false},      {"ext24-stereo.wav", false},   {"alaw-mono.wav", false},
      {"ext-alaw-mono.wav", false},  {"float-stereo.wav", false},   {"ima-adpcm-mono.wav", false},
  };
  for (const Case& c : cases) {
    const std::string path = std::string(VEMS_SOURCE_DIR) + "/tests/waves/" + c.file;
    CWaveReader reader;
    ASSERT_EQ(reader.Open(path.c_str()), S_OK) << c.file;
    Bytes data(reader.DataSize());
    uint32_t got = 0;
    ASSERT_EQ(reader.Read(data.data(), reader.DataSize(), &got), S_OK) << c.file;
    ASSERT_GT(got, 0u) << c.file;

    traced.clear();
    SetTraceSink(KeepTrace);  // afresh: each refusal is the same line as the one before
    CSound* sound = LoadSoundEffect(path);
    if (!c.plays) {
      EXPECT_EQ(sound, nullptr) << c.file;
      EXPECT_TRUE(Traced("CreateSoundBuffer ") && Traced("hr=DSERR_BADFORMAT (0x88780064)")) << c.file;
      delete sound;
      continue;
    }
    ASSERT_NE(sound, nullptr) << c.file;
    sounds.push_back(sound);
    // What the mixer must give at the file's own rate: both channels, 16-bit signed.
    const WaveFormat& format = *reader.m_pwfx;
    std::vector<int16_t> expected;
    for (size_t at = 0; at + format.nBlockAlign <= data.size(); at += format.nBlockAlign) {
      for (int channel = 0; channel < 2; channel++) {
        const size_t sample = at + (format.nChannels == 2 ? channel : 0) * format.wBitsPerSample / 8;
        expected.push_back(format.wBitsPerSample == 8 ? static_cast<int16_t>((data[sample] - 128) * 256)
                                                      : static_cast<int16_t>(data[sample] | data[sample + 1] << 8));
      }
    }
    PlaySoundEffect(sound);
    std::vector<int16_t> out = Pull(expected.size() / 2 + 10);
    EXPECT_TRUE(Near(out, expected, 1)) << c.file;
    EXPECT_TRUE(std::all_of(out.begin() + expected.size(), out.end(), [](int16_t v) { return v == 0; })) << c.file;
  }
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
  EXPECT_NEAR(mono8.peak, 100 * 256, 1);
  EXPECT_GE(mono8.nonSilentFrames, 2200u);
  EXPECT_LE(mono8.nonSilentFrames, 2205u);

  // 0.2 s of 16-bit stereo at 11025 Hz, twice the frames at the device rate; its loudest sample is
  // 20000 sin(2 pi 12 / 50) = 19961, which the resampler's filter may round off or overshoot a little.
  Measured stereo16 = PlayToDisk("disk16", WaveFile(2, 11025, 16, Tone(2205, 2, 16, 20000)), 0.2);
  RecordProperty("stereo16_frames", static_cast<int>(stereo16.nonSilentFrames));
  RecordProperty("stereo16_peak", stereo16.peak);
  EXPECT_NEAR(stereo16.peak, 19961, 100);
  EXPECT_GE(stereo16.nonSilentFrames, 4400u);
  EXPECT_LE(stereo16.nonSilentFrames, 4412u);
}

}  // namespace
