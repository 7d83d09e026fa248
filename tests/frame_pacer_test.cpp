// The frame pacer on simulated displays: 60 frames a second at any refresh rate, the latest frame at every
// retrace, no burst after a slow frame, and displays that do not behave as they claim.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_system.h"
#include "platform/frame_pacer.h"
#include "platform/graphics.h"
#include "support/fixture.h"

namespace {

constexpr int64_t kSecond = kMicrosPerSecond;
constexpr int32_t kRates[] = {50, 60, 75, 90, 120, 144, 165, 240};

class FramePacerTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(InitGraphics(FakeWindow(), 640, 480, true));
  }

  // Frames made one after another, each taking cost microseconds before its present, until the
  // simulated clock has run for the given time; returns when the loop went on to make each next frame.
  static std::vector<int64_t> Run(int64_t duration, int64_t cost) {
    std::vector<int64_t> shown;
    const int64_t end = FakeMicroseconds() + duration;
    while (FakeMicroseconds() < end) {
      AdvanceFakeMicroseconds(cost);
      Present(graphicsDevice);
      shown.push_back(FakeMicroseconds());
    }
    return shown;
  }

  static int64_t ShortestGap(const std::vector<int64_t>& times) {
    int64_t shortest = kSecond;
    for (size_t i = 1; i < times.size(); ++i) shortest = std::min(shortest, times[i] - times[i - 1]);
    return shortest;
  }
};

// A simulated minute on every display, with and without waiting for the retrace: 60 frames a second,
// each made 1/60 s after the one before to the microsecond (so the objects' step clocks see the same
// times on every display).
TEST_F(FramePacerTest, SixtyFramesASecondOnEveryDisplay) {
  for (bool vsync : {true, false}) {
    for (int32_t hz : kRates) {
      FakeSetDisplay(hz, vsync);
      Run(kSecond, 2000);  // settle
      const int64_t start = FakeMicroseconds();
      const std::vector<int64_t> made = Run(60 * kSecond, 2000);
      const double perSecond = double(made.size()) * kSecond / double(FakeMicroseconds() - start);
      EXPECT_NEAR(perSecond, 60.0, 0.5) << hz << " Hz, vsync " << vsync;
      EXPECT_EQ(FakePresentsWaitForRetrace(), vsync && hz >= 60) << hz << " Hz";
      for (size_t i = 1; i < made.size(); ++i) {
        const int64_t gap = made[i] - made[i - 1];
        ASSERT_TRUE(gap == kSecond / 60 || gap == kSecond / 60 + 1) << hz << " Hz, frame " << i << ": " << gap;
      }
    }
  }
}

// One frame that takes a tenth of a second: the game falls behind for good, the frames after it keep
// their pace (no run of quick frames to catch up).
TEST_F(FramePacerTest, SlowFrameIsNotFollowedByABurst) {
  for (bool vsync : {true, false}) {
    FakeSetDisplay(144, vsync);
    Run(kSecond, 2000);
    const int64_t slowFrameDone = Run(1, 100000).back();
    const std::vector<int64_t> after = Run(kSecond, 2000);
    EXPECT_GE(after.front() - slowFrameDone, kGameFrameMicros) << "vsync " << vsync;
    EXPECT_GE(ShortestGap(after), kGameFrameMicros) << "vsync " << vsync;
    EXPECT_LE(after.size(), 61u) << "vsync " << vsync;
  }
}

// A display that behaves otherwise than it claims, on a clock of its own: presents return at its own
// retraces (or at once when it ignores the request), until the device stops asking it to wait because
// the pacer no longer does.
struct OddDisplay {
  int32_t actualHz;
  bool honoursWait;
  int64_t clock = 0;

  void Show(bool wait) {
    if (wait && honoursWait) clock = ((clock + 1) * actualHz / kSecond + 1) * kSecond / actualHz;
  }
};

struct Paced {
  double perSecond;
  bool waitsForRetrace;  // at the end
};

// 20 s of frames of which every presentedEvery-th is presented (0: only the first); the others equal the
// frame on screen and are not.
Paced FramesPerSecond(FramePacer pacer, OddDisplay display, int32_t presentedEvery = 1) {
  int frames = 0;
  while (display.clock < 20 * kSecond) {
    display.clock += 2000;  // making the frame
    if (presentedEvery != 0 ? frames % presentedEvery == 0 : frames == 0) {
      display.Show(pacer.waitsForRetrace);
      NoteNewFrame(pacer, display.clock);
    } else {
      NoteFrameNotPresented(pacer, display.clock);
    }
    ++frames;
    HoldUntilNextFrame(
        pacer, [&] { return display.clock; }, [&](int64_t until) { display.clock = until; });
  }
  return Paced{frames / (double(display.clock) / kSecond), pacer.waitsForRetrace};
}

// A 144 Hz display that says 60 Hz, one that says 60 Hz and waits but never waits, one that says 60 Hz
// but refreshes at 50, and one a little too fast for 60 (63 Hz; a virtual screen's timer of whole
// milliseconds retraces at 62.5): each still gets 60 frames a second.
TEST(FramePacerOddDisplayTest, DisplaysThatDoNotBehaveAsTheyClaimStillGetSixty) {
  EXPECT_NEAR(FramesPerSecond(StartPacing(60, true), OddDisplay{144, true}).perSecond, 60.0, 0.5);
  EXPECT_NEAR(FramesPerSecond(StartPacing(60, true), OddDisplay{60, false}).perSecond, 60.0, 0.5);
  EXPECT_NEAR(FramesPerSecond(StartPacing(60, true), OddDisplay{50, true}).perSecond, 60.0, 0.5);
  EXPECT_NEAR(FramesPerSecond(StartPacing(60, true), OddDisplay{63, true}).perSecond, 60.0, 0.5);
}

// Frames equal to the one on screen are not presented, so no retrace holds them: on a 60 Hz display
// that paces the presents they still come 60 a second, and the gaps they leave between presents do not
// pass for a slow display.
TEST(FramePacerOddDisplayTest, FramesNotPresentedStillComeSixtyASecond) {
  for (int32_t every : {0, 2, 3}) {
    const Paced paced = FramesPerSecond(StartPacing(60, true), OddDisplay{60, true}, every);
    EXPECT_NEAR(paced.perSecond, 60.0, 0.5) << "presented every " << every;
    EXPECT_TRUE(paced.waitsForRetrace) << "presented every " << every;
  }
}

}  // namespace
