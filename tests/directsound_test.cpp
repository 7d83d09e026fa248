// The sound module on the fake device.
// Start-up and primary format, making sounds from wave files, filling, restoring lost buffers, picking a
// buffer, playing, and the free functions' refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/directsound.h"
#include "platform/fake/fake_audio.h"
#include "support/trace_capture.h"
#include "support/wave_bytes.h"

namespace {

class SoundTest : public TraceCaptureTest {
 protected:
  void TearDown() override {
    delete sound;
    Release(device);
    TraceCaptureTest::TearDown();
  }

  // A started sound system and an effect from a wave file of these samples.
  CSound* Effect(const Bytes& samples, uint16_t bits = 8, uint16_t channels = 1) {
    EXPECT_TRUE(InitSound(nullptr));
    sound = LoadSoundEffect(WriteTempFile("effect.wav", WaveFile(channels, 22050, bits, samples)));
    return sound;
  }

  // A sound of bufferBytes bytes made directly over a wave from memory, so its size may differ from
  // the wave's data.
  CSound* DirectSound(const Bytes& wave, uint32_t bufferBytes) {
    CWaveReader* reader = new CWaveReader;
    EXPECT_EQ(reader->OpenFromMemory(wave.data(), static_cast<uint32_t>(wave.size())), S_OK);
    if (device == nullptr) {
      EXPECT_EQ(DirectSoundCreate8(&device), S_OK);
    }
    BufferDescription description = {};
    description.dwBufferBytes = bufferBytes;
    description.lpwfxFormat = reader->m_pwfx;
    SoundBuffer* buffer = nullptr;
    EXPECT_EQ(CreateSoundBuffer(device, &description, &buffer), S_OK);
    sound = new CSound(&buffer, bufferBytes, 1, reader, 0);
    return sound;
  }

  CSound* sound = nullptr;
  SoundDevice* device = nullptr;  // of DirectSound's sounds
};

TEST_F(SoundTest, InitSoundSetsTheGamesPrimaryFormat) {
  ASSERT_TRUE(InitSound(nullptr));
  ASSERT_NE(soundSystem, nullptr);
  WaveFormat format = FakePrimaryFormat();
  EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(format.nChannels, 2);
  EXPECT_EQ(format.nSamplesPerSec, 22050u);
  EXPECT_EQ(format.wBitsPerSample, 16);
  EXPECT_EQ(format.nBlockAlign, 4);
  EXPECT_EQ(format.nAvgBytesPerSec, 88200u);
  EXPECT_EQ(FakeLiveBufferCount(), 0) << "the primary buffer is released again";

  ASSERT_EQ(soundSystem->SetPrimaryFormat(1, 11025, 8), S_OK);
  format = FakePrimaryFormat();
  EXPECT_EQ(format.nBlockAlign, 1);
  EXPECT_EQ(format.nAvgBytesPerSec, 11025u);
  EXPECT_TRUE(TracedLines().empty());
}

TEST_F(SoundTest, InitSoundWithoutADeviceFailsAndTracesTheCreation) {
  SetFakeAudioDeviceMissing(true);
  EXPECT_FALSE(InitSound(nullptr));
  ASSERT_EQ(TracedLines().size(), 1u);
  EXPECT_NE(TracedLines()[0].find("DirectSoundCreate8 hr=DSERR_NODRIVER (0x88780078)"), std::string::npos);
  EXPECT_EQ(TracedLines()[0].rfind("directsound(", 0), 0u);
  EXPECT_EQ(soundSystem->SetPrimaryFormat(2, 22050, 16), CO_E_NOTINITIALIZED);
  EXPECT_EQ(LoadSoundEffect("anything.wav"), nullptr);

  FailNextFakeAudioCall("SetCooperativeLevel", DSERR_PRIOLEVELNEEDED);
  SetFakeAudioDeviceMissing(false);
  EXPECT_FALSE(InitSound(nullptr));
  EXPECT_TRUE(Traced("SetCooperativeLevel"));
  FailNextFakeAudioCall("SetFormat", DSERR_BADFORMAT);
  EXPECT_FALSE(InitSound(nullptr));
  EXPECT_TRUE(Traced("SetFormat"));
  EXPECT_EQ(FakeLiveBufferCount(), 0);
}

TEST_F(SoundTest, AnEffectHoldsTheWholeWaveDataAndPlaysOnce) {
  Bytes samples = Ramp(1001, 9);
  ASSERT_NE(Effect(samples), nullptr);
  ASSERT_EQ(sound->BufferCount(), 1u);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(0)), samples);
  EXPECT_EQ(FakePlayCount(sound), 0);
  PlaySoundEffect(sound);
  EXPECT_EQ(FakePlayCount(sound), 1);
  EXPECT_TRUE(TracedLines().empty());
}

