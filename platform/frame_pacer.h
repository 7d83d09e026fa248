// Frame pacing: when the loop may make the game's next frame, so frames come 60 a second on any display.
// Pure decisions over times in microseconds; the device's present feeds it its clock and its display.
//
// The rules step once per frame, so the frame rate is the game's speed and must not follow the display.
// After a new frame is presented the loop sleeps until the next frame is due, 1/60 s after the last, and
// the frame is made then; where presents wait for the display's retrace it reaches the screen at the
// retrace after it is made. The display keeps showing the last frame presented meanwhile, so the screen
// always holds the latest frame without presenting it again. Frames are made on the 1/60 s grid, not at
// the retraces, so the objects' millisecond step clocks see the same times on every display.
// A display of 60 Hz that waits for the retrace paces the frames itself, as it always did, while its
// presents come back 1/60 s apart to a fiftieth of a frame. A display slower than 60 Hz is never waited
// for: it would hold the game to its own rate.
// A frame that comes more than a whole frame late starts the schedule afresh from itself, so a slow
// frame slows the game down and is never followed by a burst of frames catching up.
// A frame equal to the one on screen is not presented: nothing waits for a retrace then, so the loop is
// held by the clock, and the next present's time is not measured against one long before it.
#pragma once
#include <cstdint>

constexpr int64_t kMicrosPerSecond = 1000000;
constexpr int64_t kGameFramesPerSecond = 60;
constexpr int64_t kGameFrameMicros = kMicrosPerSecond / kGameFramesPerSecond;  // 16666: for comparisons only

struct FramePacer {
  bool waitsForRetrace = false;  // presents return at the display's retrace
  int32_t refreshHz = 60;        // what the display claims
  int64_t intervals[8] = {};     // the latest times between two presents, the next to replace at next
  int32_t next = 0;
  bool started = false;
  int64_t scheduleStart = 0;    // when the frame that began the schedule was made
  int64_t scheduledFrames = 0;  // frames made since the schedule began, that one included
  int64_t lastPresent = 0;
  int64_t releasedAt = 0;  // when the loop was last let go to make a frame
  bool lastPresented = true;  // the last frame was presented
};

// Whether presents are to wait for the retrace: where the renderer can, on a display of 60 Hz or more
// (refreshHz 0 when the display does not say).
bool PaceByRetrace(int32_t refreshHz, bool rendererWaits);

// A fresh pacer for a display of refreshHz (60 assumed for 0) whose presents wait for its retrace or not.
FramePacer StartPacing(int32_t refreshHz, bool waitsForRetrace);

// A new frame's present returned at now. Afterwards waitsForRetrace may have turned false: the display's
// retraces all came slower than the game's frames, and the device is to stop waiting for them.
void NoteNewFrame(FramePacer& pacer, int64_t now);

// A frame made but not presented (the screen holds it already) at now.
void NoteFrameNotPresented(FramePacer& pacer, int64_t now);

// When the loop may make the next frame, asked right after a present returned at now; now or earlier
// means at once. Records the release when it is now.
int64_t NextFrameTime(FramePacer& pacer, int64_t now);

// Holds the loop after a frame (presented or not) until the next frame is due: now() reads the clock,
// sleepUntil(t) sleeps until time t.
template <typename Now, typename SleepUntil>
void HoldUntilNextFrame(FramePacer& pacer, Now now, SleepUntil sleepUntil) {
  for (int64_t at = NextFrameTime(pacer, now()); at > now(); at = NextFrameTime(pacer, now())) sleepUntil(at);
}
