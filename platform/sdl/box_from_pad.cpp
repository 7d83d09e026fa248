// A message box answered from the pads: a thread reads them while the box stands and sends the box Return.
//
// SDL's message box on X11 runs its own X event loop (in a child process of its own) and never looks at
// the pads, so a player with only a pad could not get past the help box. The box is SDL's and stays so
// (same text, caption, button, and it blocks the game like any modal box); what the pad needs is a way
// to press its OK. While the main thread waits in the box and touches no pad, a thread pumps and reads
// the pads; when a button goes down and up on any of them, it sends the box the key its one button
// answers to, a Return, by XSendEvent to the box's window, found by its title among the windows that
// were not there before. That works with and without a window manager (the key goes to the window, not
// to whatever has the focus). Where there is no X display (Wayland), the box is answered as before.
// Without a window manager the keyboard goes to whatever window the pointer is over, and nothing gives the
// box the focus: the same thread gives it the focus once it shows, so Return answers it wherever the
// pointer is.
#include "platform/sdl/box_from_pad.h"

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sdl/pads_sdl.h"
#include "platform/sdl/window_manager.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

struct PadAnswerer {
  Display* display = nullptr;    // our own connection, used by the thread only while it runs
  std::string caption;           // the box's title
  std::vector<::Window> before;  // windows already titled so before the box (the game's own): not the box
  bool focusBox = false;         // no window manager: the box gets the keyboard from us, once it shows
  std::string backgroundHint;    // what SDL's background-events hint was, to put back ("" unset)
  bool hintWasSet = false;
  // SDL's Ctrl+C and kill handlers, where they were set aside while the box stands.
  bool interruptSetAside = false;
  bool terminateSetAside = false;
  struct sigaction sdlInterrupt = {};
  struct sigaction sdlTerminate = {};
  std::mutex mutex;
  std::condition_variable wake;
  bool stop = false;
  std::thread thread;
};

namespace {

constexpr auto kPadReadEvery = std::chrono::milliseconds(10);

// Xlib's error handler is one for the whole program: a window that goes while we look at it (the box
// closing under the mouse) must not end the game, and errors of SDL's own connection go where they went.
Display* answeringDisplay = nullptr;
XErrorHandler earlierHandler = nullptr;

int IgnoreOurErrors(Display* display, XErrorEvent* error) {
  if (display == answeringDisplay) return 0;
  return earlierHandler != nullptr ? earlierHandler(display, error) : 0;
}

// The window's title, from the modern property or the old one.
bool Titled(Display* display, ::Window window, const std::string& title) {
  for (const char* name : {"_NET_WM_NAME", "WM_NAME"}) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* value = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 256, False, AnyPropertyType, &type,
                           &format, &count, &after, &value) != Success || value == nullptr)
      continue;
    const bool same = format == 8 && std::string(reinterpret_cast<const char*>(value), count) == title;
    XFree(value);
    if (same) return true;
  }
  return false;
}

// Windows titled title under parent, looked for down to depth levels (a window manager puts each client in
// a frame of its own).
void FindTitled(Display* display, ::Window parent, const std::string& title, int depth, std::vector<::Window>& found) {
  ::Window root = None;
  ::Window up = None;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, parent, &root, &up, &children, &count) == 0) return;
  for (unsigned int i = 0; i < count; ++i) {
    if (Titled(display, children[i], title)) {
      found.push_back(children[i]);
    } else if (depth > 0) {
      FindTitled(display, children[i], title, depth - 1, found);
    }
  }
  if (children != nullptr) XFree(children);
}

std::vector<::Window> TitledWindows(Display* display, const std::string& title) {
  std::vector<::Window> found;
  FindTitled(display, DefaultRootWindow(display), title, 2, found);
  return found;
}

