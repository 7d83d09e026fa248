// The X visual the game window is made with, where the screen's own gives no framebuffer our copy writes.
// Only platform/sdl/ includes this.
#pragma once

// On X, where the screen's default visual gives no window framebuffer our scaled copy writes (depth 30,
// colour maps at depth 8), SDL is told to make the window with a TrueColor visual of 8-bit channels at depth
// 24, else 32, where the screen has one; without one the window keeps the default and the picture falls
// back to OpenGL. A visual asked for in SDL_VIDEO_X11_WINDOW_VISUALID wins. Called before the window is
// made, where the picture goes to its framebuffer first (see PictureOnCardFirst).
void ChooseWindowVisual();
