// The wave reader over files and memory.
// Headers, chunk search, piecewise reads, malformed files, and files written by sox.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/wave_reader.h"
#include "support/non_regular_files.h"
#include "support/trace_capture.h"
#include "support/wave_bytes.h"

namespace {

class WaveReaderTest : public TraceCaptureTest {
 protected:
  // Opens bytes from memory, or from a file when fromFile.
  HRESULT OpenBytes(CWaveReader& reader, const Bytes& bytes, bool fromFile = false) {
    if (fromFile) return reader.Open(WriteTempFile("reader.wav", bytes).c_str());
    return reader.OpenFromMemory(bytes.data(), static_cast<uint32_t>(bytes.size()));
  }

  // Everything Read hands out until it gives 0, in pieces of pieceSize.
  static Bytes ReadAll(CWaveReader& reader, uint32_t pieceSize) {
    Bytes all;
    Bytes piece(pieceSize);
    for (;;) {
      uint32_t got = 0;
      EXPECT_EQ(reader.Read(piece.data(), pieceSize, &got), S_OK);
      if (got == 0) return all;
      all.insert(all.end(), piece.begin(), piece.begin() + got);
    }
  }
};

// The same reads from a file (refilled through its read buffer) and from memory.
class WaveReaderSourceTest : public WaveReaderTest, public ::testing::WithParamInterface<bool> {};

TEST_P(WaveReaderSourceTest, ReadsInPiecesUntilTheDataIsUsedUpAndAgainAfterReset) {
  Bytes samples = Ramp(10000, 7);
  CWaveReader reader;
  ASSERT_EQ(OpenBytes(reader, WaveFile(1, 22050, 16, samples), GetParam()), S_OK);
  EXPECT_EQ(reader.DataSize(), 10000u);

  Bytes piece(4096);
  uint32_t got = 0;
  std::vector<uint32_t> sizes;
  Bytes all;
  for (int i = 0; i < 4; i++) {
    ASSERT_EQ(reader.Read(piece.data(), 4096, &got), S_OK);
    sizes.push_back(got);
    all.insert(all.end(), piece.begin(), piece.begin() + got);
  }
  EXPECT_EQ(sizes, (std::vector<uint32_t>{4096, 4096, 1808, 0}));
  EXPECT_EQ(all, samples);

  ASSERT_EQ(reader.ResetFile(), S_OK);
  ASSERT_EQ(reader.Read(piece.data(), 4096, &got), S_OK);
  EXPECT_EQ(got, 4096u);
  EXPECT_EQ(Bytes(piece.begin(), piece.end()), Bytes(samples.begin(), samples.begin() + 4096));
  EXPECT_TRUE(TracedLines().empty());
}

TEST_P(WaveReaderSourceTest, OddPiecesAcrossTheReadBufferGiveTheExactData) {
  Bytes samples = Ramp(20001, 3);
  CWaveReader reader;
  ASSERT_EQ(OpenBytes(reader, WaveFile(1, 8000, 8, samples), GetParam()), S_OK);
  EXPECT_EQ(ReadAll(reader, 777), samples);
  ASSERT_EQ(reader.ResetFile(), S_OK);
  EXPECT_EQ(ReadAll(reader, 1), Bytes(samples.begin(), samples.end()));
}

INSTANTIATE_TEST_SUITE_P(FileAndMemory, WaveReaderSourceTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "File" : "Memory"; });

TEST_F(WaveReaderTest, KeepsThePcmFormatRecord) {
  CWaveReader reader;
  ASSERT_EQ(OpenBytes(reader, WaveFile(2, 44100, 16, Ramp(8))), S_OK);
  ASSERT_NE(reader.m_pwfx, nullptr);
  EXPECT_EQ(reader.m_pwfx->wFormatTag, 1);
  EXPECT_EQ(reader.m_pwfx->nChannels, 2);
  EXPECT_EQ(reader.m_pwfx->nSamplesPerSec, 44100u);
  EXPECT_EQ(reader.m_pwfx->nAvgBytesPerSec, 176400u);
  EXPECT_EQ(reader.m_pwfx->nBlockAlign, 4);
  EXPECT_EQ(reader.m_pwfx->wBitsPerSample, 16);
  EXPECT_EQ(reader.m_pwfx->cbSize, 0);

  // A PCM record is 16 bytes whatever follows them in the chunk.
  Bytes format = PcmFormat(1, 11025, 8);
  AppendU16(format, 22);
  ASSERT_EQ(OpenBytes(reader, RiffFile({Chunk("fmt ", format), Chunk("data", Ramp(4))})), S_OK);
  EXPECT_EQ(reader.m_pwfx->cbSize, 0);
  EXPECT_EQ(reader.m_pwfx->nSamplesPerSec, 11025u);
}

