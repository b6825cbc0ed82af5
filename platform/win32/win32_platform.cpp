// Win32 implementation of the platform layer.
#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "base/data_path.h"
#include "base/log.h"
#include "base/win32/wide_text.h"
#include "platform/window_mode.h"

namespace tav {

namespace {

// The window's styles in the two modes: a bare popup covering the display, or a
// window with a frame the player can move, resize, minimise and maximise.
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kWindowStyle =
    WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// The game's key for a Windows virtual-key code; kNone for keys the game ignores.
InputKey KeyFromVirtualKey(unsigned virtualKey) {
  switch (virtualKey) {
    case VK_UP: return InputKey::kUp;
    case VK_DOWN: return InputKey::kDown;
    case VK_LEFT: return InputKey::kLeft;
    case VK_RIGHT: return InputKey::kRight;
    case VK_RETURN: return InputKey::kEnter;
    case VK_SPACE: return InputKey::kSpace;
    case VK_ESCAPE: return InputKey::kEscape;
    case VK_TAB: return InputKey::kTab;
    case 'W': return InputKey::kW;
    case 'A': return InputKey::kA;
    case 'S': return InputKey::kS;
    case 'D': return InputKey::kD;
    default: return InputKey::kNone;
  }
}

// Set from the console control handler, which runs on a thread of its own.
std::atomic<bool> g_consoleCloseRequested{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
  g_consoleCloseRequested = true;
  // Handled: the game leaves through its own shutdown on the next pump. When the
  // console closes or the session ends, Windows ends the process as soon as the
  // handler returns, so the handler gives the main thread time to save first.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    ::Sleep(3000);
  }
  return TRUE;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* platform = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (platform != nullptr && platform->HandleMessage(message, wParam, lParam, &result)) {
    return result;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {
  // The frame pacer sleeps a few milliseconds at a time. At the system's default
  // timer resolution (often 15.6 ms) a 1 ms Sleep can last a whole tick and 60 Hz
  // frames stutter, so the resolution is raised to 1 ms for the game's lifetime.
  // A high-resolution waitable timer would leave the system timer alone, but it
  // exists only from Windows 10 1803 on; timeBeginPeriod works on every Windows.
  TIMECAPS caps = {};
  if (timeGetDevCaps(&caps, sizeof(caps)) == MMSYSERR_NOERROR) {
    const UINT period = caps.wPeriodMin > 1 ? caps.wPeriodMin : 1;
    if (timeBeginPeriod(period) == TIMERR_NOERROR) timerPeriod_ = period;
  }
}

Win32Platform::~Win32Platform() {
  DestroyMainWindow();
  if (timerPeriod_ != 0) timeEndPeriod(timerPeriod_);
}

void Win32Platform::CreateMainWindow(const char* caption, int width, int height) {
  gameWidth_ = width;
  gameHeight_ = height;
  g_consoleCloseRequested = false;
  consoleHandlerInstalled_ = SetConsoleCtrlHandler(OnConsoleControl, TRUE) != 0;

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(kWin32IconResource));
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWin32WindowClass;
  if (RegisterClassExW(&windowClass) == 0) {
    ReportFatal("RegisterClassEx() failed.");
    return;
  }
  classRegistered_ = true;

  // Full screen unless the player last chose a window; PlaceWindow then gives a
  // window its opening size and place.
  windowed_ = ReadWindowedChoice(PlayerFilePath(kWindowModeFile));
  window_ = CreateWindowExW(0, kWin32WindowClass, WideFromUtf8(caption).c_str(),
                            windowed_ ? kWindowStyle : kFullScreenStyle, 0, 0,
                            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                            nullptr, nullptr, instance_, this);
  if (window_ == nullptr) {
    ReportFatal("CreateWindow() failed.");
    return;
  }
  if (windowed_) PlaceWindow();
}

void Win32Platform::ShowMainWindow() {
  if (window_ == nullptr) return;
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  SetForegroundWindow(window_);
  SetFocus(window_);
}

void Win32Platform::DestroyMainWindow() {
  gl_.Destroy();
  gl_.LeaveDisplayMode();
  if (cursorHidden_) ShowCursor(true);
  if (window_ != nullptr) {
    DestroyWindow(window_);
    window_ = nullptr;
  }
  if (classRegistered_) {
    UnregisterClassW(kWin32WindowClass, instance_);
    classRegistered_ = false;
  }
  if (consoleHandlerInstalled_) {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    consoleHandlerInstalled_ = false;
  }
  pending_.clear();
}

void Win32Platform::Push(PlatformEventType type) {
  PlatformEvent event;
  event.type = type;
  pending_.push_back(event);
}

bool Win32Platform::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                  LRESULT* result) {
  *result = 0;
  switch (message) {
    case WM_ACTIVATE: {
      PlatformEvent event;
      event.type = PlatformEventType::kActivate;
      event.minimised = HIWORD(wParam) != 0;
      pending_.push_back(event);
      // The OpenGL back-end's display mode is the game's only while it is in front.
      if (LOWORD(wParam) == WA_INACTIVE || event.minimised) {
        gl_.SuspendDisplayMode();
      } else {
        gl_.ResumeDisplayMode();
      }
      return true;
    }
    case WM_SETFOCUS:
      Push(PlatformEventType::kSetFocus);
      return true;
    case WM_KILLFOCUS:
      Push(PlatformEventType::kKillFocus);
      return true;
    case WM_CLOSE:
      // The close button and Alt+F4. The window stays; the game leaves as its Exit
      // does, through its own shutdown, which saves the player's files and then
      // destroys the window.
      Push(PlatformEventType::kClose);
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // Alt+Enter (Alt is bit 29 of a system key's lParam) and F11 switch between
      // full screen and a window; they press nothing in the game.
      const bool altHeld = message == WM_SYSKEYDOWN && (lParam & 0x20000000) != 0;
      if (wParam == VK_F11 || (wParam == VK_RETURN && altHeld)) {
        if ((lParam & 0x40000000) == 0) SetWindowed(!windowed_);
        return true;
      }
      const InputKey key = KeyFromVirtualKey(static_cast<unsigned>(wParam));
      if (key != InputKey::kNone) {
        PlatformEvent event;
        event.type = PlatformEventType::kKeyDown;
        event.keyPress.key = key;
        event.keyPress.shift = GetKeyState(VK_SHIFT) < 0;
        event.keyPress.repeat = (lParam & 0x40000000) != 0;
        pending_.push_back(event);
      }
      return false;  // the system keeps its own keys (Alt+F4 becomes WM_CLOSE)
    }
    case WM_SYSCHAR:
      // The character of Alt+Enter: the system would only beep at it.
      return wParam == VK_RETURN;
    case WM_GETMINMAXINFO: {
      // A window stays large enough that the picture stays a picture.
      if (!windowed_) return false;
      RECT smallest = {0, 0, gameWidth_ / 4, gameHeight_ / 4};
      AdjustWindowRectEx(&smallest, kWindowStyle, FALSE, 0);
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize.x = smallest.right - smallest.left;
      limits->ptMinTrackSize.y = smallest.bottom - smallest.top;
      return true;
    }
    case WM_QUERYENDSESSION:
      Push(PlatformEventType::kTerminate);
      *result = TRUE;
      return true;
    case WM_QUIT:
      return true;
    case WM_CHAR: {
      // A Unicode window gets UTF-16 units. Every letter of the basic plane is passed
      // on (the font draws the ones it lacks as their plain letter or '?'); a letter
      // beyond it arrives as two surrogate halves and becomes one '?', never lost.
      if (wParam >= 0xDC00 && wParam <= 0xDFFF) return true;
      const int code = (wParam >= 0xD800 && wParam <= 0xDBFF) ? '?' : static_cast<int>(wParam);
      PlatformEvent event;
      event.type = PlatformEventType::kChar;
      event.charCode = code;
      event.keyData = static_cast<int>(static_cast<LONG>(lParam) >> 16);
      pending_.push_back(event);
      return true;
    }
    case WM_LBUTTONDOWN:
      Push(PlatformEventType::kLeftButtonDown);
      return true;
    case WM_LBUTTONUP:
      Push(PlatformEventType::kLeftButtonUp);
      return true;
    case WM_RBUTTONDOWN:
      Push(PlatformEventType::kRightButtonDown);
      return true;
    case WM_RBUTTONUP:
      Push(PlatformEventType::kRightButtonUp);
      return true;
    case WM_SYSCOMMAND:
      // Neither the screen saver nor monitor power-down starts while the game runs.
      return (wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER;
    default:
      return false;
  }
}

bool Win32Platform::PollEvent(PlatformEvent* event) {
  if (g_consoleCloseRequested.exchange(false)) Push(PlatformEventType::kTerminate);
  // Messages are dispatched one at a time; each may queue events for the loop.
  while (pending_.empty()) {
    MSG message;
    if (!PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) {
      // The messages are all in: the controllers' presses come last.
      pads_.Poll(GetTickCount(), &pending_);
      if (pending_.empty()) return false;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  *event = pending_.front();
  pending_.pop_front();
  return true;
}

void Win32Platform::Minimise() {
  if (window_ == nullptr) return;
  ShowWindow(window_, SW_SHOWMINIMIZED);
  SetActiveWindow(GetDesktopWindow());
  SetForegroundWindow(GetDesktopWindow());
}

void Win32Platform::YieldForeground() {
  // A full-screen game covers the desktop, so it gets out of the way; a window
  // already leaves the desktop usable and stays where the player put it.
  if (!windowed_) Minimise();
}

void Win32Platform::SetWindowed(bool windowed) {
  if (window_ == nullptr || windowed == windowed_) return;
  windowed_ = windowed;
  LogLine(windowed ? "Window mode: window\n" : "Window mode: full screen\n");
  // The OpenGL back-end's display mode belongs to full screen: a window shows on the
  // desktop's own mode. Direct3D switches its device itself in its next frame.
  if (glModeBits_ != 0) {
    if (windowed) {
      gl_.LeaveDisplayMode();
    } else if (!gl_.TryEnterDisplayMode(gameWidth_, gameHeight_, glModeBits_)) {
      LogLine("WARNING: ChangeDisplaySettings() failed; full screen on the desktop's mode.\n");
    }
  }
  PlaceWindow();
  WriteWindowedChoice(PlayerFilePath(kWindowModeFile), windowed_);
}

void Win32Platform::PlaceWindow() {
  if (window_ == nullptr) return;
  const DWORD style = windowed_ ? kWindowStyle : kFullScreenStyle;
  SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(style));
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  constexpr UINT kFlags = SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_SHOWWINDOW;
  if (!windowed_) {
    SetWindowPos(window_, HWND_TOP, 0, 0, screenWidth, screenHeight, kFlags);
    return;
  }
  // The picture's opening size inside the frame, the frame kept inside the work
  // area (on a small desktop the client area gives way; the letterbox takes up the
  // difference), centred.
  const WindowSize opening = OpeningWindowSize(screenWidth, screenHeight, gameWidth_,
                                               gameHeight_);
  RECT work = {0, 0, screenWidth, screenHeight};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame = {0, 0, opening.width, opening.height};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int workWidth = work.right - work.left;
  const int workHeight = work.bottom - work.top;
  const int width = std::min<int>(frame.right - frame.left, workWidth);
  const int height = std::min<int>(frame.bottom - frame.top, workHeight);
  SetWindowPos(window_, HWND_NOTOPMOST, work.left + (workWidth - width) / 2,
               work.top + (workHeight - height) / 2, width, height, kFlags);
}

void Win32Platform::BringToFront() {
  if (window_ == nullptr) return;
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  SetActiveWindow(window_);
  SetForegroundWindow(window_);
}

LetterboxRect Win32Platform::ClientLetterbox() const {
  RECT client = {0, 0, gameWidth_, gameHeight_};
  if (window_ != nullptr) GetClientRect(window_, &client);
  return ComputeLetterbox(client.right - client.left, client.bottom - client.top, gameWidth_,
                          gameHeight_);
}

void Win32Platform::GetCursorPos(int* x, int* y) {
  POINT point = {0, 0};
  ::GetCursorPos(&point);
  if (window_ != nullptr) ScreenToClient(window_, &point);
  ScreenToGame(ClientLetterbox(), gameWidth_, gameHeight_, point.x, point.y, x, y);
}

void Win32Platform::SetCursorPos(int x, int y) {
  if (window_ == nullptr) return;
  POINT point = {0, 0};
  int clientX = 0, clientY = 0;
  GameToScreen(ClientLetterbox(), gameWidth_, gameHeight_, x, y, &clientX, &clientY);
  point.x = clientX;
  point.y = clientY;
  ClientToScreen(window_, &point);
  ::SetCursorPos(point.x, point.y);
}

void Win32Platform::ShowCursor(bool show) {
  // The system keeps a display counter; only change it when the state changes, so
  // that one show always undoes one hide.
  if (show == !cursorHidden_) return;
  ::ShowCursor(show ? TRUE : FALSE);
  cursorHidden_ = !show;
}

bool Win32Platform::IsButtonDown(MouseButton button) {
  // The physical buttons are swapped for left-handed players; the game means the
  // logical ones, as the button messages do.
  const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
  int key = button == MouseButton::kLeft ? VK_LBUTTON : VK_RBUTTON;
  if (swapped) key = key == VK_LBUTTON ? VK_RBUTTON : VK_LBUTTON;
  return (GetAsyncKeyState(key) & 0x8000) != 0;
}

void Win32Platform::ActivateKeyboardLayout(uint32_t layoutId) {
  // Only a layout the player already has is switched to: loading one would add it
  // to the player's own list of layouts.
  const WORD language = LOWORD(layoutId);
  if (LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0))) == language) return;
  HKL layouts[64];
  const int count = GetKeyboardLayoutList(64, layouts);
  for (int i = 0; i < count; ++i) {
    if (LOWORD(reinterpret_cast<UINT_PTR>(layouts[i])) == language) {
      ::ActivateKeyboardLayout(layouts[i], 0);
      return;
    }
  }
}

