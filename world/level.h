// The level loader's stream entry, for tests and the fuzzer; the game itself calls LoadLevel (world.h).
#pragma once
#include <istream>

// Reads a level from any stream exactly as LoadLevel reads a file: the first 1200 non-whitespace
// characters fill levelGrid row by row, a failed read keeps the cell's old character, and objects,
// objectCount and (on a "G") player, camera and backgroundScroll are rebuilt from the grid.
void LoadLevelFromStream(std::istream& in);