// The signal's default action back where a handler catches it (SDL's), the handler kept in saved; a signal
// ignored from the start stays ignored. Whether it was set aside.
bool SetAsideHandler(int signal, struct sigaction& saved) {
  if (sigaction(signal, nullptr, &saved) != 0 || saved.sa_handler == SIG_IGN || saved.sa_handler == SIG_DFL)
    return false;
  struct sigaction fallback = {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  return sigaction(signal, &fallback, nullptr) == 0;
}

// A Return pressed and let go in the box: SDL's box takes the key on its release, after its press.
void SendReturn(Display* display, ::Window box) {
  XEvent event{};
  event.xkey.display = display;
  event.xkey.window = box;
  event.xkey.root = DefaultRootWindow(display);
  event.xkey.subwindow = None;
  event.xkey.time = CurrentTime;
  event.xkey.same_screen = True;
  event.xkey.keycode = XKeysymToKeycode(display, XK_Return);
  event.xkey.type = KeyPress;
  XSendEvent(display, box, False, KeyPressMask, &event);
  event.xkey.type = KeyRelease;
  XSendEvent(display, box, False, KeyReleaseMask, &event);
  XFlush(display);
}

// The box's windows: those titled with its caption that were not there before it.
std::vector<::Window> BoxWindows(PadAnswerer& answerer) {
  std::vector<::Window> boxes;
  for (::Window window : TitledWindows(answerer.display, answerer.caption)) {
    bool old = false;
    for (::Window known : answerer.before) old = old || known == window;
    if (!old) boxes.push_back(window);
  }
  return boxes;
}

void AnswerBox(PadAnswerer& answerer) {
  for (::Window box : BoxWindows(answerer)) SendReturn(answerer.display, box);
}

// Gives the box the keyboard once it is on screen (a window not yet shown cannot take it); whether it did.
bool FocusBox(PadAnswerer& answerer) {
  for (::Window box : BoxWindows(answerer)) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(answerer.display, box, &attributes) == 0 || attributes.map_state != IsViewable) continue;
    XSetInputFocus(answerer.display, box, RevertToPointerRoot, CurrentTime);
    XFlush(answerer.display);
    return true;
  }
  return false;
}

// A button held when the box came (the one that asked for it, say) answers nothing until it is let go.
// The box is answered on the release, as the keyboard answers it, so the game does not find the button
// still held when it goes on.
void ReadPadsUntilStopped(PadAnswerer* answerer) {
  bool allUp = false;    // no answering button held since the box came
  bool pressed = false;  // one went down after that
  std::unique_lock<std::mutex> lock(answerer->mutex);
  while (!answerer->stop) {
    lock.unlock();
    if (answerer->focusBox) answerer->focusBox = !FocusBox(*answerer);
    const bool held = BoxButtonHeldOnAnyPad();
    if (held) {
      pressed = pressed || allUp;
    } else {
      allUp = true;
      if (pressed) AnswerBox(*answerer);
      pressed = false;
    }
    lock.lock();
    answerer->wake.wait_for(lock, kPadReadEvery, [answerer] { return answerer->stop; });
  }
}

}  // namespace

PadAnswerer* StartAnsweringFromPads(const std::string& caption) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  // Pads plugged in before the first box (which comes before the game's own start) are opened here.
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0 && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    XCloseDisplay(display);
    return nullptr;
  }
  auto* answerer = new PadAnswerer;
  answerer->display = display;
  // Starting the pads made SDL turn Ctrl+C and a kill into a quit event, which nobody reads before the game
  // window runs: until then they end the program at once, as they did before.
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    answerer->interruptSetAside = SetAsideHandler(SIGINT, answerer->sdlInterrupt);
    answerer->terminateSetAside = SetAsideHandler(SIGTERM, answerer->sdlTerminate);
  }
  answerer->caption = caption;
  answerer->before = TitledWindows(display, caption);
  answerer->focusBox = !WindowManagerOnDisplay(display);
  // SDL drops pad input while it has a window without the keyboard, and the box has the keyboard now.
  const char* hint = SDL_GetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
  answerer->hintWasSet = hint != nullptr;
  if (hint != nullptr) answerer->backgroundHint = hint;
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  answeringDisplay = display;
  earlierHandler = XSetErrorHandler(IgnoreOurErrors);
  answerer->thread = std::thread(ReadPadsUntilStopped, answerer);
  return answerer;
}

void StopAnsweringFromPads(PadAnswerer* answerer) {
  if (answerer == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(answerer->mutex);
    answerer->stop = true;
  }
  answerer->wake.notify_all();
  answerer->thread.join();
  if (answerer->interruptSetAside) sigaction(SIGINT, &answerer->sdlInterrupt, nullptr);
  if (answerer->terminateSetAside) sigaction(SIGTERM, &answerer->sdlTerminate, nullptr);
  XCloseDisplay(answerer->display);
  XSetErrorHandler(earlierHandler);
  answeringDisplay = nullptr;
  earlierHandler = nullptr;
  if (answerer->hintWasSet) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, answerer->backgroundHint.c_str());
  } else {
    SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
  }
  delete answerer;
}
