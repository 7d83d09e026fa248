// The game's graphics layer: device start, image loading and drawing one cell of a sprite sheet.
// Images load as surfaces or colour-keyed textures. Built on the stand-ins of render_device.h.
#pragma once
#include <cstdint>
#include <string>

#include "platform/render_device.h"

// ---- Graphics layer state (null until InitGraphics) ----
extern Direct3D* direct3D;             // the device factory
extern GraphicsDevice* graphicsDevice;  // the one rendering device; every draw goes through it
extern Surface* backBuffer;             // the frame being drawn
extern SpriteBatch* spriteBatch;        // every sprite cell is drawn through it

// Creates the device for window (640 by 480 in the game); true when the device exists.
bool InitGraphics(WindowHandle window, int32_t width, int32_t height, bool fullscreen);

// A new surface exactly the image's size holding the image, or null (nothing created).
Surface* LoadSurfaceFromImage(std::string fileName);

// A new texture of the image with every colourKey pixel (alpha included) transparent, or null.
Texture* LoadTextureFromImage(std::string fileName, uint32_t colourKey);

// Draws cell frame of a sheet of frameWidth by frameHeight cells, columns per row, at screen (x, y).
// Only between SpriteBegin and SpriteEnd on spriteBatch.
void DrawSpriteFrame(Texture* texture, int32_t x, int32_t y, int32_t frame, int32_t frameWidth, int32_t frameHeight,
                     int32_t columns);

// Tests: the layer state back to null.
void ResetGraphics();
