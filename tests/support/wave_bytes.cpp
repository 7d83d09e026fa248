// Byte-by-byte wave files for tests.
#include "support/wave_bytes.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

void AppendU16(Bytes& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendU32(Bytes& bytes, uint32_t value) {
  AppendU16(bytes, static_cast<uint16_t>(value));
  AppendU16(bytes, static_cast<uint16_t>(value >> 16));
}

Bytes Chunk(const std::string& id, const Bytes& data, int64_t claimedSize) {
  Bytes bytes(id.begin(), id.end());
  AppendU32(bytes, static_cast<uint32_t>(claimedSize >= 0 ? claimedSize : static_cast<int64_t>(data.size())));
  bytes.insert(bytes.end(), data.begin(), data.end());
  if (data.size() % 2 == 1) bytes.push_back(0);
  return bytes;
}

Bytes PcmFormat(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample, uint16_t tag) {
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

Bytes RiffFile(const std::vector<Bytes>& chunks, const std::string& formType) {
  Bytes rest(formType.begin(), formType.end());
  for (const Bytes& chunk : chunks) rest.insert(rest.end(), chunk.begin(), chunk.end());
  Bytes bytes{'R', 'I', 'F', 'F'};
  AppendU32(bytes, static_cast<uint32_t>(rest.size()));
  bytes.insert(bytes.end(), rest.begin(), rest.end());
  return bytes;
}

Bytes WaveFile(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample, const Bytes& samples) {
  return RiffFile({Chunk("fmt ", PcmFormat(channels, samplesPerSecond, bitsPerSample)), Chunk("data", samples)});
}

Bytes Ramp(size_t count, uint8_t first) {
  Bytes bytes(count);
  for (size_t i = 0; i < count; i++) bytes[i] = static_cast<uint8_t>(first + i);
  return bytes;
}

std::string TempFolder() {
  static std::string folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/vems_tests_XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) std::abort();
    folder = made;
    std::atexit([] { std::filesystem::remove_all(folder); });
  }
  return folder;
}

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
  std::string path = TempFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}
