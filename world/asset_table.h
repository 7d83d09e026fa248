// The asset table: every bitmap and wave file the game loads, with its sheet layout and failure text.
// The one place these are written: the start-up loads by it, the drawing code cuts frames by it, and the
// asset tool draws the files to it. Header only, so the tool needs nothing else of the game.
#pragma once
#include <cstdint>

// A sprite sheet: equal frames numbered row by row from 0, as DrawSpriteFrame cuts them.
struct SpriteSheet {
  const char* file;
  int32_t frameWidth;
  int32_t frameHeight;
  int32_t framesPerRow;
  int32_t frames;       // in the whole sheet: its height is frames / framesPerRow frames
  const char* message;  // what the player is told when it does not load; null: nothing is said
};

// A sound effect's wave file and what the player is told when it does not load.
struct SoundFile {
  const char* file;
  const char* message;
};

// ---- Sprite sheets, in loading order ----
inline constexpr SpriteSheet blueSheet = {"vems-blue.bmp", 32, 32, 9, 9, "Vems-Blue"};
inline constexpr SpriteSheet sparkleSheet = {"vems-sparkle-blue.bmp", 3, 3, 4, 4, "Sparkle"};
inline constexpr SpriteSheet greenSheet = {"vems-green.bmp", 32, 32, 5, 5, "Vems-Green"};
inline constexpr SpriteSheet doorSheet = {"vemsdoor.bmp", 32, 32, 2, 2, "Vems-Door"};
inline constexpr SpriteSheet ladderSheet = {"vemsladder.bmp", 32, 8, 8, 8, "Ladder"};
inline constexpr SpriteSheet keySheet = {"vemskey.bmp", 32, 32, 16, 16, "Key"};
inline constexpr SpriteSheet keymanSheet = {"vems-keyman.bmp", 32, 32, 16, 16, "Key"};
inline constexpr SpriteSheet rockSheet = {"vems-rock.bmp", 32, 32, 16, 16, "Rock"};
inline constexpr SpriteSheet paperSheet = {"VemsPaper-Airplane.bmp", 32, 32, 18, 18, "Paper"};
inline constexpr SpriteSheet scissorsSheet = {"vems-scissors.bmp", 32, 32, 8, 8, "Scissors"};
inline constexpr SpriteSheet titleSheet = {"vems-title.bmp", 486, 186, 1, 1, "Title"};
// Buttons: normal frame above the highlighted one.
inline constexpr SpriteSheet playButtonSheet = {"vems-btn-play.bmp", 118, 34, 1, 2, "[Play]"};
inline constexpr SpriteSheet setupButtonSheet = {"vems-btn-setup.bmp", 138, 34, 1, 2, "[Setup]"};
inline constexpr SpriteSheet creditsButtonSheet = {"vems-btn-credits.bmp", 168, 34, 1, 2, "Credits"};
inline constexpr SpriteSheet exitButtonSheet = {"vems-btn-exit.bmp", 108, 34, 1, 2, "Exit"};
inline constexpr SpriteSheet arrowSheet = {"vems-arrow.bmp", 16, 16, 1, 1, nullptr};
inline constexpr SpriteSheet wallsSheet = {"vems-walls.bmp", 32, 32, 16, 16, nullptr};

inline constexpr const SpriteSheet* spriteSheets[] = {
    &blueSheet,  &sparkleSheet, &greenSheet, &doorSheet,       &ladderSheet,      &keySheet,
    &keymanSheet, &rockSheet,   &paperSheet, &scissorsSheet,   &titleSheet,       &playButtonSheet,
    &setupButtonSheet, &creditsButtonSheet, &exitButtonSheet, &arrowSheet, &wallsSheet,
};

// ---- The background picture and the sounds ----
// One 640 by 480 picture, tiled 2 by 2 into the background surface.
inline constexpr SpriteSheet backgroundPicture = {"Vems-BG-Cyan.bmp", 640, 480, 1, 1, nullptr};
inline constexpr SoundFile stepSoundFile = {"step.wav", "Error loading step.wav"};
inline constexpr SoundFile bounceSoundFile = {"bounce.wav", "Error loading bounce.wav"};
