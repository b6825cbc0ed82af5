// SDL2 implementation of the platform layer.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <string_view>

#include "base/data_path.h"
#include "base/instance_lock.h"
#include "base/log.h"
#include "base/utf8.h"
#include "platform/window_mode.h"

namespace tav {

namespace {

volatile std::sig_atomic_t terminateRequested = 0;

extern "C" void OnTerminationSignal(int) { terminateRequested = 1; }

void InstallSignalHandlers() {
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

void RestoreSignalHandlers() {
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
}

void LogSdlError() { LogLine("SDL: %s\n", SDL_GetError()); }

PlatformEvent MakeEvent(PlatformEventType type) {
  PlatformEvent event;
  event.type = type;
  return event;
}

}  // namespace

std::deque<int> Utf8ToLetters(const char* utf8) {
  std::deque<int> codes;
  const std::string_view text(utf8);
  for (size_t pos = 0; pos < text.size();) {
    const uint32_t letter = NextUtf8Letter(text, &pos);
    if (letter != kReplacementLetter) codes.push_back(static_cast<int>(letter));
  }
  return codes;
}

InputKey KeyFromSdl(int keycode, int scancode) {
  switch (keycode) {
    case SDLK_UP: case SDLK_KP_8: return InputKey::kUp;
    case SDLK_DOWN: case SDLK_KP_2: return InputKey::kDown;
    case SDLK_LEFT: case SDLK_KP_4: return InputKey::kLeft;
    case SDLK_RIGHT: case SDLK_KP_6: return InputKey::kRight;
    case SDLK_RETURN: case SDLK_KP_ENTER: return InputKey::kEnter;
    case SDLK_SPACE: return InputKey::kSpace;
    case SDLK_ESCAPE: return InputKey::kEscape;
    case SDLK_TAB: return InputKey::kTab;
    default: break;
  }
  // W A S D by where the keys sit, so that they form the same cross on every layout.
  switch (scancode) {
    case SDL_SCANCODE_W: return InputKey::kW;
    case SDL_SCANCODE_A: return InputKey::kA;
    case SDL_SCANCODE_S: return InputKey::kS;
    case SDL_SCANCODE_D: return InputKey::kD;
    default: return InputKey::kNone;
  }
}

SdlPlatform::~SdlPlatform() { DestroyMainWindow(); }

namespace {

// Whether SDL read the display's modes whole: a desktop mode with a size, found among
// the display's modes. Started while the X server is still settling the screen after
// an earlier session (its output briefly without a mode), SDL reads a mode of 0x0 and
// a made-up desktop size, and every window size and mode switch after that is wrong.
bool DisplayModesLookSound() {
  SDL_DisplayMode desktop;
  if (SDL_GetNumVideoDisplays() < 1 || SDL_GetDesktopDisplayMode(0, &desktop) != 0 ||
      desktop.w <= 0 || desktop.h <= 0) {
    return false;
  }
  for (int i = 0; i < SDL_GetNumDisplayModes(0); ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w <= 0 || mode.h <= 0) return false;
  }
  return true;
}

}  // namespace

bool SdlPlatform::StartVideo() {
  // A few tries, a moment apart; the last start is kept whatever it read.
  constexpr int kTries = 5;
  constexpr uint32_t kPauseMilliseconds = 100;
  for (int attempt = 1;; ++attempt) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return false;
    if (DisplayModesLookSound() || attempt == kTries) return true;
    SDL_DisplayMode desktop = {};
    SDL_GetDesktopDisplayMode(0, &desktop);
    LogLine("SDL: the display's modes were read incompletely (desktop %dx%d, %d modes); "
            "starting the video again\n",
            desktop.w, desktop.h, SDL_GetNumDisplayModes(0));
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
    SDL_Delay(kPauseMilliseconds);
  }
}

