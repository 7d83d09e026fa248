// The frame's draws kept until its present, composed only when they differ from the frame on screen.
#include "platform/sdl/frame_draws.h"

#include <algorithm>
#include <cstring>

#include "platform/sdl/bitmap_sdl.h"
#include "platform/sdl/device_images.h"
#include "platform/sdl/game_window.h"
#include "platform/sdl/picture_sdl.h"
#include "platform/sdl/test_hooks.h"

namespace {

int64_t framesComposed = 0;  // for the tests (FramesComposed)

// Draws of the frame from something released before its present.
template <typename Of>
void ForgetDraws(std::vector<Draw>& draws, Of of) {
  draws.erase(std::remove_if(draws.begin(), draws.end(), of), draws.end());
}

// The surface's texture, made on first use and refilled when the pixels changed since. The renderer
// normally takes the surface's own format; where it does not, SDL converts on a fresh texture.
SDL_Texture* TextureOf(Surface* surface, SDL_Renderer* renderer) {
  if (surface->texture == nullptr) {
    surface->texture = SDL_CreateTexture(renderer, surface->pixels->format->format, SDL_TEXTUREACCESS_STATIC,
                                         surface->pixels->w, surface->pixels->h);
    surface->textureStale = true;
  }
  if (surface->texture != nullptr && surface->textureStale) {
    Uint32 format = 0;
    SDL_QueryTexture(surface->texture, &format, nullptr, nullptr, nullptr);
    if (format == surface->pixels->format->format) {
      SDL_UpdateTexture(surface->texture, nullptr, surface->pixels->pixels, surface->pixels->pitch);
    } else {
      SDL_DestroyTexture(surface->texture);
      surface->texture = nullptr;
    }
  }
  if (surface->texture == nullptr) surface->texture = SDL_CreateTextureFromSurface(renderer, surface->pixels);
  if (surface->texture == nullptr) return nullptr;
  if (surface->textureStale) {
    SDL_SetTextureBlendMode(surface->texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(surface->texture, SDL_ScaleModeNearest);
    surface->textureStale = false;
  }
  return surface->texture;
}

// Blending is the costly part of drawing, so a sheet without transparent pixels is drawn without it, and
// so is a cell of a translucent sheet that has none.
void DrawOnPicture(SDL_Renderer* renderer, const Draw& draw) {
  if (draw.surface != nullptr) {
    if (SDL_Texture* texture = TextureOf(draw.surface, renderer)) SDL_RenderCopy(renderer, texture, &draw.from, &draw.to);
    return;
  }
  Texture* sheet = draw.sheet;
  if (sheet->opaque != nullptr && !HasTransparent(sheet->transparentBefore, sheet->width, sheet->height, draw.from)) {
    SDL_RenderCopy(renderer, sheet->opaque, &draw.from, &draw.to);
    return;
  }
  const SDL_BlendMode mode = draw.blended != 0 && sheet->translucent ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE;
  if (mode != sheet->mode) {
    SDL_SetTextureBlendMode(sheet->texture, mode);
    sheet->mode = mode;
  }
  SDL_RenderCopy(renderer, sheet->texture, &draw.from, &draw.to);
}

// A window event or a renderer reset that leaves the screen without the picture: it is shown whole again.
int NoteLostPicture(void* data, SDL_Event* event) {
  auto* frame = static_cast<KeptFrame*>(data);
  if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET) frame->repaint = true;
  if (event->type != SDL_WINDOWEVENT || event->window.windowID != SDL_GetWindowID(frame->window->sdlWindow))
    return 0;
  const Uint8 what = event->window.event;
  if (what == SDL_WINDOWEVENT_SHOWN || what == SDL_WINDOWEVENT_EXPOSED || what == SDL_WINDOWEVENT_RESIZED ||
      what == SDL_WINDOWEVENT_SIZE_CHANGED || what == SDL_WINDOWEVENT_MAXIMIZED || what == SDL_WINDOWEVENT_RESTORED)
    frame->repaint = true;
  return 0;
}

}  // namespace

void StartKeepingFrames(KeptFrame& frame, const Window& window) {
  frame.window = &window;
  SDL_AddEventWatch(NoteLostPicture, &frame);
}

void StopKeepingFrames(KeptFrame& frame) { SDL_DelEventWatch(NoteLostPicture, &frame); }

void ForgetShownFrame(KeptFrame& frame) { frame.shownDraws.clear(); }

void ForgetDrawsOf(KeptFrame& frame, const Surface* surface) {
  ForgetDraws(frame.draws, [surface](const Draw& draw) { return draw.surface == surface; });
}

void ForgetDrawsOf(KeptFrame& frame, const Texture* sheet) {
  ForgetDraws(frame.draws, [sheet](const Draw& draw) { return draw.sheet == sheet; });
}

bool ShowFrame(KeptFrame& frame, Picture& picture) {
  SDL_Point size = {0, 0};
  SDL_GetWindowSizeInPixels(picture.window->sdlWindow, &size.x, &size.y);
  const bool lost = frame.repaint || size.x != frame.shownSize.x || size.y != frame.shownSize.y;
  const bool onScreen =
      !lost && frame.draws.size() == frame.shownDraws.size() &&
      std::memcmp(frame.draws.data(), frame.shownDraws.data(), frame.draws.size() * sizeof(Draw)) == 0;
  if (!onScreen) {
    ComposePicture(picture);
    for (const Draw& draw : frame.draws) DrawOnPicture(picture.renderer, draw);
    ShowPicture(picture, frame.repaint);
    ++framesComposed;
    frame.repaint = false;
    frame.shownSize = size;
    frame.shownDraws.swap(frame.draws);
    // An OpenGL driver may draw the first frame after a new size into buffers of the old one (software
    // OpenGL does): the frame after it is shown too.
    if (lost) frame.shownDraws.clear();
  }
  frame.draws.clear();
  return !onScreen;
}

int64_t FramesComposed() { return framesComposed; }
