// The buffered RIFF reader over a file or a block of memory.
#include "platform/riff_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/regular_file.h"

namespace {

// The default buffer of buffered file reading; small effects fit in one.
constexpr uint32_t READ_BUFFER_SIZE = 8192;

}  // namespace

struct RiffFile {
  std::FILE* file = nullptr;        // null for a memory source
  std::vector<uint8_t> storage;     // the read buffer of a file source
  const uint8_t* buffer = nullptr;  // source bytes from bufferOffset on: storage, or the memory itself
  uint32_t bufferOffset = 0;        // source position of buffer[0]
  uint32_t validBytes = 0;          // bytes of buffer that hold source data
  uint32_t next = 0;                // index in buffer of the next byte to hand out
  uint32_t sourceSize = 0;
};

namespace {

uint32_t Position(const RiffFile* file) { return file->bufferOffset + file->next; }

// Starts the buffer over at the current position with the source's next bytes; a memory source has
// none beyond what it already shows. False on a read error.
bool Refill(RiffFile* file) {
  if (file->file == nullptr) return true;
  file->bufferOffset = Position(file);
  file->next = 0;
  file->validBytes = 0;
  if (file->bufferOffset >= file->sourceSize) return true;
  if (std::fseek(file->file, static_cast<long>(file->bufferOffset), SEEK_SET) != 0) return false;
  size_t got = std::fread(file->storage.data(), 1, file->storage.size(), file->file);
  file->validBytes = static_cast<uint32_t>(got);
  return got > 0 || !std::ferror(file->file);
}

// Reads count bytes exactly; false when the source ends first.
bool ReadExactly(RiffFile* file, void* destination, int32_t count) {
  return RiffRead(file, destination, count) == count;
}

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Reads the chunk header at the current position; the chunk must lie within end as far as its header.
uint32_t ReadChunkHeader(RiffFile* file, ChunkInfo* chunk, uint64_t end) {
  uint64_t start = Position(file);
  if (start + 8 > end) return RIFFERR_CHUNKNOTFOUND;
  uint8_t header[8];
  if (!ReadExactly(file, header, 8)) return RIFFERR_CHUNKNOTFOUND;
  chunk->ckid = ReadLittleEndian32(header);
  chunk->cksize = ReadLittleEndian32(header + 4);
  chunk->dwDataOffset = static_cast<uint32_t>(start + 8);
  chunk->fccType = 0;
  chunk->dwFlags = 0;
  return 0;
}

// A RIFF or LIST chunk's data opens with its form type; the position moves past it.
uint32_t ReadFormType(RiffFile* file, ChunkInfo* chunk) {
  if (chunk->ckid != FOURCC_RIFF && chunk->ckid != FOURCC_LIST) return 0;
  uint8_t type[4];
  if (!ReadExactly(file, type, 4)) return RIFFERR_CANNOTREAD;
  chunk->fccType = ReadLittleEndian32(type);
  return 0;
}

// The source position just past the chunk and its pad byte, in 64 bits so huge sizes cannot wrap.
uint64_t ChunkEnd(const ChunkInfo* chunk) {
  return static_cast<uint64_t>(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1u);
}

bool PointsIntoBuffer(const RiffFile* file, const uint8_t* pointer) {
  uintptr_t address = reinterpret_cast<uintptr_t>(pointer);
  uintptr_t first = reinterpret_cast<uintptr_t>(file->buffer);
  return address >= first && address - first <= file->validBytes;
}

}  // namespace

RiffFile* RiffOpenFile(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  std::FILE* handle = OpenRegularFileStream(fileName);
  if (handle == nullptr) return nullptr;
  struct stat info;
  if (fstat(fileno(handle), &info) != 0) {
    std::fclose(handle);
    return nullptr;
  }
  RiffFile* file = new RiffFile;
  file->file = handle;
  file->storage.resize(READ_BUFFER_SIZE);
  file->buffer = file->storage.data();
  // Positions are 32-bit; whatever lies beyond cannot be addressed by a chunk anyway.
  file->sourceSize = static_cast<uint32_t>(std::min<uint64_t>(static_cast<uint64_t>(info.st_size), UINT32_MAX));
  return file;
}