TEST_F(WaveReaderTest, OtherFormatTagsKeepTheirExtraBytes) {
  Bytes format = PcmFormat(1, 8000, 16, 0x11);
  AppendU16(format, 3);
  format.insert(format.end(), {0xA1, 0xB2, 0xC3});
  CWaveReader reader;
  ASSERT_EQ(OpenBytes(reader, RiffFile({Chunk("fmt ", format), Chunk("data", Ramp(6))})), S_OK);
  ASSERT_EQ(reader.m_pwfx->cbSize, 3);
  const uint8_t* extra = reinterpret_cast<const uint8_t*>(reader.m_pwfx) + sizeof(WaveFormat);
  EXPECT_EQ(Bytes(extra, extra + 3), (Bytes{0xA1, 0xB2, 0xC3}));
  EXPECT_EQ(reader.DataSize(), 6u);

  // Extra bytes the file does not hold fail the read, and nothing is kept.
  Bytes cut = PcmFormat(1, 8000, 16, 0x11);
  AppendU16(cut, 40);
  EXPECT_EQ(OpenBytes(reader, RiffFile({Chunk("fmt ", cut)})), E_FAIL);
  EXPECT_TRUE(Traced("mmioRead"));
  EXPECT_EQ(reader.m_pwfx, nullptr);
  EXPECT_EQ(reader.DataSize(), 0u);
}

TEST_F(WaveReaderTest, FindsChunksInAnyOrderPastOtherChunks) {
  Bytes samples = Ramp(9, 100);
  Bytes info = Chunk("INFO", Bytes{'h', 'i', '!'});  // odd size: a pad byte follows
  Bytes bytes = RiffFile({Chunk("LIST", info), Chunk("data", samples), Chunk("fact", Bytes{9, 0, 0, 0}),
                          Chunk("fmt ", PcmFormat(1, 8000, 8))});
  CWaveReader reader;
  ASSERT_EQ(OpenBytes(reader, bytes), S_OK);
  EXPECT_EQ(reader.m_pwfx->wBitsPerSample, 8);
  EXPECT_EQ(ReadAll(reader, 64), samples);
}

TEST_F(WaveReaderTest, RefusesWhatIsNotARiffWave) {
  CWaveReader reader;
  Bytes notRiff = WaveFile(1, 8000, 8, Ramp(4));
  notRiff[0] = 'X';
  EXPECT_EQ(OpenBytes(reader, notRiff), E_FAIL);
  EXPECT_TRUE(Traced("mmioFOURCC"));
  EXPECT_TRUE(Traced("ReadMMIO"));

  StartTraceCapture();
  EXPECT_EQ(OpenBytes(reader, RiffFile({Chunk("fmt ", PcmFormat(1, 8000, 8))}, "AVI ")), E_FAIL);
  EXPECT_TRUE(Traced("mmioFOURCC"));
  EXPECT_EQ(reader.DataSize(), 0u);
  // A failed open leaves nothing to read.
  uint8_t byte;
  uint32_t got = 1;
  EXPECT_EQ(reader.Read(&byte, 1, &got), CO_E_NOTINITIALIZED);
  EXPECT_EQ(reader.ResetFile(), CO_E_NOTINITIALIZED);
}

TEST_F(WaveReaderTest, RefusesAShortOrMissingFormatChunk) {
  CWaveReader reader;
  Bytes shortFormat = PcmFormat(1, 8000, 8);
  shortFormat.resize(14);
  EXPECT_EQ(OpenBytes(reader, RiffFile({Chunk("fmt ", shortFormat), Chunk("data", Ramp(4))})), E_FAIL);
  EXPECT_TRUE(Traced("sizeof(PCMWAVEFORMAT)"));

  StartTraceCapture();
  EXPECT_EQ(OpenBytes(reader, RiffFile({Chunk("data", Ramp(4))})), E_FAIL);
  EXPECT_TRUE(Traced("mmioDescend"));
  EXPECT_EQ(reader.DataSize(), 0u);
}

