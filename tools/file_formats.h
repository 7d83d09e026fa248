// Writers for the three file formats the game's data uses: 24-bit BMP, PCM WAVE and a plain PNG.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/canvas.h"

using Bytes = std::vector<uint8_t>;

// Uncompressed 24-bit bitmap, rows bottom-up and padded to four bytes.
Bytes EncodeBmp(const Canvas& picture);

// PCM wave data: samples interleaved by channel, 8-bit ones unsigned (silence 128), 16-bit ones signed.
struct WaveFormat {
  uint16_t channels = 1;
  uint32_t samplesPerSecond = 22050;
  uint16_t bitsPerSample = 8;
};
Bytes EncodeWav(const WaveFormat& format, const Bytes& sampleData);

// True-colour PNG with alpha, stored without compression; the colour key becomes fully transparent.
Bytes EncodePng(const Canvas& picture);
