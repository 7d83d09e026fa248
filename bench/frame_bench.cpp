// Cost of one play frame on SDL's software renderer: the game's own frame (level 2, the creature walking)
// against a bare SDL program drawing the same picture plainly, every sprite alpha-blended.
// Without arguments it runs Google Benchmark; with --frames=N it draws N frames of the workload named by
// --workload=game|title|baseline|stretch and nothing else, for counting instructions under callgrind:
// the game in play or on its title at rest, the baseline, or one plain nearest stretch of a 640 by 480
// picture by SDL to where the game shows it. --screen=WxH gives the game's window that size (640x480
// unless given); the baseline stays full screen on the dummy driver's 1024 by 768.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/game.h"
#include "platform/picture_place.h"
#include "platform/picture_size.h"
#include "platform/sdl/test_hooks.h"
#include "platform/system.h"
#include "world/startup.h"
#include "world/world.h"

namespace {

constexpr int kWalkFrames = 90;  // the creature turns round this often, so it never stands at a wall for long

WindowHandle gameWindow = nullptr;
int walked = 0;
long long renderCopies = 0;  // every SDL_RenderCopy of either workload, the game's stand-ins included

}  // namespace

// The link routes SDL_RenderCopy through here (-Wl,--wrap), so both workloads' draw calls are counted.
extern "C" int __real_SDL_RenderCopy(SDL_Renderer*, SDL_Texture*, const SDL_Rect*, const SDL_Rect*);
extern "C" int __wrap_SDL_RenderCopy(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* from,
                                     const SDL_Rect* to) {
  ++renderCopies;
  return __real_SDL_RenderCopy(renderer, texture, from, to);
}

namespace {

// ---- The game ----

// The program's own start in data/: level 2, the window (out of full screen at the given size), InitGame;
// then straight into play with a pad's stick held, unless it stays on the title; presents no longer
// waiting for the next frame's time.
bool StartGame(int screenWidth, int screenHeight, bool title) {
  if (chdir(VEMS_SOURCE_DIR "/data") != 0) return false;
  LoadLevel("level2.vem");
  gameWindow = CreateGameWindow(windowTitle, kPictureWidth, kPictureHeight);
  if (gameWindow == nullptr || !InitGame(gameWindow) || !PlugTestPad()) return false;
  ResizeGameWindow(screenWidth, screenHeight);
  SetPresentPacing(false);
  if (!title) gameState = Playing;
  return true;
}

// One turn of the game's loop: a message taken if there is one, then the frame; the stick swings the
// creature right and left in turn.
void GameFrameWalking() {
  if (walked % kWalkFrames == 0) SetTestPadAxis(0, (walked / kWalkFrames) % 2 == 0 ? 32767 : -32767);
  ++walked;
  Message msg;
  if (PeekMessageA(msg)) WindowProc(gameWindow, msg.message, msg.wParam, msg.lParam);
  GameFrame(gameWindow);
}

// ---- The baseline: the same picture drawn the plain way ----

struct Baseline {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* background = nullptr;
  SDL_Texture* walls = nullptr;
  SDL_Texture* blue = nullptr;
  SDL_Texture* sparkle = nullptr;
  SDL_Texture* door = nullptr;
  SDL_Texture* ladder = nullptr;
  SDL_Texture* key = nullptr;
  SDL_Texture* rock = nullptr;
  SDL_Texture* paper = nullptr;
  SDL_Texture* scissors = nullptr;
  SDL_Texture* arrow = nullptr;
};

Baseline baseline;

// A sheet with its key colour made transparent, drawn alpha-blended like every sprite here.
SDL_Texture* LoadSheet(const char* file) {
  SDL_Surface* loaded = SDL_LoadBMP(file);
  if (loaded == nullptr) return nullptr;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (argb == nullptr) return nullptr;
  for (int y = 0; y < argb->h; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(argb->pixels) + y * argb->pitch);
    for (int x = 0; x < argb->w; ++x)
      if (row[x] == SPRITE_COLOUR_KEY) row[x] = 0;
  }
  SDL_Texture* texture = SDL_CreateTextureFromSurface(baseline.renderer, argb);
  SDL_FreeSurface(argb);
  if (texture != nullptr) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  return texture;
}

