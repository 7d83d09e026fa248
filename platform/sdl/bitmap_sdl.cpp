// Bitmaps read over SDL: the header checked against the file before SDL decodes it, the colour key turned
// into transparent pixels, and the sums that tell a sheet's wholly opaque cells.
#include "platform/sdl/bitmap_sdl.h"

#include <algorithm>
#include <cstdio>

#include "platform/regular_file.h"

namespace {

// A bitmap with more pixels than this is refused before decoding (our largest has a fiftieth of it).
constexpr Sint64 kMaxBitmapPixels = 4096 * 4096;

// Little-endian value of the given number of bytes at offset at.
Uint32 LittleEndian(const Uint8* bytes, size_t at, int count) {
  Uint32 value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

// What a bitmap header claims, checked before SDL allocates for it, so a few bytes of header never make
// us allocate what they merely claim: at most kMaxBitmapPixels, and an uncompressed file holds every
// row. Everything else SDL's decoder reads or refuses itself.
bool HeaderFitsFile(const Uint8* header, size_t length, Sint64 fileSize) {
  if (length < 18) return false;
  const bool core = LittleEndian(header, 14, 4) == 12;  // the oldest header: 16-bit sizes, no compression
  if (length < (core ? 26u : 34u)) return false;
  const Sint64 width = core ? Sint64(LittleEndian(header, 18, 2)) : Sint64(Sint32(LittleEndian(header, 18, 4)));
  Sint64 height = core ? Sint64(LittleEndian(header, 20, 2)) : Sint64(Sint32(LittleEndian(header, 22, 4)));
  const Sint64 bits = LittleEndian(header, core ? 24 : 28, 2);
  const Uint32 compression = core ? 0 : LittleEndian(header, 30, 4);
  if (height < 0) height = -height;  // rows stored top down
  if (width <= 0 || height == 0) return true;
  if (width * height > kMaxBitmapPixels) return false;
  const bool uncompressed = compression == 0 || compression == 3;  // plain rows, or rows with bit fields
  const Sint64 stride = (width * bits + 31) / 32 * 4;
  return !uncompressed || stride * height <= fileSize;
}

}  // namespace

// The bitmap's pixels as decoded, or null when the file is missing, claims more than it holds, or is
// not a bitmap SDL can decode.
SDL_Surface* LoadBitmap(const char* fileName) {
  std::FILE* opened = OpenRegularFileStream(fileName);  // a pipe or a device counts as missing
  SDL_RWops* file = opened != nullptr ? SDL_RWFromFP(opened, SDL_TRUE) : nullptr;
  if (file == nullptr) {
    if (opened != nullptr) std::fclose(opened);
    return nullptr;
  }
  Uint8 header[34] = {};
  const size_t length = SDL_RWread(file, header, 1, sizeof header);
  if (!HeaderFitsFile(header, length, SDL_RWsize(file)) || SDL_RWseek(file, 0, RW_SEEK_SET) != 0) {
    SDL_RWclose(file);
    return nullptr;
  }
  return SDL_LoadBMP_RW(file, 1);
}

// The bitmap as 32-bit ARGB, or null when the file is missing or not a bitmap SDL can decode.
SDL_Surface* LoadArgb(const char* fileName) {
  SDL_Surface* loaded = LoadBitmap(fileName);
  if (loaded == nullptr) return nullptr;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  return argb;
}

// Sums of the transparent pixels of an ARGB image over every rectangle from its top left corner, so any
// cell can be asked at once whether it has one.
void CountTransparent(const SDL_Surface* image, std::vector<int32_t>& before) {
  const int w = image->w;
  before.assign(static_cast<size_t>(w + 1) * (image->h + 1), 0);
  for (int y = 0; y < image->h; ++y) {
    const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(image->pixels) + y * image->pitch);
    int32_t inRow = 0;
    for (int x = 0; x < w; ++x) {
      inRow += (row[x] >> 24) != 0xFF;
      before[static_cast<size_t>(y + 1) * (w + 1) + x + 1] = before[static_cast<size_t>(y) * (w + 1) + x + 1] + inRow;
    }
  }
}

bool KeyOutColour(SDL_Surface* argb, uint32_t colourKey) {
  bool translucent = false;
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(argb->pixels) + y * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      if (row[x] == colourKey) row[x] = 0x00000000;
      translucent = translucent || (row[x] >> 24) != 0xFF;
    }
  }
  SDL_UnlockSurface(argb);
  return translucent;
}

bool HasTransparent(const std::vector<int32_t>& before, int32_t width, int32_t height, const SDL_Rect& rect) {
  const int x0 = std::max(rect.x, 0), y0 = std::max(rect.y, 0);
  const int x1 = std::min(rect.x + rect.w, width), y1 = std::min(rect.y + rect.h, height);
  if (x0 >= x1 || y0 >= y1) return true;
  const size_t w = static_cast<size_t>(width) + 1;
  const auto at = [&](int x, int y) { return before[static_cast<size_t>(y) * w + x]; };
  return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0) > 0;
}

SDL_Texture* OpaqueTexture(SDL_Renderer* renderer, Uint32 format, SDL_Surface* image) {
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(image, format, 0);
  if (converted == nullptr) return nullptr;
  SDL_Texture* made = SDL_CreateTextureFromSurface(renderer, converted);
  SDL_FreeSurface(converted);
  if (made == nullptr) return nullptr;
  SDL_SetTextureBlendMode(made, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(made, SDL_ScaleModeNearest);
  return made;
}
