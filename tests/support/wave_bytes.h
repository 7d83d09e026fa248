// Wave files built byte by byte for the tests of the wave reader and the sound module.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

void AppendU16(Bytes& bytes, uint16_t value);
void AppendU32(Bytes& bytes, uint32_t value);
// A chunk: the four-character id, a size (the data's own unless claimedSize is given), the data and
// the pad byte after an odd size.
Bytes Chunk(const std::string& id, const Bytes& data, int64_t claimedSize = -1);
// The 16-byte PCM format record.
Bytes PcmFormat(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample, uint16_t tag = 1);
// "RIFF", the size of the rest, the form type, then the chunks in the order given.
Bytes RiffFile(const std::vector<Bytes>& chunks, const std::string& formType = "WAVE");
// A plain wave file: a "fmt " chunk and a "data" chunk.
Bytes WaveFile(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample, const Bytes& samples);
// count bytes counting up from first (wrapping), so any offset shows where it came from.
Bytes Ramp(size_t count, uint8_t first = 0);

// Writes bytes to a file in a fresh temporary folder of this test run; returns its path.
std::string WriteTempFile(const std::string& name, const Bytes& bytes);
// The temporary folder of this test run (made on first use).
std::string TempFolder();
