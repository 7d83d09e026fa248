// The images the graphics device makes, as the SDL stand-ins share them. Only platform/sdl/ includes this.
// Made, filled and released by the graphics calls (render_device_sdl.cpp); drawn by the kept frame
// (frame_draws.cpp) at the present.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <vector>

struct GraphicsDevice;

// Pixels in memory with a texture made for drawing them. Made by CreateOffscreenPlainSurface; the device's
// back buffer is one without pixels. Its texture is made and refilled by the kept frame when drawn.
struct Surface {
  GraphicsDevice* device = nullptr;
  SDL_Surface* pixels = nullptr;   // null for the back buffer, which is the renderer's own frame
  SDL_Texture* texture = nullptr;  // what the renderer draws the pixels from; made on the first draw
  bool textureStale = true;        // the pixels changed since the texture was filled
};

// A colour-keyed sprite sheet. Made by CreateTextureFromFileEx; its blend mode is set by the kept frame
// as each cell is drawn.
struct Texture {
  GraphicsDevice* device = nullptr;
  SDL_Texture* texture = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  bool translucent = false;  // has a transparent pixel; without one it is drawn with blending off
  SDL_BlendMode mode = SDL_BLENDMODE_INVALID;
  // A translucent sheet's cells may still be wholly opaque (most wall tiles are): those are drawn from
  // this copy in the frame's format with blending off, which gives the same pixels for far less work.
  SDL_Texture* opaque = nullptr;
  std::vector<int32_t> transparentBefore;  // (width+1) x (height+1) sums of transparent pixels above-left
};