RiffFile* RiffOpenMemory(const uint8_t* data, uint32_t size) {
  static const uint8_t empty = 0;
  RiffFile* file = new RiffFile;
  file->buffer = data != nullptr ? data : &empty;
  file->validBytes = data != nullptr ? size : 0;
  file->sourceSize = file->validBytes;
  return file;
}

void RiffClose(RiffFile* file) {
  if (file == nullptr) return;
  if (file->file != nullptr) std::fclose(file->file);
  delete file;
}

uint32_t RiffSourceSize(const RiffFile* file) { return file->sourceSize; }

uint32_t RiffDescend(RiffFile* file, ChunkInfo* chunk, const ChunkInfo* parent, uint32_t flags) {
  uint64_t end = file->sourceSize;
  if (parent != nullptr) end = std::min(end, static_cast<uint64_t>(parent->dwDataOffset) + parent->cksize);
  if ((flags & RIFF_FINDCHUNK) == 0) {
    uint32_t result = ReadChunkHeader(file, chunk, end);
    return result != 0 ? result : ReadFormType(file, chunk);
  }
  const uint32_t wanted = chunk->ckid;
  for (;;) {
    uint32_t result = ReadChunkHeader(file, chunk, end);
    if (result != 0) {
      chunk->ckid = wanted;
      return result;
    }
    if (chunk->ckid == wanted) return ReadFormType(file, chunk);
    // Every skip moves forward by at least the 8-byte header, so the search ends.
    uint64_t skipTo = ChunkEnd(chunk);
    if (skipTo >= end || RiffSeek(file, static_cast<int64_t>(skipTo)) < 0) {
      chunk->ckid = wanted;
      return RIFFERR_CHUNKNOTFOUND;
    }
  }
}

uint32_t RiffAscend(RiffFile* file, const ChunkInfo* chunk) {
  return RiffSeek(file, static_cast<int64_t>(ChunkEnd(chunk))) < 0 ? RIFFERR_CANNOTSEEK : 0;
}

int32_t RiffRead(RiffFile* file, void* destination, int32_t count) {
  if (count < 0) return -1;
  uint8_t* out = static_cast<uint8_t*>(destination);
  int32_t done = 0;
  while (done < count) {
    if (file->next == file->validBytes) {
      if (!Refill(file)) return -1;
      if (file->next == file->validBytes) break;
    }
    uint32_t run = std::min<uint32_t>(file->validBytes - file->next, static_cast<uint32_t>(count - done));
    std::memcpy(out + done, file->buffer + file->next, run);
    file->next += run;
    done += static_cast<int32_t>(run);
  }
  return done;
}

int64_t RiffSeek(RiffFile* file, int64_t offset) {
  if (offset < 0 || offset > file->sourceSize) return -1;
  uint32_t position = static_cast<uint32_t>(offset);
  if (position >= file->bufferOffset && position - file->bufferOffset <= file->validBytes) {
    file->next = position - file->bufferOffset;
  } else {
    // Only a file source gets here: a memory source's buffer spans the whole source.
    file->bufferOffset = position;
    file->validBytes = 0;
    file->next = 0;
  }
  return offset;
}

uint32_t RiffGetInfo(RiffFile* file, RiffIoInfo* info) {
  if (info == nullptr) return RIFFERR_INVALIDINFO;
  info->pchNext = file->buffer + file->next;
  info->pchEndRead = file->buffer + file->validBytes;
  return 0;
}

uint32_t RiffAdvance(RiffFile* file, RiffIoInfo* info) {
  uint32_t result = RiffSetInfo(file, info);
  if (result != 0) return result;
  if (!Refill(file)) return RIFFERR_CANNOTREAD;
  return RiffGetInfo(file, info);
}

uint32_t RiffSetInfo(RiffFile* file, const RiffIoInfo* info) {
  if (info == nullptr || !PointsIntoBuffer(file, info->pchNext)) return RIFFERR_INVALIDINFO;
  file->next = static_cast<uint32_t>(info->pchNext - file->buffer);
  return 0;
}