void SdlPlatform::CreateMainWindow(const char* caption, int width, int height) {
  gameWidth_ = width;
  gameHeight_ = height;

  // We handle SIGTERM and SIGINT ourselves; SDL's own handlers would turn them into
  // the quit event the close button sends.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  terminateRequested = 0;
  InstallSignalHandlers();
  signalsInstalled_ = true;

  LogLine("SDL_Init()\n");
  if (!StartVideo()) {
    LogSdlError();
    ReportFatal("SDL_Init() failed.");
    return;
  }
  videoStarted_ = true;
  controllers_.Start();

  // The visual is chosen with the window, so the GL buffer layout is asked for here:
  // at least 16-bit colour, double-buffered, no depth or stencil buffer.
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

  // A full-screen window is created at the desktop's size from the start: without a
  // window manager to honour the full-screen request, a smaller window would stay
  // small. A window opens at a whole multiple of the picture, centred.
  windowed_ = ReadWindowedChoice(PlayerFilePath(kWindowModeFile));
  int windowWidth = width, windowHeight = height;
  DesktopSize(&windowWidth, &windowHeight);
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  int position = SDL_WINDOWPOS_UNDEFINED;
  if (windowed_) {
    const WindowSize size = OpeningWindowSize(windowWidth, windowHeight, width, height);
    windowWidth = size.width;
    windowHeight = size.height;
    flags |= SDL_WINDOW_RESIZABLE;
    position = SDL_WINDOWPOS_CENTERED;
  } else {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  }
  LogLine("SDL_CreateWindow()\n");
  window_ = SDL_CreateWindow(caption, position, position, windowWidth, windowHeight, flags);
  if (window_ == nullptr) {
    LogSdlError();
    ReportFatal("SDL_CreateWindow() failed.");
    return;
  }
  // Small enough for any desktop, large enough that the picture stays a picture.
  SDL_SetWindowMinimumSize(window_, width / 4, height / 4);
  // Neither the screen saver nor monitor power-down starts while the game runs.
  SDL_DisableScreenSaver();
  SDL_StartTextInput();
}

void SdlPlatform::ShowMainWindow() {
  if (window_ == nullptr) return;
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  // A freshly shown window is active and focused; not every window manager (or none,
  // under a virtual display) says so, so the pump reports it itself.
  PlatformEvent activate = MakeEvent(PlatformEventType::kActivate);
  activate.minimised = false;
  pending_.push_back(activate);
  pending_.push_back(MakeEvent(PlatformEventType::kSetFocus));
}

void SdlPlatform::DestroyMainWindow() {
  DestroyGLContext();
  if (window_ != nullptr) {
    SDL_StopTextInput();
    SDL_DestroyWindow(window_);
    window_ = nullptr;
  }
  controllers_.Stop();
  if (videoStarted_) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
    videoStarted_ = false;
  }
  if (signalsInstalled_) {
    RestoreSignalHandlers();
    signalsInstalled_ = false;
  }
  pending_.clear();
}

bool SdlPlatform::PollEvent(PlatformEvent* event) {
  if (TakeFrontRequest() && window_ != nullptr) {
    // A second start of the game asked for this window instead of opening its own.
    LogLine("A second start of the game brought this window to the front.\n");
    BringToFront();
  }
  if (terminateRequested) {
    terminateRequested = 0;
    *event = MakeEvent(PlatformEventType::kTerminate);
    return true;
  }
  for (;;) {
    if (!pending_.empty()) {
      *event = pending_.front();
      pending_.pop_front();
      return true;
    }
    if (!videoStarted_) return false;
    SDL_Event sdlEvent;
    if (SDL_PollEvent(&sdlEvent) == 0) {
      // The queue is empty, so the controllers' state is up to date: their presses
      // come last. The next call finds no change and ends the pump.
      controllers_.Poll(SDL_GetTicks(), &pending_);
      if (pending_.empty()) return false;
      continue;
    }
    if (Translate(&sdlEvent, event)) return true;
  }
}

