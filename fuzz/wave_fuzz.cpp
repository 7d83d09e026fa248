// Arbitrary bytes as a wave file from memory: the reader refuses or reads, never beyond the bytes it was
// given, never claims more data than they hold, and hands out the same data after every rewind, whatever
// the sizes of the pieces it is read in.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/error_trace.h"
#include "platform/wave_reader.h"

// Aborts, so libFuzzer keeps the input that broke the rule.
#define CHECK(condition)                                                              \
  do {                                                                                \
    if (!(condition)) {                                                               \
      std::fprintf(stderr, "wave_fuzz: %s failed (line %d)\n", #condition, __LINE__); \
      std::abort();                                                                   \
    }                                                                                 \
  } while (0)

static void Discard(const char*) {}

// Everything Read hands out, in pieces of pieceSize; checks each answer on the way.
static std::vector<uint8_t> ReadAll(CWaveReader& reader, uint32_t pieceSize, uint32_t dataSize) {
  std::vector<uint8_t> all;
  std::vector<uint8_t> piece(pieceSize);
  for (;;) {
    uint32_t got = 12345;
    CHECK(reader.Read(piece.data(), pieceSize, &got) == S_OK);
    CHECK(got <= pieceSize);
    if (got == 0) break;
    all.insert(all.end(), piece.begin(), piece.begin() + got);
    CHECK(all.size() <= dataSize);
  }
  return all;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetTraceSink(Discard);
  if (size > 1u << 20) return 0;
  CWaveReader reader;
  HRESULT hr = reader.OpenFromMemory(data, static_cast<uint32_t>(size));
  const uint32_t dataSize = reader.DataSize();
  CHECK(dataSize <= size);
  if (FAILED(hr)) {
    CHECK(dataSize == 0);
    return 0;
  }
  CHECK(reader.m_pwfx != nullptr);
  // Touch every extra byte of the format record, so a record shorter than its cbSize shows.
  const uint8_t* extra = reinterpret_cast<const uint8_t*>(reader.m_pwfx) + sizeof(WaveFormat);
  volatile unsigned sum = 0;
  for (uint16_t i = 0; i < reader.m_pwfx->cbSize; i++) sum = sum + extra[i];

  // Piece sizes taken from the input itself: odd, tiny and larger than the data alike.
  const uint32_t firstPiece = 1 + (size > 0 ? data[size - 1] : 0) % 97;
  const uint32_t secondPiece = 1 + (size > 1 ? data[size - 2] : 0) * 37u;
  std::vector<uint8_t> first = ReadAll(reader, firstPiece, dataSize);
  CHECK(first.size() == dataSize);
  CHECK(reader.ResetFile() == S_OK);
  CHECK(reader.DataSize() == dataSize);
  std::vector<uint8_t> second = ReadAll(reader, secondPiece, dataSize);
  CHECK(second == first);
  CHECK(reader.ResetFile() == S_OK);
  CHECK(ReadAll(reader, dataSize + 1, dataSize) == first);
  return 0;
}
