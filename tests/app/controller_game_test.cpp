// The real game on the Linux entry (SDL2 window, OpenGL, SDL2_mixer's dummy driver)
// inside a virtual X server, played with nothing but SDL's virtual game controller:
// from the menu into Classic Mode level 1, the cursor moved and an arrow turned,
// Start to pause and resume, Back to pause, down to "Main Menu", and the menu's Exit.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application_controller.h"
#include "app/sdl_entry.h"
#include "game/board.h"
#include "game/piece.h"
#include "gui/window_manager.h"
#include "screens/game_window.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

// One step of the script: while `finished` does not hold, `button` is pressed whenever
// the game is `ready` for it.
struct Step {
  const char* what;
  std::function<bool()> finished;
  std::function<bool()> ready;
  std::function<SDL_GameControllerButton()> button;
};

// The game's application with a player holding a controller: after each frame the
// step's button is pressed when the game is ready for it and let go two frames later.
class ControllerPlayer : public Application {
 public:
  ControllerPlayer() : game_(CreateGameApplication()) {}

  std::vector<Step> steps;
  size_t done = 0;
  int frames = 0;
  std::string failure;

  void SetUp() override {
    game_->SetUp();
    device_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0);
    joystick_ = device_ >= 0 ? SDL_JoystickOpen(device_) : nullptr;
    if (joystick_ == nullptr) failure = std::string("no virtual controller: ") + SDL_GetError();
  }
  void FrameStep() override {
    game_->FrameStep();
    ++frames;
    if (joystick_ == nullptr || frames > kFrameLimit) {
      if (failure.empty() && done < steps.size()) failure = std::string("stuck at: ") + steps[done].what;
      RequestQuit();
    }
    if (held_ >= 0) {
      if (frames < releaseFrame_) return;
      SDL_JoystickSetVirtualButton(joystick_, held_, 0);
      held_ = -1;
      nextFrame_ = frames + 3;
    }
    while (done < steps.size() && steps[done].finished()) ++done;
    if (done < steps.size() && frames >= nextFrame_ && steps[done].ready()) {
      held_ = steps[done].button();
      SDL_JoystickSetVirtualButton(joystick_, held_, 1);
      releaseFrame_ = frames + 2;
    }
  }
  void TearDown() override {
    game_->TearDown();
    if (joystick_ != nullptr) SDL_JoystickClose(joystick_);
    if (device_ >= 0) SDL_JoystickDetachVirtual(device_);
  }
  void OnLeftButtonDown() override { game_->OnLeftButtonDown(); }
  void OnLeftButtonUp() override { game_->OnLeftButtonUp(); }
  void OnRightButtonDown() override { game_->OnRightButtonDown(); }
  void OnRightButtonUp() override { game_->OnRightButtonUp(); }
  void OnChar(int code, int keyData) override { game_->OnChar(code, keyData); }
  void OnKey(const KeyPress& press) override { game_->OnKey(press); }
  void OnCloseRequest() override { game_->OnCloseRequest(); }

 private:
  static constexpr int kFrameLimit = 6000;
  std::unique_ptr<Application> game_;
  int device_ = -1;
  SDL_Joystick* joystick_ = nullptr;
  int held_ = -1;
  int releaseFrame_ = 0;
  int nextFrame_ = 0;
};

WindowManager& Windows() { return GetWindowManager(); }

// The window the keys go to now has this name.
bool KeysGoTo(const char* name) {
  const Window* window = Windows().KeyWindow();
  return window != nullptr && window->Name() == name;
}

bool Focused(const char* window, const char* control) {
  const Control* focused = Windows().FindWindow(window)->FocusedControl();
  return KeysGoTo(window) && focused != nullptr && focused->Name() == control;
}

GameWindow& Game() { return *dynamic_cast<GameWindow*>(Windows().FindWindow("GameWindow")); }

int DirectionUnderCursor() {
  const Piece* piece = Game().GetBoard()->PieceAt(Game().CursorColumn(), Game().CursorRow());
  return piece != nullptr ? piece->Direction() : -1;
}

