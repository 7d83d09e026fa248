// Wave files built byte by byte for the tests of the wave reader and the sound module.
// Header only, so the tests of the SDL stand-ins use it too.
#pragma once
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_files.h"

using Bytes = std::vector<uint8_t>;

inline void AppendU16(Bytes& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendU32(Bytes& bytes, uint32_t value) {
  AppendU16(bytes, static_cast<uint16_t>(value));
  AppendU16(bytes, static_cast<uint16_t>(value >> 16));
}

// A chunk: the four-character id, a size (the data's own unless claimedSize is given), the data and
// the pad byte after an odd size.
inline Bytes Chunk(const std::string& id, const Bytes& data, int64_t claimedSize = -1) {
  Bytes bytes(id.begin(), id.end());
  AppendU32(bytes, static_cast<uint32_t>(claimedSize >= 0 ? claimedSize : static_cast<int64_t>(data.size())));
  bytes.insert(bytes.end(), data.begin(), data.end());
  if (data.size() % 2 == 1) bytes.push_back(0);
  return bytes;
}

// The 16-byte PCM format record.
inline Bytes PcmFormat(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample, uint16_t tag = 1) {
  Bytes bytes;
  uint16_t blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
  AppendU16(bytes, tag);
  AppendU16(bytes, channels);
  AppendU32(bytes, samplesPerSecond);
  AppendU32(bytes, samplesPerSecond * blockAlign);
  AppendU16(bytes, blockAlign);
  AppendU16(bytes, bitsPerSample);
  return bytes;
}

// "RIFF", the size of the rest, the form type, then the chunks in the order given.
inline Bytes RiffFile(const std::vector<Bytes>& chunks, const std::string& formType = "WAVE") {
  Bytes rest(formType.begin(), formType.end());
  for (const Bytes& chunk : chunks) rest.insert(rest.end(), chunk.begin(), chunk.end());
  Bytes bytes{'R', 'I', 'F', 'F'};
  AppendU32(bytes, static_cast<uint32_t>(rest.size()));
  bytes.insert(bytes.end(), rest.begin(), rest.end());
  return bytes;
}

// A plain wave file: a "fmt " chunk and a "data" chunk.
inline Bytes WaveFile(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample, const Bytes& samples) {
  return RiffFile({Chunk("fmt ", PcmFormat(channels, samplesPerSecond, bitsPerSample)), Chunk("data", samples)});
}

// count bytes counting up from first (wrapping), so any offset shows where it came from.
inline Bytes Ramp(size_t count, uint8_t first = 0) {
  Bytes bytes(count);
  for (size_t i = 0; i < count; i++) bytes[i] = static_cast<uint8_t>(first + i);
  return bytes;
}

// Writes bytes to a file in the temporary folder; returns its path.
inline std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
  std::string path = TempFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}
