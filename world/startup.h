// The game's start-up and the assets it loads: one variable per sprite sheet, the background, two sounds.
#pragma once
#include <cstdint>

#include "platform/directsound.h"
#include "platform/render_device.h"
#include "platform/window_handle.h"

constexpr uint32_t SPRITE_COLOUR_KEY = 0xFFFF0080;  // opaque red 255, green 0, blue 128: transparent in sheets
constexpr bool fullScreen = true;                   // the game runs full screen

// ---- Assets (null until InitGame; never change afterwards) ----
// Files, sheet layouts and failure texts are in world/asset_table.h.
extern Texture* blueTexture;           // blue creature
extern Texture* sparkleTexture;        // sparkles
extern Texture* greenTexture;          // green creature
extern Texture* doorTexture;           // door
extern Texture* ladderTexture;         // ladder slices
extern Texture* keyTexture;            // key
extern Texture* keymanTexture;         // walking key
extern Texture* rockTexture;           // rock
extern Texture* paperTexture;          // paper airplane
extern Texture* scissorsTexture;       // scissors
extern Texture* titleTexture;          // title picture
extern Texture* playButtonTexture;     // normal above highlighted
extern Texture* setupButtonTexture;
extern Texture* creditsButtonTexture;
extern Texture* exitButtonTexture;
extern Texture* arrowTexture;          // cursor, tip at the top left
extern Texture* wallsTexture;          // wall tiles by neighbour mask
extern Surface* backgroundSurface;     // 1280x960: the background picture tiled 2 by 2
extern CSound* stepSound;
extern CSound* bounceSound;

// Brings the game up after the window exists: graphics, input, background, textures, sound, angle tables.
// False (after the message the failure calls for) when any step fails.
bool InitGame(WindowHandle window);

// Tests: every asset variable back to null; the two sounds are deleted, graphics objects are left to the
// device's owner. Call before the sound system is reset.
void ResetAssets();