bool SdlPlatform::Translate(const void* rawEvent, PlatformEvent* event) {
  const SDL_Event& e = *static_cast<const SDL_Event*>(rawEvent);
  if (controllers_.HandleEvent(e)) return false;
  switch (e.type) {
    case SDL_QUIT:  // the last window's close button
      *event = MakeEvent(PlatformEventType::kClose);
      return true;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          *event = MakeEvent(PlatformEventType::kClose);
          return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          *event = MakeEvent(PlatformEventType::kSetFocus);
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          *event = MakeEvent(PlatformEventType::kKillFocus);
          return true;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
          *event = MakeEvent(PlatformEventType::kActivate);
          event->minimised = true;
          return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_MAXIMIZED:
          pictureLost_ = true;
          *event = MakeEvent(PlatformEventType::kActivate);
          event->minimised = false;
          return true;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          pictureLost_ = true;
          return false;
        default:
          return false;
      }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      if (e.button.button == SDL_BUTTON_LEFT) {
        *event = MakeEvent(down ? PlatformEventType::kLeftButtonDown
                                : PlatformEventType::kLeftButtonUp);
        return true;
      }
      if (e.button.button == SDL_BUTTON_RIGHT) {
        *event = MakeEvent(down ? PlatformEventType::kRightButtonDown
                                : PlatformEventType::kRightButtonUp);
        return true;
      }
      return false;
    }
    case SDL_TEXTINPUT:
      QueueTextInput(e.text.text);
      if (pending_.empty()) return false;
      *event = pending_.front();
      pending_.pop_front();
      return true;
    case SDL_KEYDOWN: {
      // Alt+Enter and F11 switch between full screen and a window; they type nothing.
      const SDL_Keycode sym = e.key.keysym.sym;
      const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
      const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
      if (sym == SDLK_F11 || (enter && alt)) {
        if (e.key.repeat == 0) SetWindowed(!windowed_);
        return false;
      }
      // Alt+F4 closes the window as its close button does, with or without a window
      // manager to turn it into a close request.
      if (sym == SDLK_F4 && alt) {
        if (e.key.repeat != 0) return false;
        *event = MakeEvent(PlatformEventType::kClose);
        return true;
      }
      const InputKey key = KeyFromSdl(sym, e.key.keysym.scancode);
      if (key != InputKey::kNone) {
        PlatformEvent press = MakeEvent(PlatformEventType::kKeyDown);
        press.keyPress.key = key;
        press.keyPress.shift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
        press.keyPress.repeat = e.key.repeat != 0;
        pending_.push_back(press);
      }
      // Backspace and Enter produce no text input; they arrive as the control
      // characters a Windows character message carries for them, after the key.
      int code = 0;
      if (sym == SDLK_BACKSPACE) code = 8;
      if (enter) code = 13;
      if (code != 0) {
        PlatformEvent typed = MakeEvent(PlatformEventType::kChar);
        typed.charCode = code;
        // Scan code in the low byte, "key was already down" in bit 14.
        typed.keyData = (static_cast<int>(e.key.keysym.scancode) & 0xFF) |
                        (e.key.repeat ? 0x4000 : 0);
        pending_.push_back(typed);
      }
      if (pending_.empty()) return false;
      *event = pending_.front();
      pending_.pop_front();
      return true;
    }
    default:
      return false;
  }
}

void SdlPlatform::QueueTextInput(const char* utf8) {
  for (int code : Utf8ToLetters(utf8)) {
    PlatformEvent event = MakeEvent(PlatformEventType::kChar);
    event.charCode = code;
    pending_.push_back(event);
  }
}

void SdlPlatform::Minimise() {
  if (window_ != nullptr) SDL_MinimizeWindow(window_);
}

void SdlPlatform::BringToFront() {
  if (window_ == nullptr) return;
  // Restoring a window the player has maximised would shrink it; only a minimised
  // one needs it.
  if (!windowed_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0) {
    SDL_RestoreWindow(window_);
  }
  SDL_RaiseWindow(window_);
}

void SdlPlatform::YieldForeground() {
  // A full-screen game covers the desktop, so it gets out of the way; a window
  // already leaves the desktop usable and stays where the player put it.
  if (!windowed_) Minimise();
}

