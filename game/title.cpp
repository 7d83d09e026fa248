// The title screen: its frame with the four buttons and the cursor, and Escape on both screens.
#include "game/game.h"
#include "platform/directsound.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"
#include "world/asset_table.h"
#include "world/startup.h"

int32_t gameState = Title;
int32_t cursorX = 320;
int32_t cursorY = 240;

namespace {

enum ButtonAction { StartFirstLevel, ResumeLevel, Quit };

// One title button: its sheet (normal frame above highlighted), where it sits, and what a click does.
struct TitleButton {
  Texture* texture;
  const SpriteSheet& sheet;
  Rect rect;
  ButtonAction action;
};

// Escape held right now, read live rather than from the frame's snapshot.
bool EscapeHeld() { return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }

// Whether the cursor's 1 by 1 hit point lies inside rect (right and bottom edges outside).
bool CursorOver(const Rect& rect_mouse, const Rect& rect) {
  Rect rect_ignore;
  return IntersectRect(rect_ignore, rect_mouse, rect);
}

// A click on a button: the step sound, then the button's action.
void Perform(ButtonAction action, WindowHandle window) {
  PlaySoundEffect(stepSound);
  switch (action) {
    case StartFirstLevel:
      LoadLevel("level1.vem");
      gameState = Playing;
      break;
    case ResumeLevel:
      // Setup and Credits have no screens: they go on with whatever level is loaded.
      gameState = Playing;
      break;
    case Quit:
      PostMessageA(window, WM_DESTROY, 0, 0);
      break;
  }
}

}  // namespace

void TitleFrame(WindowHandle window) {
  // Textures are read here, not at load time, because they are null until the start-up ran.
  const TitleButton buttons[] = {
      {playButtonTexture, playButtonSheet, MakeRect(154, 316, 272, 350), StartFirstLevel},
      {setupButtonTexture, setupButtonSheet, MakeRect(144, 390, 282, 424), ResumeLevel},
      {creditsButtonTexture, creditsButtonSheet, MakeRect(343, 316, 511, 350), ResumeLevel},
      {exitButtonTexture, exitButtonSheet, MakeRect(373, 390, 481, 424), Quit},
  };
  const Rect rect_mouse = MakeRect(cursorX, cursorY, cursorX + 1, cursorY + 1);

  // A frame whose scene cannot begin shows nothing and takes no clicks.
  const bool drawn = SUCCEEDED(BeginScene(graphicsDevice));
  if (drawn) {
    const Rect screen_rect = MakeRect(0, 0, 640, 480);
    StretchRect(graphicsDevice, backgroundSurface, &screen_rect, backBuffer, &screen_rect);
    SpriteBegin(spriteBatch, D3DXSPRITE_ALPHABLEND);
    DrawSpriteFrame(titleTexture, 77, 77, 0, titleSheet.frameWidth, titleSheet.frameHeight, titleSheet.framesPerRow);
    for (const TitleButton& button : buttons) {
      const int32_t frame = CursorOver(rect_mouse, button.rect) ? 1 : 0;
      DrawSpriteFrame(button.texture, button.rect.left, button.rect.top, frame, button.sheet.frameWidth,
                      button.sheet.frameHeight, button.sheet.framesPerRow);
    }
    DrawSpriteFrame(arrowTexture, cursorX, cursorY, 0, arrowSheet.frameWidth, arrowSheet.frameHeight,
                    arrowSheet.framesPerRow);
    SpriteEnd(spriteBatch);

    // Clicks act on the held button, so a button acts in every frame the cursor is on it.
    if (mouseState.rgbButtons[0] != 0) {
      for (const TitleButton& button : buttons) {
        if (CursorOver(rect_mouse, button.rect)) Perform(button.action, window);
      }
    }
    EndScene(graphicsDevice);
    Present(graphicsDevice);
  }

  if (EscapeHeld()) {
    PlaySoundEffect(stepSound);
    PostMessageA(window, WM_DESTROY, 0, 0);
  }
}

void EscapeDuringPlay() {
  if (!EscapeHeld()) return;
  // Read live on every pass: leaving on the release keeps that same Escape from also ending the
  // program on the title's next frame. Nothing is drawn meanwhile and the level stays as it is.
  while (EscapeHeld()) {
  }
  gameState = Title;
}