TEST_F(SoundTest, AnEffectStillSoundingPlaysAgainOnItsOneBuffer) {
  ASSERT_NE(Effect(Ramp(64)), nullptr);
  SetFakeBufferPlaying(sound->Buffer(0), true);
  PlaySoundEffect(sound);
  PlaySoundEffect(sound);
  EXPECT_EQ(sound->BufferCount(), 1u);
  EXPECT_EQ(FakeBufferPlayCount(sound->Buffer(0)), 2);
  EXPECT_EQ(FakeLiveBufferCount(), 1);
}

TEST_F(SoundTest, ALostBufferIsRestoredAndRefilledBeforeItPlays) {
  Bytes samples = Ramp(300, 1);
  ASSERT_NE(Effect(samples), nullptr);
  LoseFakeBuffer(sound->Buffer(0), 2);
  size_t before = FakeAudioCalls().size();
  PlaySoundEffect(sound);

  std::vector<std::string> calls(FakeAudioCalls().begin() + static_cast<long>(before), FakeAudioCalls().end());
  std::vector<std::string> expected = {
      "GetStatus #2",                              // the pick: not playing (#1 was the primary buffer)
      "GetStatus #2", "Restore #2", "Restore #2",  // lost; both restores of the first pass fail
      "Restore #2",   "Restore #2",                // the second pass restores it
      "GetStatus #2", "Lock #2",    "Unlock #2",   // the refill (no longer lost)
      "Play #2"};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(FakeSleptMilliseconds(), 10u);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(0)), samples);
  EXPECT_EQ(FakePlayCount(sound), 1);
  EXPECT_TRUE(TracedLines().empty());
}

TEST_F(SoundTest, ABufferThatCannotComeBackIsSkippedNotWaitedForForever) {
  ASSERT_NE(Effect(Ramp(50)), nullptr);
  LoseFakeBuffer(sound->Buffer(0));
  SetFakeAudioDeviceMissing(true);
  PlaySoundEffect(sound);
  EXPECT_EQ(FakePlayCount(sound), 0);
  EXPECT_TRUE(Traced("RestoreBuffer"));
  EXPECT_NE(TracedLines().back().find("hr=DSERR_BUFFERLOST"), std::string::npos);
  EXPECT_EQ(FakeSleptMilliseconds(), 20u);

  // Once a device is there again, the next play restores, refills and plays.
  SetFakeAudioDeviceMissing(false);
  PlaySoundEffect(sound);
  EXPECT_EQ(FakePlayCount(sound), 1);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(0)), Ramp(50));
}

TEST_F(SoundTest, FailuresOfTheRefillAreTracedAndNothingPlays) {
  ASSERT_NE(Effect(Ramp(50)), nullptr);
  LoseFakeBuffer(sound->Buffer(0));
  FailNextFakeAudioCall("Lock", DSERR_INVALIDCALL);
  EXPECT_EQ(sound->Play(0, 0, 0, -1, 0), DSERR_INVALIDCALL);
  EXPECT_TRUE(Traced("Lock"));
  EXPECT_TRUE(Traced("FillBufferWithSound"));
  EXPECT_EQ(FakePlayCount(sound), 0);

  FailNextFakeAudioCall("GetStatus", E_FAIL);
  EXPECT_EQ(sound->RestoreBuffer(sound->Buffer(0), nullptr), E_FAIL);
  EXPECT_TRUE(Traced("GetStatus"));
  FailNextFakeAudioCall("Play", DSERR_BUFFERLOST);
  EXPECT_EQ(sound->Play(0, 0, 0, -1, 0), DSERR_BUFFERLOST) << "the play's own answer is passed on";
}

