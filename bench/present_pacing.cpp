// Presents are paced to the display even where the renderer does not wait for the retrace: 120 frames
// on SDL's software renderer (which never waits) take about two seconds at 60 Hz, not milliseconds.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/graphics.h"
#include "platform/system.h"

namespace {

// One window and device for the program, as in the game.
bool StartDevice() {
  static const bool started = [] {
    WindowHandle window = CreateGameWindow("Vems pacing", 640, 480);
    return window != nullptr && InitGraphics(window, 640, 480, false);
  }();
  return started;
}

void EmptyFrames(benchmark::State& state) {
  if (!StartDevice()) {
    state.SkipWithError(("no device: " + PlatformError()).c_str());
    return;
  }
  const int64_t frames = state.range(0);
  for (auto _ : state) {
    for (int64_t i = 0; i < frames; ++i) {
      BeginScene(graphicsDevice);
      EndScene(graphicsDevice);
      Present(graphicsDevice);
    }
  }
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(frames) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(EmptyFrames)->Arg(120)->Iterations(1)->Repetitions(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

// The software renderer on the dummy display: nothing here waits for a retrace but the pacing itself.
int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_RENDER_DRIVER", "software", 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
