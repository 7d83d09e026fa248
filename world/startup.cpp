// The game's start-up: the asset variables and InitGame, which brings up every layer and loads every file.
#include "world/startup.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "game/game.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"
#include "world/asset_table.h"
#include "world/world.h"

Texture* blueTexture = nullptr;
Texture* sparkleTexture = nullptr;
Texture* greenTexture = nullptr;
Texture* doorTexture = nullptr;
Texture* ladderTexture = nullptr;
Texture* keyTexture = nullptr;
Texture* keymanTexture = nullptr;
Texture* rockTexture = nullptr;
Texture* paperTexture = nullptr;
Texture* scissorsTexture = nullptr;
Texture* titleTexture = nullptr;
Texture* playButtonTexture = nullptr;
Texture* setupButtonTexture = nullptr;
Texture* creditsButtonTexture = nullptr;
Texture* exitButtonTexture = nullptr;
Texture* arrowTexture = nullptr;
Texture* wallsTexture = nullptr;
Surface* backgroundSurface = nullptr;
CSound* stepSound = nullptr;
CSound* bounceSound = nullptr;

namespace {

// One sprite sheet to load: where it goes, and its row of the asset table.
struct SheetToLoad {
  Texture** texture;
  const SpriteSheet& sheet;
};

// In loading order; the first one missing stops the start-up.
const SheetToLoad kSheets[] = {
    {&blueTexture, blueSheet},
    {&sparkleTexture, sparkleSheet},
    {&greenTexture, greenSheet},
    {&doorTexture, doorSheet},
    {&ladderTexture, ladderSheet},
    {&keyTexture, keySheet},
    {&keymanTexture, keymanSheet},
    {&rockTexture, rockSheet},
    {&paperTexture, paperSheet},
    {&scissorsTexture, scissorsSheet},
    {&titleTexture, titleSheet},
    {&playButtonTexture, playButtonSheet},
    {&setupButtonTexture, setupButtonSheet},
    {&creditsButtonTexture, creditsButtonSheet},
    {&exitButtonTexture, exitButtonSheet},
    {&arrowTexture, arrowSheet},
    {&wallsTexture, wallsSheet},
};

// Said on standard error for a file the start-up could not load, whatever box the player sees: the
// game opens its files by bare name, so the usual cause is a start in the wrong folder, and whoever
// started it needs to know which folder that was and how to start the game instead.
void ReportFileFailure(const char* file) {
  std::error_code error;
  const std::string folder = std::filesystem::current_path(error).string();
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (!std::filesystem::exists(status)) {
    std::fprintf(stderr,
                 "vems: cannot start: \"%s\" is not in the working folder %s\n"
                 "vems: the game reads its files from the folder it is started in; start it with the "
                 "launcher \"vems\" (installed) or with scripts/play (source tree)\n",
                 file, folder.c_str());
  } else if (!std::filesystem::is_regular_file(status)) {
    // A pipe, a device or a folder under the file's name: the game never opens those.
    std::fprintf(stderr, "vems: cannot start: \"%s\" in the working folder %s is not a regular file\n", file,
                 folder.c_str());
  } else {
    std::fprintf(stderr,
                 "vems: cannot start: \"%s\" in the working folder %s is damaged or unreadable; install the "
                 "game again\n",
                 file, folder.c_str());
  }
}

// The background picture tiled 2 by 2 into backgroundSurface, so the half-pace scroll always finds a
// whole 640 by 480 window to copy. False when the picture or the surface cannot be made.
bool BuildBackground() {
  Surface* picture = LoadSurfaceFromImage(backgroundPicture.file);
  if (picture == nullptr) {
    ReportFileFailure(backgroundPicture.file);
    return false;
  }
  if (CreateOffscreenPlainSurface(graphicsDevice, 1280, 960, &backgroundSurface) != D3D_OK) {
    std::fprintf(stderr, "vems: cannot start: no room for the background: %s\n", PlatformError().c_str());
    Release(picture);  // only ever a source for the copies; everything else made so far stays made
    return false;
  }
  const Rect source_rect = MakeRect(0, 0, 640, 480);
  for (int32_t i = 0; i < 2; ++i) {
    for (int32_t j = 0; j < 2; ++j) {
      const Rect dest_rect = MakeRect(640 * i, 480 * j, 640 * (i + 1), 480 * (j + 1));
      StretchRect(graphicsDevice, picture, &source_rect, backgroundSurface, &dest_rect);
    }
  }
  GetBackBuffer(graphicsDevice, &backBuffer);
  Release(picture);
  return true;
}

// The player is told with a box owned by the game window, captioned with its title.
bool SoundStartFailed(WindowHandle window, const char* message) {
  MessageBoxA(window, message, windowTitle, MB_OK);
  return false;
}

// A sound file that would not load: said on standard error, then shown in the game window.
bool SoundFileFailed(WindowHandle window, const SoundFile& sound) {
  ReportFileFailure(sound.file);
  return SoundStartFailed(window, sound.message);
}

}  // namespace

bool InitGame(WindowHandle window) {
  // Every later step needs the device, and every frame reads the input layer, so a failed start of
  // either ends here; the platform's reason, and for the graphics what would work, go to standard error
  // since no window can show them.
  if (!InitGraphics(window, 640, 480, fullScreen)) {
    std::fprintf(stderr, "vems: cannot start the graphics: %s\nvems: %s\n", PlatformError().c_str(),
                 GraphicsAdvice().c_str());
    return false;
  }
  if (!InitInput(window)) {
    std::fprintf(stderr, "vems: cannot start the input: %s\n", PlatformError().c_str());
    return false;
  }

  if (!BuildBackground()) return false;

  for (const SheetToLoad& load : kSheets) {
    *load.texture = LoadTextureFromImage(load.sheet.file, SPRITE_COLOUR_KEY);
    if (*load.texture != nullptr) continue;
    ReportFileFailure(load.sheet.file);
    if (load.sheet.message != nullptr) MessageBoxA(nullptr, load.sheet.message, "Vems", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }

  if (!InitSound(window)) {
    std::fprintf(stderr,
                 "vems: cannot start the sound: %s\n"
                 "vems: where there is no sound device, SDL_AUDIODRIVER=dummy lets the game run silent\n",
                 PlatformError().c_str());
    return SoundStartFailed(window, "Error initializing DirectSound");
  }
  stepSound = LoadSoundEffect(stepSoundFile.file);
  if (stepSound == nullptr) return SoundFileFailed(window, stepSoundFile);
  bounceSound = LoadSoundEffect(bounceSoundFile.file);
  if (bounceSound == nullptr) return SoundFileFailed(window, bounceSoundFile);

  BuildAngleTables();
  return true;
}

void ResetAssets() {
  for (const SheetToLoad& load : kSheets) *load.texture = nullptr;
  backgroundSurface = nullptr;
  // The sounds are the only assets the start-up itself owns; the graphics objects belong to the device.
  delete stepSound;
  stepSound = nullptr;
  delete bounceSound;
  bounceSound = nullptr;
}