void Win32Platform::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

void Win32Platform::EnterDisplayMode(int width, int height, int bitsPerPixel) {
  gameWidth_ = width;
  gameHeight_ = height;
  glModeBits_ = bitsPerPixel;
  // A window keeps the desktop's mode; the picture is scaled into it.
  if (windowed_) return;
  gl_.EnterDisplayMode(width, height, bitsPerPixel);
  // The window was made at the desktop's old size; it covers the new mode exactly.
  PlaceWindow();
}

void Win32Platform::LeaveDisplayMode() {
  glModeBits_ = 0;
  gl_.LeaveDisplayMode();
}

void Win32Platform::CreateGLContext(int bitsPerPixel) { gl_.Create(window_, bitsPerPixel); }

void Win32Platform::DestroyGLContext() { gl_.Destroy(); }

void Win32Platform::SwapGLBuffers() { gl_.SwapBuffers(); }

void* Win32Platform::GLProcAddress(const char* name) {
  // Some drivers answer 1, 2, 3 or -1 instead of null for a function they lack.
  const auto address = reinterpret_cast<intptr_t>(wglGetProcAddress(name));
  if (address == 0 || address == 1 || address == 2 || address == 3 || address == -1) {
    return nullptr;
  }
  return reinterpret_cast<void*>(address);
}

GameViewport Win32Platform::Viewport() {
  RECT client = {0, 0, gameWidth_, gameHeight_};
  if (window_ != nullptr) GetClientRect(window_, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  return ToViewport(ComputeLetterbox(width, height, gameWidth_, gameHeight_), width, height);
}

int Win32Platform::DisplayRefreshRate() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof(mode);
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
  // 0 and 1 stand for the hardware's default rate, which Windows does not tell.
  return mode.dmDisplayFrequency > 1 ? static_cast<int>(mode.dmDisplayFrequency) : 0;
}

bool Win32Platform::QueryFrequency(uint64_t* ticksPerSecond) {
  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return false;
  *ticksPerSecond = static_cast<uint64_t>(frequency.QuadPart);
  return true;
}

uint64_t Win32Platform::QueryCounter() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<uint64_t>(counter.QuadPart);
}

uint32_t Win32Platform::MilliTicks() { return timeGetTime(); }

}  // namespace tav
