// The graphics layer: starts the device, loads bitmaps as surfaces or colour-keyed textures, draws sheet cells.
#include "platform/graphics.h"

Direct3D* direct3D = nullptr;
GraphicsDevice* graphicsDevice = nullptr;
Surface* backBuffer = nullptr;
SpriteBatch* spriteBatch = nullptr;

// Surfaces carry no alpha, so this key never hides anything; it is what the loader is always given.
constexpr uint32_t SURFACE_COLOUR_KEY = 0xFF000000;

// Factory, device (windowed unless fullscreen), back buffer, sprite batch; false when there is no device.
bool InitGraphics(WindowHandle window, int32_t width, int32_t height, bool fullscreen) {
  direct3D = Direct3DCreate9(D3D_SDK_VERSION);
  if (direct3D == nullptr) return false;

  PresentParameters parameters;
  parameters.backBufferWidth = width;
  parameters.backBufferHeight = height;
  parameters.windowed = !fullscreen;
  parameters.deviceWindow = window;

  CreateDevice(direct3D, window, parameters, &graphicsDevice);
  if (graphicsDevice == nullptr) return false;

  GetBackBuffer(graphicsDevice, &backBuffer);
  CreateSprite(graphicsDevice, &spriteBatch);
  return true;
}

// Image size first, then a surface of exactly that size, then the pixels.
Surface* LoadSurfaceFromImage(std::string fileName) {
  ImageInfo info;
  if (FAILED(GetImageInfoFromFile(fileName.c_str(), &info))) return nullptr;

  Surface* surface = nullptr;
  if (FAILED(CreateOffscreenPlainSurface(graphicsDevice, info.width, info.height, &surface))) return nullptr;

  if (FAILED(LoadSurfaceFromFile(surface, fileName.c_str(), SURFACE_COLOUR_KEY))) {
    // Nobody else holds the half-made surface; a failed load must not leave it behind.
    Release(surface);
    return nullptr;
  }
  return surface;
}

// Image size first, then a texture of the image's own size with colourKey pixels made transparent.
Texture* LoadTextureFromImage(std::string fileName, uint32_t colourKey) {
  ImageInfo info;
  if (FAILED(GetImageInfoFromFile(fileName.c_str(), &info))) return nullptr;

  Texture* texture = nullptr;
  CreateTextureFromFileEx(graphicsDevice, fileName.c_str(), info.width, info.height, colourKey, &info, &texture);
  return texture;
}

// Cells are numbered row by row from the top left. A sheet without columns or a negative cell has no
// rectangle to draw, so nothing is drawn rather than dividing by zero or reading left of the sheet.
void DrawSpriteFrame(Texture* texture, int32_t x, int32_t y, int32_t frame, int32_t frameWidth, int32_t frameHeight,
                     int32_t columns) {
  if (columns < 1 || frame < 0) return;

  const float positionX = static_cast<float>(x);
  const float positionY = static_cast<float>(y);

  Rect source_rect;
  source_rect.left = (frame % columns) * frameWidth;
  source_rect.top = (frame / columns) * frameHeight;
  source_rect.right = source_rect.left + frameWidth;
  source_rect.bottom = source_rect.top + frameHeight;

  SpriteDraw(spriteBatch, texture, &source_rect, positionX, positionY, 0xFFFFFFFF);
}

void ResetGraphics() {
  direct3D = nullptr;
  graphicsDevice = nullptr;
  backBuffer = nullptr;
  spriteBatch = nullptr;
}
