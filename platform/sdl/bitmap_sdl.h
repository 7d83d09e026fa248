// Bitmaps read over SDL for the graphics device: the header checked before decoding, the colour key, and
// which cells of a sheet are wholly opaque. Only platform/sdl/ includes this.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <vector>

// The bitmap's pixels as decoded, or null when the file is missing, claims more than it holds, or is not a
// bitmap SDL can decode. Called by the device's image info and surface loads.
SDL_Surface* LoadBitmap(const char* fileName);

// The bitmap as 32-bit ARGB, or null as for LoadBitmap. Called by the device's texture load.
SDL_Surface* LoadArgb(const char* fileName);

// Every pixel of an ARGB image equal to the key, alpha included, made transparent black; true when the
// image then has any pixel that is not wholly opaque. Called by the texture load.
bool KeyOutColour(SDL_Surface* argb, uint32_t colourKey);

// Sums of the transparent pixels of an ARGB image over every rectangle from its top left corner, so any
// cell can be asked at once whether it has one. Called by the texture load of a translucent sheet.
void CountTransparent(const SDL_Surface* image, std::vector<int32_t>& before);

// Whether the part of rect that lies on a width by height sheet has a transparent pixel, from its sums; a
// rect wholly off the sheet counts as having one. Called by every sprite draw of a translucent sheet.
bool HasTransparent(const std::vector<int32_t>& before, int32_t width, int32_t height, const SDL_Rect& rect);

// The image in format as a texture drawn with blending off; null when it cannot be made (the sheet is then
// always drawn blended). Called by the texture load of a translucent sheet.
SDL_Texture* OpaqueTexture(SDL_Renderer* renderer, Uint32 format, SDL_Surface* image);
