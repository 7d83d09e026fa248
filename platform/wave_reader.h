// CWaveReader: one wave file read for the sound module.
// Checks the RIFF WAVE header, keeps the format record for the sound buffer, and hands out the sample data
// in pieces, from the start again whenever asked. Every failing step is traced with the source name
// "directsound".
#pragma once
#include <cstdint>

#include "platform/audio_device.h"
#include "platform/hresult.h"
#include "platform/riff_file.h"

class CWaveReader {
 public:
  CWaveReader();
  ~CWaveReader();
  CWaveReader(const CWaveReader&) = delete;
  CWaveReader& operator=(const CWaveReader&) = delete;

  // Opens the named file, reads the header and positions at the sample data. A missing file fails with
  // "FindResource": the game embeds no sounds to fall back on.
  HRESULT Open(const char* fileName);
  // The same over a copy of size bytes at data (the embedded-data path: tests, fuzzing).
  HRESULT OpenFromMemory(const uint8_t* data, uint32_t size);
  // Reads the RIFF header and the "fmt " chunk into m_pwfx. Called by the opens.
  HRESULT ReadMMIO();
  // Positions at the first sample byte again; the whole data counts as unread.
  HRESULT ResetFile();
  // Copies up to sizeToRead bytes of sample data into buffer; *sizeRead gets the count (0 at the end).
  HRESULT Read(uint8_t* buffer, uint32_t sizeToRead, uint32_t* sizeRead);
  // Bytes of sample data, 0 until a successful open.
  uint32_t DataSize() const { return m_dwDataSize; }
  // Closes the source and frees the embedded copy; S_OK.
  HRESULT Close();

  WaveFormat* m_pwfx;  // the format record plus cbSize extra bytes, owned; null until the header was read

 private:
  HRESULT OpenSource();
  void FreeFormat();

  RiffFile* m_hFile;          // the open source, or null
  ChunkInfo m_ckData;         // the "data" chunk; its size counts the bytes not yet handed out
  ChunkInfo m_ckOuter;        // the outer "RIFF" chunk
  uint32_t m_dwDataSize;      // sample bytes at open time
  uint8_t* m_pResourceCopy;   // the copy read by OpenFromMemory, owned, else null
};