TEST_F(WaveReaderTest, WithoutADataChunkTheSizeStaysZero) {
  CWaveReader reader;
  EXPECT_EQ(OpenBytes(reader, RiffFile({Chunk("fmt ", PcmFormat(1, 8000, 8))})), E_FAIL);
  EXPECT_TRUE(Traced("mmioDescend"));
  EXPECT_TRUE(Traced("ResetFile"));
  EXPECT_EQ(reader.DataSize(), 0u);
}

TEST_F(WaveReaderTest, MissingFileFailsWithFindResource) {
  CWaveReader reader;
  EXPECT_EQ(reader.Open((TempFolder() + "/no such sound.wav").c_str()), E_FAIL);
  EXPECT_TRUE(Traced("FindResource"));
  EXPECT_EQ(reader.DataSize(), 0u);
  EXPECT_EQ(reader.Open(nullptr), E_INVALIDARG);
}

// Named pipes (which would block in open() for good), folders, devices, sockets and link loops are no
// wave files: each fails at once as a missing file does.
TEST_F(WaveReaderTest, AnythingButARegularFileFailsAsAMissingFile) {
  for (const NonRegularFile& file : NonRegularFiles()) {
    StartTraceCapture();  // only this open's trace
    CWaveReader reader;
    EXPECT_EQ(reader.Open(file.path.c_str()), E_FAIL) << file.kind;
    EXPECT_TRUE(Traced("FindResource")) << file.kind;
    EXPECT_EQ(reader.DataSize(), 0u) << file.kind;
  }
}

TEST_F(WaveReaderTest, ReopeningSwitchesToTheNewFile) {
  CWaveReader reader;
  ASSERT_EQ(reader.Open(WriteTempFile("first.wav", WaveFile(1, 8000, 8, Ramp(10))).c_str()), S_OK);
  ASSERT_EQ(reader.Open(WriteTempFile("second.wav", WaveFile(2, 22050, 16, Ramp(8, 50))).c_str()), S_OK);
  EXPECT_EQ(reader.m_pwfx->nChannels, 2);
  EXPECT_EQ(ReadAll(reader, 100), Ramp(8, 50));
  EXPECT_EQ(reader.Open((TempFolder() + "/gone.wav").c_str()), E_FAIL);
  EXPECT_EQ(reader.DataSize(), 0u);
}

TEST_F(WaveReaderTest, DataSizeIsWhatTheFileHoldsNotWhatItClaims) {
  for (bool fromFile : {false, true}) {
    for (uint32_t claimed : {101u, 0x7FFFFFFFu, 0xFFFFFFF7u, 0xFFFFFFFFu}) {
      Bytes bytes = RiffFile({Chunk("fmt ", PcmFormat(1, 8000, 8)), Chunk("data", Ramp(100), claimed)});
      CWaveReader reader;
      ASSERT_EQ(OpenBytes(reader, bytes, fromFile), S_OK) << claimed;
      EXPECT_EQ(reader.DataSize(), 100u) << claimed;
      EXPECT_EQ(ReadAll(reader, 64), Ramp(100)) << claimed;
    }
  }
}

TEST_F(WaveReaderTest, HugeOrOddChunkSizesNeverReadOutOfBounds) {
  // A chunk whose size runs past the end (or wraps 32 bits) hides everything behind it.
  for (uint32_t size : {0xFFFFFFFFu, 0xFFFFFFF0u, 0x80000000u, 1001u}) {
    Bytes bytes = RiffFile({Chunk("fmt ", PcmFormat(1, 8000, 8)), Chunk("junk", Ramp(3), size), Chunk("data", Ramp(4))});
    CWaveReader reader;
    EXPECT_EQ(OpenBytes(reader, bytes), E_FAIL) << size;
    EXPECT_EQ(reader.DataSize(), 0u);
  }
  // The outer chunk's claim bounds the search: a "data" chunk behind its end is not found.
  Bytes bytes = WaveFile(1, 8000, 8, Ramp(4));
  bytes[4] = 4 + 24;  // form type and "fmt " only
  bytes[5] = bytes[6] = bytes[7] = 0;
  CWaveReader reader;
  EXPECT_EQ(OpenBytes(reader, bytes), E_FAIL);
}