TEST(ControllerGameTest, TheWholeGameCanBePlayedWithAController) {
  const fs::path data = TAV_GAME_DATA_DIR;
  for (const char* name : {"data.pkg", "Textures.ini", "Levels.ini", "Audio/Music.ogg"}) {
    if (!fs::exists(data / name)) GTEST_SKIP() << "the built game has no " << name;
  }
  const fs::path folder = fs::path(TAV_BINARY_DIR) / "tests" / "controller_game";
  fs::remove_all(folder);
  fs::create_directories(folder / "Data");
  for (const char* name : {"data.pkg", "Textures.ini", "Levels.ini", "Audio"}) {
    fs::create_symlink(data / name, folder / "Data" / name);
  }
  // The test's controller is virtual; the window need not have the focus for it.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");

  ControllerPlayer player;
  using Button = SDL_GameControllerButton;
  const auto press = [](Button button) { return [button] { return button; }; };
  const auto keysGoTo = [](const char* name) { return [name] { return KeysGoTo(name); }; };
  int before = -1;
  int after = -1;
  player.steps = {
      {"Classic Mode's start focused", [] { return Focused("MainWindow", "ButtonStartClassic"); },
       keysGoTo("MainWindow"), press(SDL_CONTROLLER_BUTTON_A)},
      {"in the level", [] { return KeysGoTo("GameWindow") && Game().CursorShown(); },
       [] { return Focused("MainWindow", "ButtonStartClassic"); }, press(SDL_CONTROLLER_BUTTON_A)},
      {"the cursor moved left", [] { return Game().CursorColumn() == 4; },
       keysGoTo("GameWindow"), press(SDL_CONTROLLER_BUTTON_DPAD_LEFT)},
      {"the cursor moved up", [] { return Game().CursorRow() == 6; }, keysGoTo("GameWindow"),
       press(SDL_CONTROLLER_BUTTON_DPAD_UP)},
      {"the level's clock started",
       [&] {
         const bool started = Game().GetBoard()->IsClockStarted();
         if (started && before < 0) before = DirectionUnderCursor();
         return started;
       },
       keysGoTo("GameWindow"), press(SDL_CONTROLLER_BUTTON_A)},
      {"the arrow turned",
       [&] {
         after = DirectionUnderCursor();
         return after != before;
       },
       keysGoTo("GameWindow"), press(SDL_CONTROLLER_BUTTON_A)},
      {"paused by Start", keysGoTo("PauseWindow"), keysGoTo("GameWindow"),
       press(SDL_CONTROLLER_BUTTON_START)},
      {"resumed by Start", keysGoTo("GameWindow"), keysGoTo("PauseWindow"),
       press(SDL_CONTROLLER_BUTTON_START)},
      {"paused by Back", keysGoTo("PauseWindow"), keysGoTo("GameWindow"),
       press(SDL_CONTROLLER_BUTTON_BACK)},
      {"Main Menu focused", [] { return Focused("PauseWindow", "ExitToMenuButton"); },
       keysGoTo("PauseWindow"), press(SDL_CONTROLLER_BUTTON_DPAD_DOWN)},
      // A score opens the high scores over the menu first; B closes them as their OK.
      {"back at the menu", keysGoTo("MainWindow"),
       [] { return KeysGoTo("PauseWindow") || KeysGoTo("HiscoreWindow"); },
       [] { return KeysGoTo("HiscoreWindow") ? SDL_CONTROLLER_BUTTON_B : SDL_CONTROLLER_BUTTON_A; }},
      {"Options focused", [] { return Focused("MainWindow", "ButtonOptions"); },
       keysGoTo("MainWindow"), press(SDL_CONTROLLER_BUTTON_DPAD_DOWN)},
      {"Help focused", [] { return Focused("MainWindow", "ButtonHelp"); }, keysGoTo("MainWindow"),
       press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)},
      {"Scores focused", [] { return Focused("MainWindow", "ButtonHiscore"); },
       keysGoTo("MainWindow"), press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)},
      {"Exit focused", [] { return Focused("MainWindow", "ButtonExit"); }, keysGoTo("MainWindow"),
       press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)},
      {"the game left", [] { return false; }, [] { return Focused("MainWindow", "ButtonExit"); },
       press(SDL_CONTROLLER_BUTTON_A)},
  };

  const int exitCode = RunSdlGame(player, folder.string());

  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(player.failure, "");
  EXPECT_EQ(player.done, player.steps.size() - 1);  // the last one ends the game
  ASSERT_GE(before, 0);
  EXPECT_EQ(after, (before + 1) % 4) << "the arrow under the cursor did not turn clockwise";
  for (const char* file : {"Data/Config.ini", "Data/Last.dat", "Data/Hiscore.dat"}) {
    EXPECT_TRUE(fs::exists(folder / file)) << file;
  }
}

}  // namespace
}  // namespace tav
