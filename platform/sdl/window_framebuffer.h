// The game window's framebuffer: SDL's, or on X where SDL has none for the screen's pixels, our own.
// Only platform/sdl/ includes this.
#pragma once
#include <SDL.h>

// The window's framebuffer: SDL's where it gives one; else, on an X screen whose TrueColor pixels of 32
// bits SDL's framebuffer does not take (depth 30, 10-bit channels), our own surface in those pixels, made
// again at each new window size; null where neither exists (SDL's error then says why SDL gave none).
// Called by the picture when it starts and at every present.
SDL_Surface* WindowFramebuffer(SDL_Window* window);

// What was written into the framebuffer shown in the window.
void ShowWindowFramebuffer(SDL_Window* window);

// Our own framebuffer freed (SDL's goes with its window). Called when the picture stops.
void ForgetWindowFramebuffer();