TEST_F(WaveReaderTest, EveryTruncationOfAFileIsRefusedOrReadWithinItsBytes) {
  Bytes samples = Ramp(40);
  Bytes bytes = RiffFile({Chunk("LIST", Ramp(5)), Chunk("fmt ", PcmFormat(2, 8000, 16)), Chunk("data", samples)});
  for (size_t length = 0; length <= bytes.size(); length++) {
    Bytes cut(bytes.begin(), bytes.begin() + length);
    CWaveReader reader;
    HRESULT hr = OpenBytes(reader, cut, length % 2 == 0);
    if (FAILED(hr)) {
      EXPECT_EQ(reader.DataSize(), 0u);
      continue;
    }
    size_t dataStart = bytes.size() - samples.size();
    ASSERT_GE(length, dataStart);
    EXPECT_EQ(reader.DataSize(), length - dataStart);
    EXPECT_EQ(ReadAll(reader, 16), Bytes(samples.begin(), samples.begin() + (length - dataStart)));
  }
}

// ---- Files written by sox ----

class SoxWaveTest : public WaveReaderTest {
 protected:
  void SetUp() override {
    WaveReaderTest::SetUp();
    if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
  }

  // Makes a short tone with sox options; the samples as sox itself reads them back go to *raw.
  static std::string MakeTone(const std::string& name, const std::string& options, Bytes* raw) {
    std::string path = TempFolder() + "/" + name + ".wav";
    std::string rawPath = TempFolder() + "/" + name + ".raw";
    std::string make = "sox -n " + options + " '" + path + "' synth 0.05 sine 440 vol 0.5 2>/dev/null";
    std::string back = "sox '" + path + "' -t raw '" + rawPath + "' 2>/dev/null";
    EXPECT_EQ(std::system(make.c_str()), 0);
    EXPECT_EQ(std::system(back.c_str()), 0);
    std::ifstream in(rawPath, std::ios::binary);
    raw->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return path;
  }
};

TEST_F(SoxWaveTest, ReadsPcmFilesAsSoxReadsThem) {
  struct Case {
    const char* name;
    const char* options;
    uint16_t channels;
    uint16_t bits;
  };
  for (const Case& c : {Case{"mono8", "-r 11025 -b 8 -c 1", 1, 8}, Case{"stereo16", "-r 22050 -b 16 -c 2", 2, 16},
                        Case{"mono16", "-r 44100 -b 16 -c 1", 1, 16}, Case{"stereo8", "-r 8000 -b 8 -c 2", 2, 8}}) {
    Bytes raw;
    std::string path = MakeTone(c.name, c.options, &raw);
    ASSERT_FALSE(raw.empty()) << c.name;
    CWaveReader reader;
    ASSERT_EQ(reader.Open(path.c_str()), S_OK) << c.name;
    EXPECT_EQ(reader.m_pwfx->wFormatTag, 1) << c.name;
    EXPECT_EQ(reader.m_pwfx->nChannels, c.channels) << c.name;
    EXPECT_EQ(reader.m_pwfx->wBitsPerSample, c.bits) << c.name;
    EXPECT_EQ(reader.DataSize(), raw.size()) << c.name;
    EXPECT_EQ(ReadAll(reader, 1000), raw) << c.name;
  }
}

TEST_F(SoxWaveTest, SkipsFactAndListChunksAndKeepsExtensibleExtras) {
  // 24-bit: an extensible format record with 22 extra bytes, and a "fact" chunk before the data.
  Bytes raw;
  std::string path = MakeTone("wide24", "-r 8000 -b 24 -c 1", &raw);
  CWaveReader reader;
  ASSERT_EQ(reader.Open(path.c_str()), S_OK);
  EXPECT_EQ(reader.m_pwfx->wFormatTag, 0xFFFE);
  EXPECT_EQ(reader.m_pwfx->cbSize, 22);
  EXPECT_EQ(ReadAll(reader, 512), raw);

  // A sox file with a "LIST" chunk of our own put in front of its format.
  path = MakeTone("listed", "-r 22050 -b 16 -c 2", &raw);
  std::ifstream in(path, std::ios::binary);
  Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Bytes list = Chunk("LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'C', 'M', 'T', 3, 0, 0, 0, 'h', 'e', 'y', 0});
  file.insert(file.begin() + 12, list.begin(), list.end());
  uint32_t riffSize = static_cast<uint32_t>(file.size() - 8);
  for (int i = 0; i < 4; i++) file[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
  ASSERT_EQ(OpenBytes(reader, file), S_OK);
  EXPECT_EQ(reader.m_pwfx->nChannels, 2);
  EXPECT_EQ(ReadAll(reader, 4096), raw);
}

}  // namespace
