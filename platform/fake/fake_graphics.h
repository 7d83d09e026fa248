// Test control of the fake graphics device: what was drawn, copied and presented, and failures to script.
#pragma once
#include <string>
#include <vector>

#include "platform/render_device.h"

// One sprite cell drawn through the sprite batch.
struct DrawRecord {
  const Texture* texture;
  std::string sheet;  // file name the texture was loaded from
  Rect source;
  float x;
  float y;
};

// One rectangle copy between surfaces (target == the back buffer for the frame's background).
struct CopyRecord {
  const Surface* source;
  Rect sourceRect;
  const Surface* target;
  Rect targetRect;
};

// Sprite draws since the last FakeClearLog, in order.
const std::vector<DrawRecord>& FakeDraws();
// Rectangle copies since the last FakeClearLog, in order.
const std::vector<CopyRecord>& FakeCopies();
// Presents and successful scene begins since the last FakeClearLog.
int FakePresentCount();
int FakeBeginSceneCount();
// Forgets the draws, copies and counts (not the failures set below).
void FakeClearLog();

// BeginScene answers D3DERR_INVALIDCALL while set.
void FakeFailBeginScene(bool fail);
// CreateDevice leaves the device null and fails while set.
void FakeFailDeviceCreation(bool fail);

// The file name a texture was loaded from ("" for null).
std::string FakeTextureName(const Texture* texture);
// Size of a fake surface or texture, as read from its file (or as created); 0 by 0 for null.
ImageInfo FakeSurfaceSize(const Surface* surface);
ImageInfo FakeTextureSize(const Texture* texture);
// Surfaces (the back buffer included) and textures made and not yet released.
int FakeLiveSurfaces();
int FakeLiveTextures();
// The presentation parameters the device was created with (default record when there is none).
PresentParameters FakeDeviceParameters();
// The cell index a draw's source rectangle stands for on a sheet of frameWidth x frameHeight cells.
int FakeFrameOf(const DrawRecord& draw, int frameWidth, int frameHeight, int columns);

// From now on Present paces the loop like the real device on a display refreshing refreshHz times a
// second, on the fake clock: a present that waits for the retrace moves the clock to the next one, the
// pacing's sleep moves it on to the next frame's time. refreshHz 0 (the start): no pacing.
void FakeSetDisplay(int32_t refreshHz, bool waitsForRetrace);
// Whether the presents still wait for the retrace (a display below 60 Hz is not waited for).
bool FakePresentsWaitForRetrace();

// Everything back to the start: logs, failures, and every object the fake handed out is forgotten.
void ResetFakeGraphics();