void SdlPlatform::DesktopSize(int* width, int* height) const {
  SDL_DisplayMode desktop;
  const int display = window_ != nullptr ? std::max(SDL_GetWindowDisplayIndex(window_), 0) : 0;
  if (SDL_GetDesktopDisplayMode(display, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
    *width = desktop.w;
    *height = desktop.h;
  }
}

void SdlPlatform::SetWindowed(bool windowed) {
  if (window_ == nullptr || windowed == windowed_) return;
  windowed_ = windowed;
  LogLine(windowed ? "Window mode: window\n" : "Window mode: full screen\n");
  ApplyWindowMode();
  WriteWindowedChoice(PlayerFilePath(kWindowModeFile), windowed_);
}

void SdlPlatform::ApplyWindowMode() {
  int desktopWidth = gameWidth_, desktopHeight = gameHeight_;
  DesktopSize(&desktopWidth, &desktopHeight);
  if (windowed_) {
    if (SDL_SetWindowFullscreen(window_, 0) != 0) LogSdlError();
    const WindowSize size = OpeningWindowSize(desktopWidth, desktopHeight, gameWidth_,
                                              gameHeight_);
    SDL_SetWindowResizable(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, size.width, size.height);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  } else {
    // Sized and placed by hand as well, for desktops without a window manager.
    SDL_SetWindowResizable(window_, SDL_FALSE);
    SDL_SetWindowPosition(window_, 0, 0);
    SDL_SetWindowSize(window_, desktopWidth, desktopHeight);
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) LogSdlError();
  }
}

LetterboxRect SdlPlatform::WindowLetterbox() const {
  int windowWidth = gameWidth_, windowHeight = gameHeight_;
  if (window_ != nullptr) SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
  return ComputeLetterbox(windowWidth, windowHeight, gameWidth_, gameHeight_);
}

void SdlPlatform::GetCursorPos(int* x, int* y) {
  int windowX = 0, windowY = 0;
  SDL_GetMouseState(&windowX, &windowY);
  ScreenToGame(WindowLetterbox(), gameWidth_, gameHeight_, windowX, windowY, x, y);
}

void SdlPlatform::SetCursorPos(int x, int y) {
  if (window_ == nullptr) return;
  int windowX = 0, windowY = 0;
  GameToScreen(WindowLetterbox(), gameWidth_, gameHeight_, x, y, &windowX, &windowY);
  SDL_WarpMouseInWindow(window_, windowX, windowY);
}

void SdlPlatform::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

bool SdlPlatform::IsButtonDown(MouseButton button) {
  const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
  const int sdlButton = button == MouseButton::kLeft ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
  return (buttons & SDL_BUTTON(sdlButton)) != 0;
}

// Text input arrives already composed in the desktop's own layout; there is no
// layout to switch.
void SdlPlatform::ActivateKeyboardLayout(uint32_t /*layoutId*/) {}

void SdlPlatform::Sleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }

void SdlPlatform::EnterDisplayMode(int width, int height, int /*bitsPerPixel*/) {
  // The desktop keeps its own mode; the picture is scaled into it instead.
  gameWidth_ = width;
  gameHeight_ = height;
  if (windowed_) return;  // the player chose a window; it stays one
  LogLine("SDL_SetWindowFullscreen()\n");
  if (window_ == nullptr ||
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    LogSdlError();
    ReportFatal("SDL_SetWindowFullscreen() failed.");
  }
}

// The desktop mode was never changed, so there is nothing to give back.
void SdlPlatform::LeaveDisplayMode() {}

void SdlPlatform::CreateGLContext(int /*bitsPerPixel*/) {
  LogLine("SDL_GL_CreateContext()\n");
  if (window_ != nullptr) glContext_ = SDL_GL_CreateContext(window_);
  if (glContext_ == nullptr) {
    LogSdlError();
    ReportFatal("SDL_GL_CreateContext() failed.");
    return;
  }
  LogLine("SDL_GL_MakeCurrent()\n");
  if (SDL_GL_MakeCurrent(window_, glContext_) != 0) {
    LogSdlError();
    ReportFatal("SDL_GL_MakeCurrent() failed.");
    return;
  }
  // Wait for the vertical retrace where the driver allows it, so that the game does
  // not draw frames nobody sees; without it the game still runs, only faster.
  SDL_GL_SetSwapInterval(1);
  FindCopySubBuffer();
}

