// Frame pacing decisions: the frame schedule, the display's retraces as measured, and when to go on.
#include "platform/frame_pacer.h"

#include <algorithm>
#include <iterator>

namespace {

// When the next frame is due: the schedule's frames 1/60 s apart, exactly on average.
int64_t DueTime(const FramePacer& pacer) {
  return pacer.scheduleStart + pacer.scheduledFrames * kMicrosPerSecond / kGameFramesPerSecond;
}

// A 60 Hz display that waits for the retrace paces the frames, unless a present came back more than a
// fiftieth of a frame off a 60 Hz retrace: a faster display claiming 60, presents that do not wait after
// all, or a retrace a little fast (a virtual screen's timer of whole milliseconds runs at 62.5 Hz, which
// would run the game 4% fast). The clock paces those, at the same 60 a second.
bool DisplayPacesFrames(const FramePacer& pacer) {
  if (!pacer.waitsForRetrace || pacer.refreshHz != kGameFramesPerSecond) return false;
  return std::all_of(std::begin(pacer.intervals), std::end(pacer.intervals), [](int64_t interval) {
    return interval == 0 || (interval > kGameFrameMicros - kGameFrameMicros / 50 &&
                             interval < kGameFrameMicros + kGameFrameMicros / 50);
  });
}

// The frame made at the last release counted on the schedule; one more than a frame late begins it anew.
void CountFrame(FramePacer& pacer, int64_t now) {
  const bool first = !pacer.started;
  if (first) pacer.lastPresent = pacer.releasedAt = now;
  if (first || pacer.releasedAt - DueTime(pacer) > kGameFrameMicros) {
    pacer.scheduleStart = pacer.releasedAt;
    pacer.scheduledFrames = 1;
    pacer.started = true;
  } else {
    ++pacer.scheduledFrames;
  }
}

}  // namespace

bool PaceByRetrace(int32_t refreshHz, bool rendererWaits) {
  return rendererWaits && (refreshHz == 0 || refreshHz >= kGameFramesPerSecond);
}

FramePacer StartPacing(int32_t refreshHz, bool waitsForRetrace) {
  FramePacer pacer;
  pacer.waitsForRetrace = waitsForRetrace;
  pacer.refreshHz = refreshHz > 0 ? refreshHz : int32_t{kGameFramesPerSecond};
  return pacer;
}

void NoteNewFrame(FramePacer& pacer, int64_t now) {
  const bool measured = pacer.started && pacer.lastPresented;
  CountFrame(pacer, now);
  pacer.lastPresented = true;
  if (!pacer.waitsForRetrace) return;
  pacer.intervals[pacer.next] = measured ? now - pacer.lastPresent : 0;
  pacer.next = (pacer.next + 1) % 8;
  pacer.lastPresent = now;
  // Eight presents in a row a twentieth of a frame slower than the game's frames: a display below 60 Hz.
  if (std::all_of(std::begin(pacer.intervals), std::end(pacer.intervals),
                  [](int64_t interval) { return interval > kGameFrameMicros + kGameFrameMicros / 20; }))
    pacer.waitsForRetrace = false;
}

void NoteFrameNotPresented(FramePacer& pacer, int64_t now) {
  CountFrame(pacer, now);
  pacer.lastPresented = false;
}

int64_t NextFrameTime(FramePacer& pacer, int64_t now) {
  const int64_t due = DueTime(pacer);
  if (now < due && !(pacer.lastPresented && DisplayPacesFrames(pacer))) return due;
  pacer.releasedAt = now;
  return now;
}