// The background picture tiled 2 by 2 into one 1280 by 960 texture.
SDL_Texture* LoadBackground() {
  SDL_Surface* picture = SDL_LoadBMP("Vems-BG-Cyan.bmp");
  if (picture == nullptr) return nullptr;
  SDL_Surface* tiled = SDL_CreateRGBSurfaceWithFormat(0, 1280, 960, 32, SDL_PIXELFORMAT_RGB888);
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      SDL_Rect to{kPictureWidth * i, kPictureHeight * j, kPictureWidth, kPictureHeight};
      SDL_BlitSurface(picture, nullptr, tiled, &to);
    }
  }
  SDL_Texture* texture = SDL_CreateTextureFromSurface(baseline.renderer, tiled);
  SDL_FreeSurface(tiled);
  SDL_FreeSurface(picture);
  return texture;
}

// A window like the game's (full screen, the 640 by 480 picture in it) with a software renderer.
bool StartBaseline() {
  baseline.window = SDL_CreateWindow("baseline", 0, 0, kPictureWidth, kPictureHeight, SDL_WINDOW_FULLSCREEN_DESKTOP);
  if (baseline.window == nullptr) return false;
  baseline.renderer = SDL_CreateRenderer(baseline.window, -1, SDL_RENDERER_SOFTWARE);
  if (baseline.renderer == nullptr) return false;
  // The game's picture is never scaled by more than whole pixels; here the screen is 1024 by 768.
  SDL_RenderSetLogicalSize(baseline.renderer, kPictureWidth, kPictureHeight);
  SDL_RenderSetIntegerScale(baseline.renderer, SDL_TRUE);
  baseline.background = LoadBackground();
  SDL_Texture** sheets[] = {&baseline.walls, &baseline.blue, &baseline.sparkle, &baseline.door, &baseline.ladder,
                            &baseline.key, &baseline.rock, &baseline.paper, &baseline.scissors, &baseline.arrow};
  const char* files[] = {"vems-walls.bmp", "vems-blue.bmp", "vems-sparkle-blue.bmp", "vemsdoor.bmp",
                         "vemsladder.bmp", "vemskey.bmp", "vems-rock.bmp", "VemsPaper-Airplane.bmp",
                         "vems-scissors.bmp", "vems-arrow.bmp"};
  bool all = baseline.background != nullptr;
  for (size_t i = 0; i < sizeof files / sizeof files[0]; ++i) all = (*sheets[i] = LoadSheet(files[i])) != nullptr && all;
  return all;
}

// Cell number cell of a sheet with the given cell size and columns, at screen (x, y).
void DrawCell(SDL_Texture* sheet, int x, int y, int cell, int width, int height, int columns) {
  const SDL_Rect from{(cell % columns) * width, (cell / columns) * height, width, height};
  const SDL_Rect to{x, y, width, height};
  SDL_RenderCopy(baseline.renderer, sheet, &from, &to);
}

bool Wall(int c, int r) { return c < 0 || c >= GRID_COLUMNS || r < 0 || r >= GRID_ROWS || levelGrid[c][r] == WALL_CELL; }

// The picture the game's frame draws for the world as it stands: background window, every wall cell, the
// level's objects (a ladder in 8-pixel slices), the creature, three sparkles, the cursor.
void BaselineFrame() {
  SDL_Renderer* renderer = baseline.renderer;
  const int cx = static_cast<int>(camera.x), cy = static_cast<int>(camera.y);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  const SDL_Rect window{static_cast<int>(backgroundScroll.x), static_cast<int>(backgroundScroll.y), kPictureWidth, kPictureHeight};
  SDL_RenderCopy(renderer, baseline.background, &window, nullptr);
  for (int c = 0; c < GRID_COLUMNS; ++c) {
    for (int r = 0; r < GRID_ROWS; ++r) {
      if (levelGrid[c][r] != WALL_CELL) continue;
      const int mask = Wall(c + 1, r) * 1 + Wall(c, r - 1) * 2 + Wall(c - 1, r) * 4 + Wall(c, r + 1) * 8;
      DrawCell(baseline.walls, 32 * c - cx, 32 * r - cy, mask, 32, 32, 16);
    }
  }
  for (int i = 0; i < objectCount; ++i) {
    const GameObject& o = objects[i];
    if (o.hidden) continue;
    const int x = static_cast<int>(o.position.x) - cx, y = static_cast<int>(o.position.y) - cy;
    switch (o.type) {
      case Rock: DrawCell(baseline.rock, x, y, o.frame, 32, 32, 16); break;
      case Paper: DrawCell(baseline.paper, x, y, o.frame, 32, 32, 18); break;
      case Scissors: DrawCell(baseline.scissors, x, y, o.frame, 32, 32, 8); break;
      case Key: DrawCell(baseline.key, x, y, o.frame, 32, 32, 16); break;
      case Door: DrawCell(baseline.door, x, y + 3, 0, 32, 32, 2); break;
      case Ladder:
        for (int v = 0; v < o.bounds.bottom; v += 8) DrawCell(baseline.ladder, x, y + v, o.frame, 32, 8, 8);
        break;
      case BlueCreature:
      case GreenCreature: DrawCell(baseline.blue, x, y, o.frame, 32, 32, 9); break;
    }
  }
  const int px = static_cast<int>(player.position.x) - cx, py = static_cast<int>(player.position.y) - cy;
  DrawCell(baseline.blue, px, py, player.frame, 32, 32, 9);
  for (int i = 0; i < 3; ++i) DrawCell(baseline.sparkle, px + std::rand() % 32, py + std::rand() % 32, std::rand() % 4, 3, 3, 4);
  DrawCell(baseline.arrow, cursorX, cursorY, 0, 16, 16, 1);
  SDL_RenderPresent(renderer);
}

