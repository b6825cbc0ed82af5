// The SDL platform on a real window inside a virtual X server: how SDL's events
// become the game's, the cursor mapped through the letterbox, and termination
// signals.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <vector>

#include "base/log.h"
#include "platform/window_mode.h"

namespace tav {
namespace {

class SdlPlatformTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto directory = std::filesystem::path(TAV_BINARY_DIR) / "tests" / "sdl_platform";
    std::filesystem::create_directories(directory);
    std::filesystem::create_directories(directory / "Data");
    std::filesystem::remove(directory / "Data" / "Window.ini");
    LogStart(directory.string());
    SetErrorsRaise(true);
  }

  void SetUp() override {
    platform_.CreateMainWindow("Tavrolith", 800, 600);
    platform_.ShowMainWindow();
  }
  void TearDown() override { platform_.DestroyMainWindow(); }

  std::vector<PlatformEvent> Drain() {
    std::vector<PlatformEvent> events;
    PlatformEvent event;
    while (platform_.PollEvent(&event)) events.push_back(event);
    return events;
  }

  void PushWindowEvent(Uint8 which) {
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.event = which;
    e.window.windowID = SDL_GetWindowID(platform_.Window());
    SDL_PushEvent(&e);
  }

  void PushButton(Uint32 type, Uint8 button) {
    SDL_Event e = {};
    e.type = type;
    e.button.button = button;
    e.button.windowID = SDL_GetWindowID(platform_.Window());
    SDL_PushEvent(&e);
  }

  void PushKey(SDL_Keycode key, Uint16 modifiers = KMOD_NONE) {
    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    e.key.keysym.mod = modifiers;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&e);
  }

  SdlPlatform platform_;
};

bool Contains(const std::vector<PlatformEvent>& events, PlatformEventType type) {
  for (const PlatformEvent& event : events) {
    if (event.type == type) return true;
  }
  return false;
}

TEST_F(SdlPlatformTest, ShownWindowIsActiveAndFocused) {
  const std::vector<PlatformEvent> events = Drain();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0].type, PlatformEventType::kActivate);
  EXPECT_FALSE(events[0].minimised);
  EXPECT_EQ(events[1].type, PlatformEventType::kSetFocus);
  int width = 0, height = 0;
  SDL_GetWindowSize(platform_.Window(), &width, &height);
  SDL_DisplayMode desktop;
  SDL_GetDesktopDisplayMode(0, &desktop);
  EXPECT_EQ(width, desktop.w);
  EXPECT_EQ(height, desktop.h);
  EXPECT_STREQ(SDL_GetWindowTitle(platform_.Window()), "Tavrolith");
}

TEST_F(SdlPlatformTest, ButtonsTextAndKeysBecomeTheGamesEvents) {
  Drain();
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);  // not used by the game
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
  SDL_Event text = {};
  text.type = SDL_TEXTINPUT;
  SDL_strlcpy(text.text.text, "A\xC3\xA9\xE2\x82\xAC", sizeof text.text.text);
  SDL_PushEvent(&text);
  PushKey(SDLK_BACKSPACE);
  PushKey(SDLK_RETURN);
  PushKey(SDLK_LSHIFT);  // no character, no key the game uses
  PushKey(SDLK_SPACE, KMOD_LSHIFT);
  PushKey(SDLK_LEFT);
  PushKey(SDLK_w);

  std::vector<PlatformEvent> events;
  for (const PlatformEvent& event : Drain()) {
    if (event.type != PlatformEventType::kActivate && event.type != PlatformEventType::kSetFocus &&
        event.type != PlatformEventType::kKillFocus) {
      events.push_back(event);
    }
  }
  const std::vector<PlatformEventType> types = {
      PlatformEventType::kLeftButtonDown, PlatformEventType::kLeftButtonUp,
      PlatformEventType::kRightButtonDown, PlatformEventType::kRightButtonUp,
      PlatformEventType::kChar, PlatformEventType::kChar, PlatformEventType::kChar,
      PlatformEventType::kChar, PlatformEventType::kKeyDown, PlatformEventType::kChar,
      PlatformEventType::kKeyDown, PlatformEventType::kKeyDown, PlatformEventType::kKeyDown};
  ASSERT_EQ(events.size(), types.size());
  for (size_t i = 0; i < types.size(); ++i) EXPECT_EQ(events[i].type, types[i]) << i;
  // Every typed letter arrives, the euro sign too (the font draws what it lacks as '?').
  EXPECT_EQ(events[4].charCode, 'A');
  EXPECT_EQ(events[5].charCode, 0xE9);
  EXPECT_EQ(events[6].charCode, 0x20AC);
  EXPECT_EQ(events[7].charCode, 8);
  // Enter is a key for the focus first, then the character that ends a name.
  EXPECT_EQ(events[8].keyPress.key, InputKey::kEnter);
  EXPECT_EQ(events[9].charCode, 13);
  EXPECT_EQ(events[10].keyPress.key, InputKey::kSpace);
  EXPECT_TRUE(events[10].keyPress.shift);
  EXPECT_EQ(events[11].keyPress.key, InputKey::kLeft);
  EXPECT_FALSE(events[11].keyPress.shift);
  EXPECT_EQ(events[12].keyPress.key, InputKey::kW);
}