TEST_F(SoundTest, SilenceIs128For8BitAnd0For16Bit) {
  // A wave whose data chunk is empty yields nothing: the whole buffer is silence.
  DirectSound(WaveFile(1, 8000, 8, {}), 40);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(0)), Bytes(40, 128));
  delete sound;
  DirectSound(WaveFile(2, 8000, 16, {}), 40);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(0)), Bytes(40, 0));
}

TEST_F(SoundTest, ShortDataIsFollowedBySilenceOrRepeated) {
  DirectSound(WaveFile(1, 8000, 8, Bytes{1, 2, 3, 4}), 10);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(0)), (Bytes{1, 2, 3, 4, 128, 128, 128, 128, 128, 128}));
  ASSERT_EQ(sound->FillBufferWithSound(sound->Buffer(0), true), S_OK);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(0)), (Bytes{1, 2, 3, 4, 1, 2, 3, 4, 1, 2}));
  EXPECT_EQ(sound->FillBufferWithSound(nullptr, true), CO_E_NOTINITIALIZED);
}

TEST_F(SoundTest, GetFreeBufferTakesTheFirstSilentOneElseARandomOne) {
  ASSERT_TRUE(InitSound(nullptr));
  WriteTempFile("three.wav", WaveFile(1, 8000, 8, Ramp(16)));
  ASSERT_EQ(soundSystem->CreateSound(&sound, (TempFolder() + "/three.wav").c_str(), 0, GUID_NULL, 3), S_OK);
  ASSERT_EQ(sound->BufferCount(), 3u);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(2)), Ramp(16)) << "duplicates share the data";

  SetFakeBufferPlaying(sound->Buffer(0), true);
  std::srand(7);
  EXPECT_EQ(sound->GetFreeBuffer(), sound->Buffer(1));
  int next = std::rand();
  std::srand(7);
  EXPECT_EQ(next, std::rand()) << "no random number drawn when a buffer is free";

  for (uint32_t i = 0; i < 3; i++) SetFakeBufferPlaying(sound->Buffer(i), true);
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    std::srand(seed);
    uint32_t expected = static_cast<uint32_t>(std::rand()) % 3;
    std::srand(seed);
    EXPECT_EQ(sound->GetFreeBuffer(), sound->Buffer(expected)) << seed;
  }
}

TEST_F(SoundTest, CreateSoundRefusesBadArgumentsAndMakesNothing) {
  std::string path = WriteTempFile("ok.wav", WaveFile(1, 8000, 8, Ramp(16)));
  CSoundSystem unstarted;
  EXPECT_EQ(unstarted.CreateSound(&sound, path.c_str(), 0, GUID_NULL, 1), CO_E_NOTINITIALIZED);
  ASSERT_TRUE(InitSound(nullptr));
  size_t before = FakeAudioCalls().size();
  EXPECT_EQ(soundSystem->CreateSound(&sound, path.c_str(), 0, GUID_NULL, 0), E_INVALIDARG);
  EXPECT_EQ(soundSystem->CreateSound(&sound, nullptr, 0, GUID_NULL, 1), E_INVALIDARG);
  EXPECT_EQ(soundSystem->CreateSound(nullptr, path.c_str(), 0, GUID_NULL, 1), E_INVALIDARG);
  EXPECT_EQ(sound, nullptr);
  EXPECT_EQ(FakeAudioCalls().size(), before);
  EXPECT_TRUE(TracedLines().empty());
}

TEST_F(SoundTest, CreateSoundOfAMissingFileFailsAfterTheReadersTrace) {
  ASSERT_TRUE(InitSound(nullptr));
  EXPECT_EQ(soundSystem->CreateSound(&sound, (TempFolder() + "/missing.wav").c_str(), 0, GUID_NULL, 1), E_FAIL);
  EXPECT_TRUE(Traced("FindResource"));
  EXPECT_EQ(sound, nullptr);
  EXPECT_EQ(FakeLiveBufferCount(), 0);
  EXPECT_EQ(LoadSoundEffect(TempFolder() + "/missing.wav"), nullptr);
}