void SdlPlatform::FindCopySubBuffer() {
  copySubBuffer_ = nullptr;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "x11") != 0) return;
  // Looked up by name, so that nothing links against GLX directly. A context made
  // through EGL leaves no current GLX context, and then nothing is used.
  using GetCurrentFunction = void* (*)();
  using GetDrawableFunction = unsigned long (*)();
  using QueryContextFunction = int (*)(void*, void*, int, int*);
  using QueryExtensionsFunction = const char* (*)(void*, int);
  const auto getDisplay =
      reinterpret_cast<GetCurrentFunction>(SDL_GL_GetProcAddress("glXGetCurrentDisplay"));
  const auto getContext =
      reinterpret_cast<GetCurrentFunction>(SDL_GL_GetProcAddress("glXGetCurrentContext"));
  const auto getDrawable =
      reinterpret_cast<GetDrawableFunction>(SDL_GL_GetProcAddress("glXGetCurrentDrawable"));
  const auto queryContext =
      reinterpret_cast<QueryContextFunction>(SDL_GL_GetProcAddress("glXQueryContext"));
  const auto queryExtensions =
      reinterpret_cast<QueryExtensionsFunction>(SDL_GL_GetProcAddress("glXQueryExtensionsString"));
  const auto copy =
      reinterpret_cast<CopySubBufferFunction>(SDL_GL_GetProcAddress("glXCopySubBufferMESA"));
  if (!getDisplay || !getContext || !getDrawable || !queryContext || !queryExtensions || !copy) {
    return;
  }
  void* display = getDisplay();
  void* context = getContext();
  const unsigned long drawable = getDrawable();
  constexpr int kGlxScreen = 0x800C;
  int screen = 0;
  if (display == nullptr || context == nullptr || drawable == 0 ||
      queryContext(display, context, kGlxScreen, &screen) != 0) {
    return;
  }
  // GLX hands out entry points for any name; the extension list says what works.
  if (ExtensionListed(queryExtensions(display, screen), "GLX_MESA_copy_sub_buffer")) {
    glxDisplay_ = display;
    glxDrawable_ = drawable;
    copySubBuffer_ = copy;
  }
}

void SdlPlatform::PresentRegion(int x, int y, int width, int height) {
  if (copySubBuffer_ != nullptr && width > 0 && height > 0) {
    copySubBuffer_(glxDisplay_, glxDrawable_, x, y, width, height);
  }
}

void SdlPlatform::DestroyGLContext() {
  copySubBuffer_ = nullptr;
  if (glContext_ == nullptr) return;
  SDL_GL_MakeCurrent(window_, nullptr);
  SDL_GL_DeleteContext(glContext_);
  glContext_ = nullptr;
}

void SdlPlatform::SwapGLBuffers() {
  if (window_ != nullptr) SDL_GL_SwapWindow(window_);
}

GameViewport SdlPlatform::Viewport() {
  int drawableWidth = gameWidth_, drawableHeight = gameHeight_;
  if (window_ != nullptr) SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
  return ToViewport(ComputeLetterbox(drawableWidth, drawableHeight, gameWidth_, gameHeight_),
                    drawableWidth, drawableHeight);
}

void* SdlPlatform::GLProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

bool SdlPlatform::TakePictureLost() {
  const bool lost = pictureLost_;
  pictureLost_ = false;
  return lost;
}

int SdlPlatform::DisplayRefreshRate() {
  SDL_DisplayMode mode;
  if (window_ == nullptr || SDL_GetWindowDisplayMode(window_, &mode) != 0) return 0;
  return mode.refresh_rate;
}

bool SdlPlatform::QueryFrequency(uint64_t* ticksPerSecond) {
  *ticksPerSecond = SDL_GetPerformanceFrequency();
  return *ticksPerSecond != 0;
}

uint64_t SdlPlatform::QueryCounter() { return SDL_GetPerformanceCounter(); }

uint32_t SdlPlatform::MilliTicks() { return SDL_GetTicks(); }

}  // namespace tav
