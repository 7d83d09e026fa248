// make_assets OUTPUT_FOLDER: draws every bitmap and synthesises both sounds of the game into the folder.
#include <cstdio>

#include "tools/assets.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets OUTPUT_FOLDER\n");
    return 2;
  }
  return WriteAssets(argv[1]) ? 0 : 1;
}
