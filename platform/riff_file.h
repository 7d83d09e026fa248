// A small buffered reader of RIFF files, from disk or from bytes in memory, with chunk navigation.
// Enter a chunk (past a RIFF or LIST form type), search sub-chunks by identifier to the end of their
// parent, leave a chunk past its pad byte, seek, read, and direct access to the read buffer.
// Positions are 32-bit, as in the file format itself.
#pragma once
#include <cstdint>

struct RiffFile;  // an open source with its read buffer

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}
constexpr uint32_t FOURCC_RIFF = MakeFourCC('R', 'I', 'F', 'F');
constexpr uint32_t FOURCC_LIST = MakeFourCC('L', 'I', 'S', 'T');

// What RiffDescend fills in about a chunk.
struct ChunkInfo {
  uint32_t ckid = 0;          // identifier; with RIFF_FINDCHUNK also the one searched for
  uint32_t cksize = 0;        // size of the data as the file claims it
  uint32_t fccType = 0;       // form type of a RIFF or LIST chunk
  uint32_t dwDataOffset = 0;  // source position of the first data byte
  uint32_t dwFlags = 0;
};

// The read buffer as handed out by RiffGetInfo: bytes from pchNext up to pchEndRead are the source's
// next bytes. The caller moves pchNext forward, then hands it back with RiffAdvance or RiffSetInfo.
struct RiffIoInfo {
  const uint8_t* pchNext = nullptr;
  const uint8_t* pchEndRead = nullptr;
};

constexpr uint32_t RIFF_FINDCHUNK = 0x10;  // RiffDescend: search for chunk->ckid

// Results other than 0 (the published multimedia file error numbers).
constexpr uint32_t RIFFERR_CANNOTREAD = 0x105;
constexpr uint32_t RIFFERR_CANNOTSEEK = 0x107;
constexpr uint32_t RIFFERR_CHUNKNOTFOUND = 0x109;
constexpr uint32_t RIFFERR_INVALIDINFO = 0x110;

// Opens a regular file for buffered reading; null when it cannot be opened.
RiffFile* RiffOpenFile(const char* fileName);
// Reads size bytes at data in place; data must outlive the handle. Null data reads as empty.
RiffFile* RiffOpenMemory(const uint8_t* data, uint32_t size);
// Closes the source (a null handle is ignored).
void RiffClose(RiffFile* file);

// Bytes the source holds in all.
uint32_t RiffSourceSize(const RiffFile* file);

// Enters the chunk at the current position (flags 0), or searches from the current position up to the
// end of parent (or of the source) for chunk->ckid (RIFF_FINDCHUNK). Afterwards the position is the
// chunk's first data byte, or past the form type of a RIFF or LIST chunk. 0 when entered.
uint32_t RiffDescend(RiffFile* file, ChunkInfo* chunk, const ChunkInfo* parent, uint32_t flags);
// Moves past the chunk's data and its pad byte. 0 on success.
uint32_t RiffAscend(RiffFile* file, const ChunkInfo* chunk);
// Copies up to count bytes; the number copied (fewer at the end), or -1 on a read error.
int32_t RiffRead(RiffFile* file, void* destination, int32_t count);
// Moves to an absolute position not beyond the end of the source; the new position or -1.
int64_t RiffSeek(RiffFile* file, int64_t offset);

// Hands out the read buffer. 0 on success.
uint32_t RiffGetInfo(RiffFile* file, RiffIoInfo* info);
// Takes the buffer back at info->pchNext and refills it with the bytes from there on; info then
// describes the new buffer, empty at the end of the source. 0 on success.
uint32_t RiffAdvance(RiffFile* file, RiffIoInfo* info);
// Takes the buffer back at info->pchNext without refilling. 0 on success.
uint32_t RiffSetInfo(RiffFile* file, const RiffIoInfo* info);