TEST_F(SdlPlatformTest, AltF4IsTheCloseButton) {
  Drain();
  PushKey(SDLK_F4);  // alone it is no key of the game's
  PushKey(SDLK_F4, KMOD_LALT);
  const std::vector<PlatformEvent> events = Drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, PlatformEventType::kClose);
}

TEST_F(SdlPlatformTest, CloseRequestsAreReportedAsCloseAndMinimisingAsDeactivation) {
  Drain();
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit = {};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  const std::vector<PlatformEvent> events = Drain();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].type, PlatformEventType::kClose);
  EXPECT_EQ(events[1].type, PlatformEventType::kClose);
  EXPECT_EQ(events[2].type, PlatformEventType::kActivate);
  EXPECT_TRUE(events[2].minimised);
  EXPECT_EQ(events[3].type, PlatformEventType::kKillFocus);
}

// Only the key presses among the events.
std::vector<InputKey> KeysOf(const std::vector<PlatformEvent>& events) {
  std::vector<InputKey> keys;
  for (const PlatformEvent& event : events) {
    if (event.type == PlatformEventType::kKeyDown) keys.push_back(event.keyPress.key);
  }
  return keys;
}

// A virtual game controller plugged in while the game runs: its buttons and stick
// become the game's keys, and pulling it out leaves nothing held.
TEST_F(SdlPlatformTest, AGameControllerPluggedInLaterPlaysAndCanBePulledOut) {
  Drain();
  const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                               SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(device, 0) << SDL_GetError();
  SDL_Joystick* joystick = SDL_JoystickOpen(device);
  ASSERT_NE(joystick, nullptr) << SDL_GetError();
  Drain();
  EXPECT_EQ(platform_.Controllers().OpenCount(), 1u);

  auto press = [&](SDL_GameControllerButton button) {
    SDL_JoystickSetVirtualButton(joystick, button, 1);
    std::vector<InputKey> keys = KeysOf(Drain());
    SDL_JoystickSetVirtualButton(joystick, button, 0);
    Drain();
    return keys;
  };
  EXPECT_EQ(press(SDL_CONTROLLER_BUTTON_A), std::vector<InputKey>{InputKey::kPadA});
  EXPECT_EQ(press(SDL_CONTROLLER_BUTTON_B), std::vector<InputKey>{InputKey::kPadB});
  EXPECT_EQ(press(SDL_CONTROLLER_BUTTON_START), std::vector<InputKey>{InputKey::kPadStart});
  EXPECT_EQ(press(SDL_CONTROLLER_BUTTON_BACK), std::vector<InputKey>{InputKey::kPadBack});
  EXPECT_EQ(press(SDL_CONTROLLER_BUTTON_DPAD_UP), std::vector<InputKey>{InputKey::kUp});

  // The stick pushed up (SDL's y grows downwards) moves up; its repeat is timed by
  // PadKeys and tested there on a fake clock.
  SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, -30000);
  EXPECT_EQ(KeysOf(Drain()), std::vector<InputKey>{InputKey::kUp});

  SDL_JoystickClose(joystick);
  ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
  Drain();
  EXPECT_EQ(platform_.Controllers().OpenCount(), 0u);
  // Plugged in again, it is opened again.
  const int again = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                              SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(again, 0) << SDL_GetError();
  Drain();
  EXPECT_EQ(platform_.Controllers().OpenCount(), 1u);
  SDL_JoystickDetachVirtual(again);
  Drain();
}

