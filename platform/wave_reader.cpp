// CWaveReader over the buffered RIFF reader.
#include "platform/wave_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/error_trace.h"

namespace {

const char* const SOURCE_NAME = "directsound";
constexpr uint32_t PCM_FORMAT_BYTES = 16;  // the fields up to wBitsPerSample

}  // namespace

CWaveReader::CWaveReader()
    : m_pwfx(nullptr), m_hFile(nullptr), m_ckData(), m_ckOuter(), m_dwDataSize(0), m_pResourceCopy(nullptr) {}

CWaveReader::~CWaveReader() {
  Close();
  FreeFormat();
}

// The format record is 18 bytes plus cbSize extra bytes in one block.
void CWaveReader::FreeFormat() {
  ::operator delete(m_pwfx);
  m_pwfx = nullptr;
}

HRESULT CWaveReader::Open(const char* fileName) {
  if (fileName == nullptr) return E_INVALIDARG;
  FreeFormat();
  // A second open must not leave the first file open behind it, nor its data size.
  Close();
  m_dwDataSize = 0;
  m_hFile = RiffOpenFile(fileName);
  if (m_hFile == nullptr) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "FindResource");
  return OpenSource();
}

HRESULT CWaveReader::OpenFromMemory(const uint8_t* data, uint32_t size) {
  if (data == nullptr && size > 0) return E_INVALIDARG;
  FreeFormat();
  Close();
  m_dwDataSize = 0;
  if (size == 0) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "SizeofResource");
  m_pResourceCopy = new (std::nothrow) uint8_t[size];
  if (m_pResourceCopy == nullptr) return TraceError(SOURCE_NAME, __LINE__, E_OUTOFMEMORY, "new");
  std::memcpy(m_pResourceCopy, data, size);
  m_hFile = RiffOpenMemory(m_pResourceCopy, size);
  return OpenSource();
}

// The steps every open shares once its source is there: header, data position, data size.
HRESULT CWaveReader::OpenSource() {
  HRESULT hr = ReadMMIO();
  if (FAILED(hr)) {
    RiffClose(m_hFile);
    m_hFile = nullptr;
    return TraceError(SOURCE_NAME, __LINE__, hr, "ReadMMIO");
  }
  hr = ResetFile();
  if (FAILED(hr)) return TraceError(SOURCE_NAME, __LINE__, hr, "ResetFile");
  m_dwDataSize = m_ckData.cksize;
  return S_OK;
}

HRESULT CWaveReader::ReadMMIO() {
  if (m_hFile == nullptr) return CO_E_NOTINITIALIZED;
  FreeFormat();
  if (RiffDescend(m_hFile, &m_ckOuter, nullptr, 0) != 0) {
    return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioDescend");
  }
  if (m_ckOuter.ckid != FOURCC_RIFF || m_ckOuter.fccType != MakeFourCC('W', 'A', 'V', 'E')) {
    return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioFOURCC");
  }
  ChunkInfo ckIn;
  ckIn.ckid = MakeFourCC('f', 'm', 't', ' ');
  if (RiffDescend(m_hFile, &ckIn, &m_ckOuter, RIFF_FINDCHUNK) != 0) {
    return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioDescend");
  }
  if (ckIn.cksize < PCM_FORMAT_BYTES) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "sizeof(PCMWAVEFORMAT)");
  uint8_t pcmFormat[PCM_FORMAT_BYTES];
  if (RiffRead(m_hFile, pcmFormat, PCM_FORMAT_BYTES) != PCM_FORMAT_BYTES) {
    return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioRead");
  }
  uint16_t formatTag = static_cast<uint16_t>(pcmFormat[0] | pcmFormat[1] << 8);
  if (formatTag == WAVE_FORMAT_PCM) {
    void* block = ::operator new(sizeof(WaveFormat), std::nothrow);
    if (block == nullptr) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "m_pwfx");
    m_pwfx = new (block) WaveFormat;
    std::memcpy(m_pwfx, pcmFormat, PCM_FORMAT_BYTES);
    m_pwfx->cbSize = 0;
  } else {
    uint8_t extraCountBytes[2];
    if (RiffRead(m_hFile, extraCountBytes, 2) != 2) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioRead");
    uint16_t extraBytes = static_cast<uint16_t>(extraCountBytes[0] | extraCountBytes[1] << 8);
    void* block = ::operator new(sizeof(WaveFormat) + extraBytes, std::nothrow);
    if (block == nullptr) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "new");
    m_pwfx = new (block) WaveFormat;
    std::memcpy(m_pwfx, pcmFormat, PCM_FORMAT_BYTES);
    m_pwfx->cbSize = extraBytes;
    uint8_t* extra = static_cast<uint8_t*>(block) + sizeof(WaveFormat);
    if (RiffRead(m_hFile, extra, extraBytes) != extraBytes) {
      FreeFormat();
      return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioRead");
    }
  }
  if (RiffAscend(m_hFile, &ckIn) != 0) {
    FreeFormat();
    return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioAscend");
  }
  return S_OK;
}

HRESULT CWaveReader::ResetFile() {
  if (m_hFile == nullptr) return CO_E_NOTINITIALIZED;
  if (RiffSeek(m_hFile, static_cast<int64_t>(m_ckOuter.dwDataOffset) + 4) == -1) {
    return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioSeek");
  }
  m_ckData.ckid = MakeFourCC('d', 'a', 't', 'a');
  if (RiffDescend(m_hFile, &m_ckData, &m_ckOuter, RIFF_FINDCHUNK) != 0) {
    return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioDescend");
  }
  // A "data" chunk may claim more than the file holds; only what is really there counts, so nobody
  // allocates or locks a buffer for bytes that do not exist.
  uint32_t available = RiffSourceSize(m_hFile) - m_ckData.dwDataOffset;
  m_ckData.cksize = std::min(m_ckData.cksize, available);
  return S_OK;
}

HRESULT CWaveReader::Read(uint8_t* buffer, uint32_t sizeToRead, uint32_t* sizeRead) {
  if (m_hFile == nullptr) return CO_E_NOTINITIALIZED;
  if (buffer == nullptr || sizeRead == nullptr) return E_INVALIDARG;
  *sizeRead = 0;
  RiffIoInfo mmioinfoIn;
  if (RiffGetInfo(m_hFile, &mmioinfoIn) != 0) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioGetInfo");
  uint32_t n = std::min(sizeToRead, m_ckData.cksize);
  m_ckData.cksize -= n;
  // Copied in whole runs of the read buffer, refilled whenever it runs dry.
  uint32_t copied = 0;
  while (copied < n) {
    if (mmioinfoIn.pchNext == mmioinfoIn.pchEndRead) {
      if (RiffAdvance(m_hFile, &mmioinfoIn) != 0) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioAdvance");
      if (mmioinfoIn.pchNext == mmioinfoIn.pchEndRead) {
        return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioinfoIn.pchNext");
      }
    }
    uint32_t run = std::min(n - copied, static_cast<uint32_t>(mmioinfoIn.pchEndRead - mmioinfoIn.pchNext));
    std::memcpy(buffer + copied, mmioinfoIn.pchNext, run);
    mmioinfoIn.pchNext += run;
    copied += run;
  }
  if (RiffSetInfo(m_hFile, &mmioinfoIn) != 0) return TraceError(SOURCE_NAME, __LINE__, E_FAIL, "mmioSetInfo");
  *sizeRead = n;
  return S_OK;
}

HRESULT CWaveReader::Close() {
  RiffClose(m_hFile);
  m_hFile = nullptr;
  delete[] m_pResourceCopy;
  m_pResourceCopy = nullptr;
  return S_OK;
}
