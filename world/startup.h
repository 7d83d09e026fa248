// The game's start-up and the assets it loads: one variable per sprite sheet, the background, two sounds.
#pragma once
#include <cstdint>

#include "platform/directsound.h"
#include "platform/render_device.h"
#include "platform/window_handle.h"

constexpr uint32_t SPRITE_COLOUR_KEY = 0xFFFF0080;  // opaque red 255, green 0, blue 128: transparent in sheets
constexpr bool fullScreen = true;                   // the game runs full screen

// ---- Assets (null until InitGame; never change afterwards) ----
extern Texture* blueTexture;           // blue creature, 32x32, 9 per row
extern Texture* sparkleTexture;        // sparkles, 3x3, 4 per row
extern Texture* greenTexture;          // green creature, 32x32, 5 per row
extern Texture* doorTexture;           // door, 32x32, 2 per row
extern Texture* ladderTexture;         // ladder slices, 32x8, 8 per row
extern Texture* keyTexture;            // key, 32x32, 16 per row
extern Texture* keymanTexture;         // walking key, 32x32, 16 per row
extern Texture* rockTexture;           // rock, 32x32, 16 per row
extern Texture* paperTexture;          // paper airplane, 32x32, 18 per row
extern Texture* scissorsTexture;       // scissors, 32x32, 8 per row
extern Texture* titleTexture;          // title picture, 486x186
extern Texture* playButtonTexture;     // 118x34, normal above highlighted
extern Texture* setupButtonTexture;    // 138x34
extern Texture* creditsButtonTexture;  // 168x34
extern Texture* exitButtonTexture;     // 108x34
extern Texture* arrowTexture;          // cursor, 16x16, tip at the top left
extern Texture* wallsTexture;          // wall tiles by neighbour mask, 32x32, 16 per row
extern Surface* backgroundSurface;     // 1280x960: the background picture tiled 2 by 2
extern CSound* stepSound;              // "step.wav"
extern CSound* bounceSound;            // "bounce.wav"

// Brings the game up after the window exists: graphics, input, background, textures, sound, angle tables.
// False (after the message the failure calls for) when any step fails.
bool InitGame(WindowHandle window);

// Tests: every asset variable back to null; the two sounds are deleted, graphics objects are left to the
// device's owner. Call before the sound system is reset.
void ResetAssets();
