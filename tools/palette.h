// The one palette every sheet is drawn from, so the pieces look like one game.
#pragma once

#include "tools/canvas.h"

namespace palette {
constexpr Colour INK{24, 26, 52};  // outlines, pupils, letter edges

constexpr Colour BLUE{58, 118, 232};
constexpr Colour BLUE_LIGHT{132, 184, 255};
constexpr Colour BLUE_DARK{34, 72, 168};
constexpr Colour GREEN{72, 186, 74};
constexpr Colour GREEN_LIGHT{150, 228, 120};
constexpr Colour GREEN_DARK{38, 118, 52};
constexpr Colour WHITE{250, 250, 246};
constexpr Colour BLUSH{246, 140, 170};

constexpr Colour STONE{150, 138, 124};
constexpr Colour STONE_LIGHT{196, 186, 170};
constexpr Colour STONE_DARK{98, 88, 82};

constexpr Colour PAPER{248, 248, 240};
constexpr Colour PAPER_SHADE{196, 204, 220};

constexpr Colour STEEL{206, 212, 226};
constexpr Colour STEEL_LIGHT{246, 248, 255};
constexpr Colour STEEL_DARK{122, 130, 150};
constexpr Colour RED{226, 66, 58};
constexpr Colour RED_DARK{150, 36, 40};

constexpr Colour GOLD{244, 192, 44};
constexpr Colour GOLD_LIGHT{255, 236, 130};
constexpr Colour GOLD_DARK{176, 118, 24};

constexpr Colour WOOD{186, 122, 62};
constexpr Colour WOOD_LIGHT{224, 168, 98};
constexpr Colour WOOD_DARK{124, 76, 38};

constexpr Colour BRICK{168, 110, 86};
constexpr Colour BRICK_LIGHT{204, 148, 112};
constexpr Colour BRICK_DARK{110, 66, 56};
constexpr Colour MORTAR{92, 60, 58};
constexpr Colour GRASS{92, 196, 70};
constexpr Colour GRASS_LIGHT{168, 232, 104};

constexpr Colour CYAN{118, 206, 220};
constexpr Colour CYAN_LIGHT{150, 222, 232};
constexpr Colour CYAN_PALE{182, 236, 242};
constexpr Colour CYAN_DEEP{96, 188, 208};
}  // namespace palette