TEST_F(SoundTest, FailedBufferCreationIsTracedAndReleasesWhatWasMade) {
  ASSERT_TRUE(InitSound(nullptr));
  // A format the mixer cannot convert.
  Bytes wide = RiffFile({Chunk("fmt ", PcmFormat(1, 8000, 24)), Chunk("data", Ramp(30))});
  EXPECT_EQ(LoadSoundEffect(WriteTempFile("wide.wav", wide)), nullptr);
  EXPECT_TRUE(Traced("CreateSoundBuffer"));
  EXPECT_NE(TracedLines().back().find("DSERR_BADFORMAT"), std::string::npos);

  std::string path = WriteTempFile("ok.wav", WaveFile(1, 8000, 8, Ramp(16)));
  FailNextFakeAudioCall("DuplicateSoundBuffer", E_OUTOFMEMORY);
  EXPECT_EQ(soundSystem->CreateSound(&sound, path.c_str(), 0, GUID_NULL, 3), E_OUTOFMEMORY);
  EXPECT_TRUE(Traced("DuplicateSoundBuffer"));
  EXPECT_EQ(FakeLiveBufferCount(), 0);

  // With effects, every buffer is a creation of its own.
  ASSERT_EQ(soundSystem->CreateSound(&sound, path.c_str(), DSBCAPS_CTRLFX, GUID_NULL, 2), S_OK);
  EXPECT_EQ(FakeLiveBufferCount(), 2);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(1)), Bytes(16, 0)) << "only buffer 0 is filled";
}

TEST_F(SoundTest, NoVirtualizationIsASuccessThatKeepsTheSound) {
  ASSERT_TRUE(InitSound(nullptr));
  std::string path = WriteTempFile("ok.wav", WaveFile(1, 8000, 8, Ramp(16)));
  FailNextFakeAudioCall("CreateSoundBuffer", DS_NO_VIRTUALIZATION);
  EXPECT_EQ(soundSystem->CreateSound(&sound, path.c_str(), 0, GUID_NULL, 1), DS_NO_VIRTUALIZATION);
  ASSERT_NE(sound, nullptr);
  delete sound;
  FailNextFakeAudioCall("CreateSoundBuffer", DS_NO_VIRTUALIZATION);
  sound = LoadSoundEffect(path);
  EXPECT_NE(sound, nullptr);
}

TEST_F(SoundTest, LoadSoundEffectRefusesNamesItCannotHoldWhole) {
  ASSERT_TRUE(InitSound(nullptr));
  // A file with the first 254 characters of a 255-character name exists; the long name must not open it.
  std::string folder = TempFolder() + "/";
  std::string longName = folder + std::string(255 - folder.size() - 4, 'n') + ".wav";
  ASSERT_EQ(longName.size(), 255u);
  WriteTempFile(longName.substr(folder.size(), 254 - folder.size()), WaveFile(1, 8000, 8, Ramp(16)));
  EXPECT_EQ(LoadSoundEffect(longName), nullptr);

  std::string fitting = longName.substr(0, 250) + ".wav";
  ASSERT_EQ(fitting.size(), 254u);
  WriteTempFile(fitting.substr(folder.size()), WaveFile(1, 8000, 8, Ramp(16)));
  sound = LoadSoundEffect(fitting);
  EXPECT_NE(sound, nullptr);

  std::string ok = WriteTempFile("ok.wav", WaveFile(1, 8000, 8, Ramp(16)));
  EXPECT_EQ(LoadSoundEffect(ok + std::string(1, '\0') + "junk"), nullptr);
}

TEST_F(SoundTest, AnOverclaimedDataChunkGetsABufferOfTheRealData) {
  Bytes wave = RiffFile({Chunk("fmt ", PcmFormat(1, 8000, 8)), Chunk("data", Ramp(100), 0xFFFFFFF0)});
  ASSERT_TRUE(InitSound(nullptr));
  sound = LoadSoundEffect(WriteTempFile("claims.wav", wave));
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(FakeBufferSamples(sound->Buffer(0)), Ramp(100));
}

TEST_F(SoundTest, EffectsOutliveTheSoundSystemSafely) {
  ASSERT_NE(Effect(Ramp(32)), nullptr);
  ShutdownSound();
  EXPECT_EQ(soundSystem, nullptr);
  ShutdownSound();
  PlaySoundEffect(sound);  // the device is gone: nothing sounds, nothing breaks
  EXPECT_EQ(FakePlayCount(sound), 0);
  PlaySoundEffect(nullptr);
}

}  // namespace
