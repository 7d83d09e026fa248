// BMP, WAVE and PNG encoders: only what the game's files need, all fields little- or big-endian by hand.
#include "tools/file_formats.h"

#include <algorithm>
#include <array>

// Appends a 16- or 32-bit number, least significant byte first.
static void PutLE(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Appends a 32-bit number, most significant byte first (PNG's order).
static void PutBE(Bytes& out, uint32_t value) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Appends the four characters of a chunk or file tag.
static void PutTag(Bytes& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

Bytes EncodeBmp(const Canvas& picture) {
  const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(picture.height);
  const uint32_t headerBytes = 14 + 40;
  Bytes out;
  out.reserve(headerBytes + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutLE(out, headerBytes + imageBytes, 4);
  PutLE(out, 0, 4);  // reserved
  PutLE(out, headerBytes, 4);
  PutLE(out, 40, 4);  // BITMAPINFOHEADER
  PutLE(out, static_cast<uint32_t>(picture.width), 4);
  PutLE(out, static_cast<uint32_t>(picture.height), 4);  // positive: bottom-up
  PutLE(out, 1, 2);                                      // planes
  PutLE(out, 24, 2);
  PutLE(out, 0, 4);  // no compression
  PutLE(out, imageBytes, 4);
  PutLE(out, 2835, 4);  // 72 dots per inch, both ways
  PutLE(out, 2835, 4);
  PutLE(out, 0, 4);  // no palette
  PutLE(out, 0, 4);
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      Colour c = picture.Get(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    for (uint32_t pad = static_cast<uint32_t>(picture.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

Bytes EncodeWav(const WaveFormat& format, const Bytes& sampleData) {
  const uint16_t blockAlign = static_cast<uint16_t>(format.channels * format.bitsPerSample / 8);
  Bytes out;
  PutTag(out, "RIFF");
  PutLE(out, static_cast<uint32_t>(4 + 8 + 16 + 8 + sampleData.size() + (sampleData.size() & 1)), 4);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);  // PCM
  PutLE(out, format.channels, 2);
  PutLE(out, format.samplesPerSecond, 4);
  PutLE(out, format.samplesPerSecond * blockAlign, 4);
  PutLE(out, blockAlign, 2);
  PutLE(out, format.bitsPerSample, 2);
  PutTag(out, "data");
  PutLE(out, static_cast<uint32_t>(sampleData.size()), 4);
  out.insert(out.end(), sampleData.begin(), sampleData.end());
  if (sampleData.size() & 1) out.push_back(0);  // chunks are padded to an even length
  return out;
}

// CRC-32 as PNG chunks use it (reflected polynomial 0xEDB88320).
static uint32_t Crc32(const uint8_t* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// Adler-32, the checksum that closes a zlib stream.
static uint32_t Adler32(const Bytes& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

// Appends one PNG chunk: length, tag, data, CRC over tag and data.
static void PutChunk(Bytes& out, const char* tag, const Bytes& data) {
  PutBE(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  PutTag(out, tag);
  out.insert(out.end(), data.begin(), data.end());
  PutBE(out, Crc32(out.data() + start, out.size() - start));
}

Bytes EncodePng(const Canvas& picture) {
  Bytes raw;  // each row: filter byte 0, then RGBA
  for (int y = 0; y < picture.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < picture.width; ++x) {
      Colour c = picture.Get(x, y);
      bool clear = c == KEY;
      raw.push_back(clear ? 0 : c.r);
      raw.push_back(clear ? 0 : c.g);
      raw.push_back(clear ? 0 : c.b);
      raw.push_back(clear ? 0 : 255);
    }
  }
  // zlib stream of "stored" deflate blocks, at most 65535 bytes each.
  Bytes zlib{0x78, 0x01};
  size_t pos = 0;
  do {
    size_t n = std::min<size_t>(65535, raw.size() - pos);
    zlib.push_back(pos + n == raw.size() ? 1 : 0);  // last-block flag, block type 0
    PutLE(zlib, static_cast<uint32_t>(n), 2);
    PutLE(zlib, static_cast<uint32_t>(~n & 0xFFFF), 2);
    zlib.insert(zlib.end(), raw.begin() + static_cast<long>(pos), raw.begin() + static_cast<long>(pos + n));
    pos += n;
  } while (pos < raw.size());
  PutBE(zlib, Adler32(raw));

  Bytes header;
  PutBE(header, static_cast<uint32_t>(picture.width));
  PutBE(header, static_cast<uint32_t>(picture.height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", zlib);
  PutChunk(out, "IEND", {});
  return out;
}
