// The game's picture over SDL: composed at its own size, shown in one scaled copy on black bars, and the
// renderer chosen for it. Only platform/sdl/ includes this.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/picture_place.h"

struct Window;

// Our nearest-pixel copy of the picture onto a window's framebuffer, and what it knows of what it copied
// last, so rows of the picture that did not change since are not copied again (the title at rest, or play
// while the view stands still, changes few rows of the picture).
struct ScaledCopy {
  SDL_Surface* screen = nullptr;  // the framebuffer it was copied to, its size and format then
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  Uint32 screenFormat = SDL_PIXELFORMAT_UNKNOWN;
  PicturePlace place;
  std::vector<int32_t> columns;  // the picture column of each screen column of the place
  std::vector<Uint32> pixels;    // the picture as copied, row by row
  std::vector<Uint8> changed;    // per picture row: changed since the last copy
  SDL_Surface* converted = nullptr;  // the picture in the screen's format, where that is not the picture's
};

// The frame is composed at the picture's own size, exactly as the game draws it, and each present shows
// it in one copy scaled to the window: on a graphics card the picture is a render target the card
// scales; without one it is a surface in memory that the software renderer draws into, and the copy
// onto the window's framebuffer is our own (SDL's stretch costs three times as much: it works out every
// pixel, where a nearest-pixel scale can copy whole rows that repeat the one above).
struct Picture {
  Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;  // draws the picture
  int32_t width = 0;                 // the picture's size
  int32_t height = 0;
  Uint32 surfaceFormat = SDL_PIXELFORMAT_RGB888;  // the frame's own format, so copying the background converts nothing
  SDL_Texture* target = nullptr;     // renderer on the window: the picture
  SDL_Surface* composed = nullptr;   // software: the picture
  ScaledCopy copy;                   // software: its copy onto the window's framebuffer
  bool vsync = false;                // the renderer was asked to wait for the retrace and still is
};

// A picture of width by height for window, with the renderer chosen for the machine; false when nothing
// can show it here (SDL's error says why, GraphicsAdvice what would). Called by CreateDevice.
bool StartPicture(Picture& picture, Window& window, int32_t width, int32_t height);

// The renderer draws into the picture from here on. Called by BeginScene.
void ComposePicture(Picture& picture);

// The composed picture onto the window, scaled to where it lies there, and shown; the window's picture place
// noted from the size drawn on. Called by Present.
void ShowPicture(Picture& picture);

// The renderer and the picture's pixels gone (the renderer's textures with it). Called by Release.
void StopPicture(Picture& picture);

// Whether our copy writes a framebuffer of this format: packed pixels of 2, 3 or 4 bytes.
bool ScaledCopyWrites(const SDL_PixelFormat* format);

// picture (32-bit, any channel order) scaled onto place of screen (a format ScaledCopyWrites), each screen
// pixel the picture pixel under its centre, in the screen's format as SDL converts it; rows of the picture
// equal to those copied last time to the same screen and place are skipped. Called by ShowPicture.
void CopyScaled(ScaledCopy& copy, SDL_Surface* picture, SDL_Surface* screen, const PicturePlace& place);

// What the copy holds freed; it copies whole next time.
void ForgetScaledCopy(ScaledCopy& copy);
