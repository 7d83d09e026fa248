// The frame's draws kept until its present and held against the frame on screen, so that a frame equal
// to the one shown is not composed again. Only platform/sdl/ includes this.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <type_traits>
#include <vector>

struct Picture;
struct Surface;
struct Texture;
struct Window;

// One draw onto the frame as the game asked for it: a window of a surface, or a cell of a sprite sheet.
// Every byte is a field, so a frame's draws compare with the last frame's as one block of memory. Recorded
// by StretchRect onto the back buffer and by SpriteDraw.
struct Draw {
  Surface* surface = nullptr;
  Texture* sheet = nullptr;
  SDL_Rect from = {0, 0, 0, 0};
  SDL_Rect to = {0, 0, 0, 0};
  uint32_t blended = 0;  // the cell is drawn in an alpha-blended batch
  uint32_t unused = 0;   // what would be padding, so that no byte is left undefined
};
static_assert(std::has_unique_object_representations_v<Draw>, "draws are compared byte by byte");

// The frame's draws and those of the frame on screen. The graphics calls add to draws as the game draws.
struct KeptFrame {
  const Window* window = nullptr;  // the window it is shown in
  std::vector<Draw> draws;         // the frame's, in order, drawn at its present
  std::vector<Draw> shownDraws;    // the frame's on screen; emptied when a surface or sheet may look different
  SDL_Point shownSize = {0, 0};    // the window's size in pixels when it was shown
  bool repaint = true;             // the screen lost the picture: the next frame is shown whole
};

// Frames kept for window, which from now on is watched for what loses the picture on screen. Called by
// CreateDevice once the picture is started.
void StartKeepingFrames(KeptFrame& frame, const Window& window);

// The watch on the window ended. Called by the device's Release before its picture stops.
void StopKeepingFrames(KeptFrame& frame);

// A surface or sheet may look different now (filled, copied into, or made where a released one lay): the
// next frame is composed whatever it draws. Called by the graphics calls that make or change pixels.
void ForgetShownFrame(KeptFrame& frame);

// The frame's draws from a surface or sheet released before its present. Called by their Release.
void ForgetDrawsOf(KeptFrame& frame, const Surface* surface);
void ForgetDrawsOf(KeptFrame& frame, const Texture* sheet);

// The frame composed on picture and shown, unless the screen holds it already: the same draws in the same
// order on a window of the same size, and nothing since that lost the picture. True when it was shown.
// The frame's draws are emptied either way. Called by Present.
bool ShowFrame(KeptFrame& frame, Picture& picture);