TEST_F(SdlPlatformTest, TerminationSignalsBecomeOneTerminateEvent) {
  Drain();
  std::raise(SIGTERM);  // handled: the process goes on
  std::raise(SIGINT);
  const std::vector<PlatformEvent> events = Drain();
  EXPECT_TRUE(Contains(events, PlatformEventType::kTerminate));
  EXPECT_FALSE(Contains(Drain(), PlatformEventType::kTerminate));
}

TEST_F(SdlPlatformTest, CursorIsMappedThroughTheLetterbox) {
  Drain();
  for (const auto& [gameX, gameY] : {std::pair{400, 300}, {0, 0}, {799, 599}, {123, 456}}) {
    platform_.SetCursorPos(gameX, gameY);
    for (int i = 0; i < 20; ++i) {
      Drain();
      SDL_Delay(5);
    }
    int x = -1, y = -1;
    platform_.GetCursorPos(&x, &y);
    EXPECT_EQ(x, gameX);
    EXPECT_EQ(y, gameY);
  }
  EXPECT_FALSE(platform_.IsButtonDown(MouseButton::kLeft));
}

// Whether the window reaches this size once the X server has answered; a loaded
// machine may take a while, so it waits for the size rather than for a time.
bool WindowReachesSize(SdlPlatform& platform, int width, int height) {
  for (int i = 0; i < 500; ++i) {
    PlatformEvent ignored;
    while (platform.PollEvent(&ignored)) {
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(platform.Window(), &w, &h);
    if (w == width && h == height) return true;
    SDL_Delay(10);
  }
  int w = 0, h = 0;
  SDL_GetWindowSize(platform.Window(), &w, &h);
  ADD_FAILURE() << "the window stays " << w << "x" << h << " instead of " << width << "x"
                << height;
  return false;
}

TEST_F(SdlPlatformTest, F11AndAltEnterSwitchToAResizableWindowAndBackAndAreRemembered) {
  const auto choiceFile =
      std::filesystem::path(TAV_BINARY_DIR) / "tests" / "sdl_platform" / "Data" / "Window.ini";
  SDL_DisplayMode desktop;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
  Drain();
  ASSERT_FALSE(platform_.Windowed());

  PushKey(SDLK_F11);
  EXPECT_FALSE(Contains(Drain(), PlatformEventType::kChar));
  EXPECT_TRUE(platform_.Windowed());
  EXPECT_EQ(SDL_GetWindowFlags(platform_.Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  EXPECT_NE(SDL_GetWindowFlags(platform_.Window()) & SDL_WINDOW_RESIZABLE, 0u);
  const WindowSize opening = OpeningWindowSize(desktop.w, desktop.h, 800, 600);
  EXPECT_TRUE(WindowReachesSize(platform_, opening.width, opening.height));
  EXPECT_TRUE(ReadWindowedChoice(choiceFile.string()));
  // Losing the focus in a window leaves it where it is.
  platform_.YieldForeground();
  EXPECT_EQ(SDL_GetWindowFlags(platform_.Window()) & SDL_WINDOW_MINIMIZED, 0u);

  // The next run opens as a window.
  platform_.DestroyMainWindow();
  platform_.CreateMainWindow("Tavrolith", 800, 600);
  platform_.ShowMainWindow();
  EXPECT_TRUE(platform_.Windowed());

  PushKey(SDLK_RETURN, KMOD_LALT);  // Alt+Enter types no Enter
  EXPECT_FALSE(Contains(Drain(), PlatformEventType::kChar));
  EXPECT_FALSE(platform_.Windowed());
  EXPECT_TRUE(WindowReachesSize(platform_, desktop.w, desktop.h));
  EXPECT_FALSE(ReadWindowedChoice(choiceFile.string()));
}

TEST_F(SdlPlatformTest, ClockRunsForward) {
  uint64_t frequency = 0;
  ASSERT_TRUE(platform_.QueryFrequency(&frequency));
  const uint64_t before = platform_.QueryCounter();
  const uint32_t ticksBefore = platform_.MilliTicks();
  platform_.Sleep(20);
  EXPECT_GE(platform_.QueryCounter() - before, frequency / 100);
  EXPECT_GE(platform_.MilliTicks() - ticksBefore, 15u);
}

}  // namespace
}  // namespace tav
