// Stand-ins for the 3-D device and sprite library calls the game makes.
// Device, back buffer, off-screen surfaces, colour-keyed textures, rectangle copies, scene brackets,
// present, and the sprite batch. platform/sdl/ implements them over an SDL renderer; platform/fake/
// records them for tests.
#pragma once
#include <cstdint>
#include <string>

#include "platform/hresult.h"
#include "platform/window_handle.h"
#include "world/geometry.h"

struct Direct3D;        // the device factory
struct GraphicsDevice;  // the one rendering device
struct Surface;         // pixels in memory (back buffer, background), copied by rectangle
struct Texture;         // a sprite sheet with its transparent pixels
struct SpriteBatch;     // draws texture cells between SpriteBegin and SpriteEnd

constexpr uint32_t D3D_SDK_VERSION = 32;
constexpr uint32_t D3DXSPRITE_ALPHABLEND = 0x10;

// What the device is created with; the rest of the original record is fixed (X8R8G8B8, one back buffer,
// default refresh rate, one retrace per present).
struct PresentParameters {
  int32_t backBufferWidth = 0;
  int32_t backBufferHeight = 0;
  bool windowed = true;
  WindowHandle deviceWindow = nullptr;
};

struct ImageInfo {
  int32_t width = 0;
  int32_t height = 0;
};

Direct3D* Direct3DCreate9(uint32_t sdkVersion);
HRESULT CreateDevice(Direct3D* direct3D, WindowHandle focusWindow, const PresentParameters& parameters,
                     GraphicsDevice** device);
// What the player can change so that a device can be made, after CreateDevice found nothing that shows
// the picture: never a way the device has just tried.
std::string GraphicsAdvice();
HRESULT GetBackBuffer(GraphicsDevice* device, Surface** backBuffer);
HRESULT CreateSprite(GraphicsDevice* device, SpriteBatch** sprite);
void ShowDeviceCursor(GraphicsDevice* device, bool show);

HRESULT GetImageInfoFromFile(const char* fileName, ImageInfo* info);
HRESULT CreateOffscreenPlainSurface(GraphicsDevice* device, int32_t width, int32_t height, Surface** surface);
HRESULT LoadSurfaceFromFile(Surface* destination, const char* fileName, uint32_t colourKey);
HRESULT CreateTextureFromFileEx(GraphicsDevice* device, const char* fileName, int32_t width, int32_t height,
                                uint32_t colourKey, ImageInfo* info, Texture** texture);

// A 1:1 copy when both rectangles have the same size (null rectangle = whole surface).
HRESULT StretchRect(GraphicsDevice* device, Surface* source, const Rect* sourceRect, Surface* target,
                    const Rect* targetRect);
HRESULT BeginScene(GraphicsDevice* device);
HRESULT EndScene(GraphicsDevice* device);
HRESULT Present(GraphicsDevice* device);  // whole back buffer, once per display retrace

HRESULT SpriteBegin(SpriteBatch* sprite, uint32_t flags);
HRESULT SpriteEnd(SpriteBatch* sprite);
HRESULT SpriteDraw(SpriteBatch* sprite, Texture* texture, const Rect* sourceRect, float x, float y, uint32_t colour);

void Release(Direct3D* direct3D);
void Release(GraphicsDevice* device);
void Release(Surface* surface);
void Release(Texture* texture);
void Release(SpriteBatch* sprite);
