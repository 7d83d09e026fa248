// Writes small bitmap files for tests of the image loaders (header-only: both test programs use it).
#pragma once
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_files.h"

// A path in this test process's temporary folder.
inline std::string TestFilePath(const std::string& name) { return TempFolder() + "/" + name; }

// Writes a bottom-up uncompressed bitmap of width x height ARGB pixels (row by row from the top) with
// 24 or 32 bits per pixel into the temporary folder; returns its path.
inline std::string WriteTestBitmap(const std::string& name, int32_t width, int32_t height,
                                   const std::vector<uint32_t>& argb, int bits = 24) {
  const uint32_t bytesPerPixel = static_cast<uint32_t>(bits / 8);
  const uint32_t stride = (static_cast<uint32_t>(width) * bytesPerPixel + 3) / 4 * 4;
  const uint32_t dataSize = stride * static_cast<uint32_t>(height);
  std::vector<uint8_t> file(54 + dataSize, 0);
  auto put16 = [&file](size_t at, uint32_t v) {
    file[at] = static_cast<uint8_t>(v);
    file[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, static_cast<uint32_t>(bits));
  put32(34, dataSize);
  for (int32_t y = 0; y < height; ++y) {
    const size_t row = 54 + static_cast<size_t>(height - 1 - y) * stride;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t pixel = argb[static_cast<size_t>(y) * width + x];
      for (uint32_t b = 0; b < bytesPerPixel; ++b) file[row + x * bytesPerPixel + b] = static_cast<uint8_t>(pixel >> (8 * b));
    }
  }
  const std::string path = TestFilePath(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                              static_cast<std::streamsize>(file.size()));
  return path;
}

// A bitmap of one colour.
inline std::string WriteSolidBitmap(const std::string& name, int32_t width, int32_t height, uint32_t argb) {
  return WriteTestBitmap(name, width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, argb));
}

// Writes raw bytes (for files that are not bitmaps, or damaged ones); returns the path.
inline std::string WriteTestFile(const std::string& name, const std::string& bytes) {
  const std::string path = TestFilePath(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// The first n bytes of a file (to make a truncated copy).
inline std::string FileHead(const std::string& path, size_t n) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(n, '\0');
  in.read(&bytes[0], static_cast<std::streamsize>(n));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}