// ---- A plain stretch: what showing the picture scaled costs done the ordinary way ----

SDL_Surface* stretchPicture = nullptr;
SDL_Surface* stretchScreen = nullptr;
SDL_Rect stretchPlace;

// A picture and a screen of the given size in the game's frame format, the picture placed as the game
// places it.
bool StartStretch(int screenWidth, int screenHeight) {
  stretchPicture = SDL_CreateRGBSurfaceWithFormat(0, kPictureWidth, kPictureHeight, 32, SDL_PIXELFORMAT_RGB888);
  stretchScreen = SDL_CreateRGBSurfaceWithFormat(0, screenWidth, screenHeight, 32, SDL_PIXELFORMAT_RGB888);
  if (stretchPicture == nullptr || stretchScreen == nullptr) return false;
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x)
      static_cast<Uint32*>(stretchPicture->pixels)[y * stretchPicture->pitch / 4 + x] = Uint32(x * 2654435761u ^ y);
  const PicturePlace place = PlacePicture(kPictureWidth, kPictureHeight, screenWidth, screenHeight);
  stretchPlace = SDL_Rect{place.x, place.y, place.width, place.height};
  return true;
}

void StretchFrame() { SDL_BlitScaled(stretchPicture, nullptr, stretchScreen, &stretchPlace); }

// ---- Start-up shared by every mode ----

bool StartAll(int screenWidth, int screenHeight, bool title) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_RENDER_DRIVER", "software", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (!StartGame(screenWidth, screenHeight, title)) return false;
  // Walk a while first, so both measure the creature away from where the level put it.
  for (int i = 0; i < 2 * kWalkFrames; ++i) GameFrameWalking();
  return StartBaseline() && StartStretch(screenWidth, screenHeight);
}

void GameFrameBench(benchmark::State& state) {
  const float start = player.position.x;
  const long long copiesBefore = renderCopies;
  for (auto _ : state) GameFrameWalking();
  if (player.position.x == start && player.velocity.x == 0) state.SkipWithError("the creature did not walk");
  state.counters["draws"] = double(renderCopies - copiesBefore) / double(state.iterations());
}
BENCHMARK(GameFrameBench)->Unit(benchmark::kMicrosecond);

void BaselineFrameBench(benchmark::State& state) {
  const long long copiesBefore = renderCopies;
  for (auto _ : state) BaselineFrame();
  state.counters["draws"] = double(renderCopies - copiesBefore) / double(state.iterations());
}
BENCHMARK(BaselineFrameBench)->Unit(benchmark::kMicrosecond);

// Only these frames are counted under callgrind (--collect-atstart=no --toggle-collect=CountedFrames*).
__attribute__((noinline)) void CountedFrames(const std::string& workload, int frames) {
  for (int i = 0; i < frames; ++i) {
    if (workload == "baseline") BaselineFrame();
    else if (workload == "stretch") StretchFrame();
    else GameFrameWalking();
  }
}

}  // namespace

int main(int argc, char** argv) {
  int frames = 0;
  std::string workload = "game";
  int screenWidth = kPictureWidth;
  int screenHeight = kPictureHeight;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--frames=", 9) == 0) frames = std::atoi(argv[i] + 9);
    if (std::strncmp(argv[i], "--workload=", 11) == 0) workload = argv[i] + 11;
    if (std::sscanf(argv[i], "--screen=%dx%d", &screenWidth, &screenHeight) == 2) continue;
  }
  if (!StartAll(screenWidth, screenHeight, workload == "title")) {
    std::fprintf(stderr, "frame_bench: cannot start: %s\n", SDL_GetError());
    return 1;
  }
  if (frames > 0) {
    const long long copiesBefore = renderCopies;
    CountedFrames(workload, frames);
    std::printf("frame_bench: %d %s frames, %.1f draws per frame\n", frames, workload.c_str(),
                double(renderCopies - copiesBefore) / frames);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
