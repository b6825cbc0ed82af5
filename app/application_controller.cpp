// The application controller: set-up, the per-frame step, input forwarding, the
// handler table that moves the game between screens, and teardown.
#include "app/application_controller.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>

#include "base/data_path.h"
#include "base/frame_clock.h"
#include "base/log.h"
#include "base/package_file_system.h"
#include "game/click_record.h"
#include "game/score_store.h"
#include "gui/frame_delta.h"
#include "gui/window_manager.h"
#include "platform/platform.h"
#include "render/bitmap_font.h"
#include "render/renderer.h"
#include "screens/fon_window.h"
#include "screens/game_over_window.h"
#include "screens/game_resources.h"
#include "screens/game_window.h"
#include "screens/help_window.h"
#include "screens/hiscore_window.h"
#include "screens/intro_window.h"
#include "screens/level_complete_window.h"
#include "screens/main_window.h"
#include "screens/options_window.h"
#include "screens/pause_window.h"
#include "screens/screen_parts.h"
#include "screens/sound_settings.h"

namespace tav {

namespace {

constexpr int kScreenHeightPixels = 600;
// The US English keyboard layout, made active every frame so the player names
// typed into the high-score table arrive in it.
constexpr uint32_t kUsEnglishLayout = 0x0409;
// The levels a game has; completing the last one ends the game.
constexpr int kLastLevelIndex = 60;

const char* const kIntro = "IntroWindow";
const char* const kTopBar = "FonWindow";
const char* const kMenu = "MainWindow";
const char* const kGame = "GameWindow";
const char* const kHelp = "HelpWindow";
const char* const kOptions = "OptionsWindow";
const char* const kHiscore = "HiscoreWindow";
const char* const kPause = "PauseWindow";
const char* const kGameOver = "GameOverWindow";
const char* const kLevelComplete = "LevelCompleteWindow";

const char* const kClick = "ButtonClick";

}  // namespace

GameApplication::GameApplication() = default;
GameApplication::~GameApplication() = default;

WindowManager& GameApplication::Windows() const { return GetWindowManager(); }

Vec2 GameApplication::CursorPoint() {
  int x = 0, y = 0;
  GetPlatform().GetCursorPos(&x, &y);
  return Vec2(static_cast<float>(x), static_cast<float>(kScreenHeightPixels - y));
}

void GameApplication::SetUp() {
  setUpDone_ = true;
  // Below the base directory, like every other data path.
  PackageFileSystem::AddPackage(DataPath("Data\\data.pkg"));

  SoundManager& sound = SoundManager::Instance();
  sound.MusicHandle().Load("Music.ogg", sound.MusicLibrary());
  clickSound_.Load("Click.wav", sound.EffectsLibrary());
  focusSound_.Load("Focus.wav", sound.EffectsLibrary());
  refusedSound_.Load("NotLoad.wav", sound.EffectsLibrary());

  LoadLevelProgress(PlayerFilePath(kLevelProgressFile), &progress_);
  progressLoaded_ = true;

  BitmapFont::Shared().Load("xFont.tga");
  BitmapFont::Shared().SetMetrics(1, 5, 15);
  SharedShade().SetTexture("Black.tga");

  LoadGameResources();

  WindowManager& windows = Windows();
  windows.AddWindow(std::make_unique<FonWindow>(kTopBar));
  MainWindow* menu = windows.AddWindow(std::make_unique<MainWindow>(kMenu));
  menu->SetUnlockedLevelCounts(&progress_.unlockedTimeLevels, &progress_.unlockedClassicLevels);
  windows.AddWindow(std::make_unique<GameWindow>(kGame));
  windows.AddWindow(std::make_unique<HelpWindow>(kHelp));
  windows.AddWindow(std::make_unique<OptionsWindow>(kOptions));
  windows.AddWindow(std::make_unique<HiscoreWindow>(kHiscore));
  windows.AddWindow(std::make_unique<PauseWindow>(kPause));
  windows.AddWindow(std::make_unique<IntroWindow>(kIntro));
  windows.AddWindow(std::make_unique<GameOverWindow>(kGameOver));
  windows.AddWindow(std::make_unique<LevelCompleteWindow>(kLevelComplete));

  windows.ShowWindow(kIntro);
  RegisterScreenHandlers();
  RegisterSoundHandlers();

  ReadSoundSettings(GetSoundSettings());
  settingsLoaded_ = true;
  ApplySoundSettings();

  for (int i = 0; i < kLevelNameCount; ++i) {
    timeLevelNames_[i] = std::to_string(i + 1);
    classicLevelNames_[i] = std::to_string(i + 1);
  }
  windows.SendCommand(kHiscore, "LoadData");
  hiscoresLoaded_ = true;
}

void GameApplication::FrameStep() {
  if (Renderer* renderer = GetRenderer()) renderer->Clear(0, 0, 0);
  SetFrameDelta(FrameClock::Instance().FrameTime());
  Platform& platform = GetPlatform();
  platform.ActivateKeyboardLayout(kUsEnglishLayout);

  WindowManager& windows = Windows();
  if (platform.IsButtonDown(MouseButton::kLeft)) windows.OnLeftHeld(CursorPoint());
  if (platform.IsButtonDown(MouseButton::kRight)) windows.OnRightHeld(CursorPoint());
  if (keysInUse_ && !(CursorPoint() == pointerAtKeys_)) {
    keysInUse_ = false;
    windows.ClearKeyFocus();
  }
  if (keysInUse_) {
    // A window that came up since the last key shows its focus at once, so that the
    // next key acts on something the player sees.
    windows.ShowKeyFocus();
  } else {
    windows.OnMouseMove(CursorPoint());
  }

  // The presses are in this frame's click record now; a release from here on
  // may forget them.
  leftPressPending_ = false;
  rightPressPending_ = false;

  windows.Update();
  windows.Draw();
  windows.DrawOverlay();
}

void GameApplication::OnLeftButtonDown() {
  Windows().OnLeftDown(CursorPoint());
  leftPressPending_ = true;
}

void GameApplication::OnLeftButtonUp() {
  Windows().OnLeftUp(CursorPoint());
  // A release ends the press the game window latched. A press and its release
  // that both arrive between two frames (a quick tap) keep the press for the
  // next frame, or the board would never see it.
  if (!leftPressPending_) Clicks().leftClick = false;
}

void GameApplication::OnRightButtonDown() {
  Windows().OnRightDown(CursorPoint());
  rightPressPending_ = true;
}

void GameApplication::OnRightButtonUp() {
  Windows().OnRightUp(CursorPoint());
  if (!rightPressPending_) Clicks().rightClick = false;
}

void GameApplication::OnChar(int code, int keyData) {
  Windows().OnKeyChar(static_cast<uint32_t>(code), static_cast<uint32_t>(keyData));
}

void GameApplication::OnKey(const KeyPress& press) {
  WindowManager& windows = Windows();
  // A held key repeats moves, never a click, a turn or a pause: those need a new press.
  const bool acts = press.key == InputKey::kEnter || press.key == InputKey::kSpace ||
                    press.key == InputKey::kEscape;
  if (press.repeat && acts) return;
  if (!keysInUse_) {
    keysInUse_ = true;
    pointerAtKeys_ = CursorPoint();
    // Whatever the pointer hovers loses its look, or two controls would seem focused.
    windows.OnMouseMove(Vec2(-1000.0f, -1000.0f));
    const bool back = press.key == InputKey::kEscape || press.key == InputKey::kPadBack ||
                      press.key == InputKey::kPadStart;
    Window* window = windows.KeyWindow();
    // The first press shows where the keys act; only "back" acts at once.
    const bool focusShown = window != nullptr && (window->FocusedControl() != nullptr);
    windows.ShowKeyFocus();
    if (!back && !focusShown) return;
  }
  windows.OnKey(press);
}

void GameApplication::OnCloseRequest() { Quit(); }

void GameApplication::TearDown() {
  if (!setUpDone_) return;
  setUpDone_ = false;
  // A set-up that failed part of the way has not read every file; writing those
  // would replace the player's scores or settings with empty defaults.
  WindowManager& windows = Windows();
  if (hiscoresLoaded_) {
    // However the game is left (a quit button, the window closing, a log-off),
    // the score of a game still being played is entered under the last name
    // before the file is written, and a name being typed is kept.
    OfferPendingScore();
    windows.SendCommand(kHiscore, "EndInput");
    windows.SendCommand(kHiscore, "SaveData");
  }
  if (settingsLoaded_) WriteSoundSettings(GetSoundSettings());
  windows.DeleteAllWindows();
  if (progressLoaded_) SaveProgress();
  UnloadGameResources();
  BitmapFont::Shared().Release();
  clickSound_.Release();
  focusSound_.Release();
  refusedSound_.Release();
  SoundManager::Instance().MusicHandle().Release();
  PackageFileSystem::ClearPackages();
}

void GameApplication::SaveProgress() {
  // The counts on disk may be higher (another game saved meanwhile); the menu
  // shows the merged counts from now on.
  LevelProgress merged;
  if (SaveLevelProgress(PlayerFilePath(kLevelProgressFile), progress_, &merged)) progress_ = merged;
}

// --- Screen operations.

void GameApplication::RaiseTopBar() {
  Windows().HideWindow(kTopBar);
  Windows().ShowWindow(kTopBar);
}

void GameApplication::OpenDialog(const std::string& dialog, const std::string& beginCommand,
                                 const std::string& under) {
  Windows().ShowWindow(dialog);
  RaiseTopBar();
  Windows().SendCommand(dialog, beginCommand);
  Windows().SendCommand(under, "Disable");
}

bool GameApplication::DialogShown() const {
  for (const char* dialog : {kPause, kHelp, kOptions, kHiscore, kLevelComplete, kGameOver}) {
    if (Windows().IsShown(dialog)) return true;
  }
  return false;
}

void GameApplication::CloseDialog(const std::string& dialog) {
  Windows().HideWindow(dialog);
  // Both are enabled; the hidden one is disabled again before it next takes input.
  Windows().SendCommand(kMenu, "Enable");
  Windows().SendCommand(kGame, "Enable");
}

void GameApplication::Quit() { RequestQuit(); }

void GameApplication::StartLevel() {
  auto levelName = [this](const std::array<std::string, kLevelNameCount>& names) {
    if (levelIndex_ >= 0 && levelIndex_ < kLevelNameCount) return names[levelIndex_];
    return std::to_string(levelIndex_ + 1);
  };
  const std::string command = timeMode_ ? "SetTimeLevel " + levelName(timeLevelNames_)
                                        : "SetClassicLevel " + levelName(classicLevelNames_);
  Windows().SendCommand(kGame, command);
  Scores().SetScore(carriedScore_);
}

void GameApplication::StartRequest(const std::string& argument, bool timeMode) {
  int requested = INT_MAX;
  if (std::sscanf(argument.c_str(), "%d", &requested) != 1) requested = INT_MAX;
  const int32_t unlocked =
      timeMode ? progress_.unlockedTimeLevels : progress_.unlockedClassicLevels;
  // A negative index would name no level at all; it is refused like a locked one.
  if (requested < 0 || requested >= unlocked) {
    refusedSound_.Play(false);
    return;
  }
  levelIndex_ = requested;
  gameRunning_ = true;
  scorePending_ = true;
  timeMode_ = timeMode;
  carriedScore_ = 0;
  Windows().SendCommand(kMenu, "Disable");
  Windows().SendCommand(kMenu, "BeginDecBlend");
}

void GameApplication::LevelComplete() {
  WindowManager& windows = Windows();
  if (windows.IsShown(kLevelComplete) || levelIndex_ >= kLastLevelIndex) return;
  // The game screen reports its completed level every frame, so while a dialog
  // covers it the scroll simply waits for the dialog to close instead of
  // opening on top of it. A game being left is not played any more: its
  // completion is dropped with it.
  if (!gameRunning_ || DialogShown()) return;
  windows.HideWindow(kTopBar);
  windows.ShowWindow(kLevelComplete);
  windows.SendCommand(kLevelComplete, "Show");
  windows.SendCommand(kLevelComplete, "Level " + std::to_string(levelIndex_));
  windows.ShowWindow(kTopBar);
  windows.SendCommand(kGame, "Disable");
}

void GameApplication::NextLevel() {
  Windows().SendCommand(kLevelComplete, "EndShow");
  Windows().SendCommand(kGame, "Enable");
  carriedScore_ = Scores().GetScore();
  ++levelIndex_;
  StartLevel();
  // The level now starting has been reached, so it may be started from the menu
  // from now on: the count covers it (its index plus one). Past the last level
  // there is nothing more to unlock.
  int32_t& unlocked = timeMode_ ? progress_.unlockedTimeLevels : progress_.unlockedClassicLevels;
  const int32_t reached = std::min(levelIndex_ + 1, kLastLevelIndex);
  if (reached > unlocked) {
    unlocked = reached;
    SaveProgress();
  }
}

void GameApplication::GameOver() {
  WindowManager& windows = Windows();
  if (windows.IsShown(kGameOver) || !gameRunning_) return;
  // Like a completion, a game over found behind a dialog (the move check runs
  // on a paused board too) waits until the dialog has closed.
  if (DialogShown()) return;
  gameRunning_ = false;
  windows.SendCommand(kGame, "Disable");
  windows.ShowWindow(kGameOver);
  windows.SendCommand(kGameOver, "BeginDecBlend");
}

void GameApplication::LeaveGame() {
  gameRunning_ = false;
  Windows().SendCommand(kGame, "Disable");
  Windows().SendCommand(kGame, "BeginDecBlend");
}

void GameApplication::BackToMenu() {
  WindowManager& windows = Windows();
  windows.ShowWindow(kMenu);
  windows.HideWindow(kGame);
  windows.SendCommand(kMenu, "BeginIncBlend");
  if (OfferPendingScore()) OpenDialog(kHiscore, "HiscoreBegin", kMenu);
  windows.SendCommand(kMenu, "Disable");
}

bool GameApplication::OfferPendingScore() {
  const int score = Scores().GetScore();
  // A finished game's score is offered once, whichever way it ended.
  const bool offer = scorePending_;
  scorePending_ = false;
  if (!offer || score == 0) return false;
  Windows().SendCommand(kHiscore, (timeMode_ ? "NewTimeUser " : "NewClassicUser ") +
                                      std::to_string(score));
  return true;
}

void GameApplication::SetSoundVolume(const std::string& argument, bool music) {
  SoundSettings& settings = GetSoundSettings();
  float& volume = music ? settings.musicVolume : settings.soundVolume;
  float value = 0.0f;
  // The slider reports numbers from 0 to 1; anything else leaves the volume as it was.
  if (std::sscanf(argument.c_str(), "%f", &value) == 1 && std::isfinite(value)) {
    volume = std::clamp(value, 0.0f, 1.0f);
  }
  ApplySoundSettings();
}

void GameApplication::SetSoundSwitch(bool music, bool on) {
  SoundSettings& settings = GetSoundSettings();
  (music ? settings.musicOn : settings.soundOn) = on;
  ApplySoundSettings();
}

// --- The handler table, in registration order.

void GameApplication::RegisterScreenHandlers() {
  WindowManager& w = Windows();
  using Argument = std::string;

  w.On(kIntro, "IntroEnd", [this](Argument) {
    Windows().HideWindow(kIntro);
    GetPlatform().SetCursorPos(400, 300);
    GetPlatform().ShowCursor(true);
    SoundManager::Instance().MusicHandle().Play(true);
    Windows().ShowWindow(kTopBar);
    Windows().ShowWindow(kMenu);
  });
  w.On(kGameOver, "ButtonOK", kClick,
       [this](Argument) { Windows().SendCommand(kGameOver, "BeginIncBlend"); });
  w.On(kGameOver, "EndIncBlend", [this](Argument) {
    Windows().SendCommand(kGame, "BeginDecBlend");
    Windows().HideWindow(kGameOver);
  });
  w.On(kGameOver, "EndDecBlend", [](Argument) {});
  w.On(kTopBar, "ButtonClose", kClick, [this](Argument) { Quit(); });
  w.On(kTopBar, "ButtonHide", kClick, [](Argument) { GetPlatform().Minimise(); });

  w.On(kMenu, "ButtonHelp", kClick, [this](Argument) { OpenDialog(kHelp, "HelpBegin", kMenu); });
  w.On(kMenu, "ButtonOptions", kClick,
       [this](Argument) { OpenDialog(kOptions, "OptionsBegin", kMenu); });
  w.On(kMenu, "ButtonHiscore", kClick,
       [this](Argument) { OpenDialog(kHiscore, "HiscoreBegin", kMenu); });
  w.On(kMenu, "ButtonExit", kClick, [this](Argument) { Quit(); });
  for (const char* selector :
       {"ClassicLevelInc", "ClassicLevelDec", "TimeLevelInc", "TimeLevelDec"}) {
    const std::string command = selector;
    w.On(kMenu, selector, kClick, [this, command](Argument) { Windows().SendCommand(kMenu, command); });
  }
  w.On(kMenu, "ButtonStartTime", kClick,
       [this](Argument) { Windows().SendCommand(kMenu, "GetTimeLevelNum"); });
  w.On(kMenu, "ButtonStartClassic", kClick,
       [this](Argument) { Windows().SendCommand(kMenu, "GetClassicLevelNum"); });
  w.On(kMenu, "SetTimeLevel", [this](Argument argument) { StartRequest(argument, true); });
  w.On(kMenu, "SetClassicLevel", [this](Argument argument) { StartRequest(argument, false); });
  // The end of a fade-in wakes the menu or the game screen only when no dialog
  // covers it (the name entry after a game, a level finished while the game was
  // still fading in); closing the dialog wakes it instead.
  w.On(kMenu, "EndIncBlend", [this](Argument) {
    if (!DialogShown()) Windows().SendCommand(kMenu, "Enable");
  });
  w.On(kMenu, "EndDecBlend", [this](Argument) {
    Windows().HideWindow(kMenu);
    Windows().ShowWindow(kGame);
    RaiseTopBar();
    Windows().SendCommand(kGame, "BeginIncBlend");
    Windows().SendCommand(kGame, "Disable");
    StartLevel();
  });

  w.On(kHelp, "ButtonOK", kClick, [this](Argument) { Windows().SendCommand(kHelp, "HelpEnd"); });
  w.On(kHelp, "ButtonInc", kClick, [this](Argument) { Windows().SendCommand(kHelp, "HelpInc"); });
  w.On(kHelp, "ButtonDec", kClick, [this](Argument) { Windows().SendCommand(kHelp, "HelpDec"); });
  w.On(kHelp, "EndBlend", [this](Argument) { CloseDialog(kHelp); });

  w.On(kOptions, "SoundSlider", "SliderNewValue",
       [this](Argument argument) { SetSoundVolume(argument, false); });
  w.On(kOptions, "MusicSlider", "SliderNewValue",
       [this](Argument argument) { SetSoundVolume(argument, true); });
  w.On(kOptions, "SoundCheck", "True", [this](Argument) { SetSoundSwitch(false, true); });
  w.On(kOptions, "SoundCheck", "False", [this](Argument) { SetSoundSwitch(false, false); });
  w.On(kOptions, "MusicCheck", "True", [this](Argument) { SetSoundSwitch(true, true); });
  w.On(kOptions, "MusicCheck", "False", [this](Argument) { SetSoundSwitch(true, false); });
  w.On(kOptions, "ButtonOK", kClick,
       [this](Argument) { Windows().SendCommand(kOptions, "OptionsEnd"); });
  w.On(kOptions, "EndBlend", [this](Argument) { CloseDialog(kOptions); });

  w.On(kHiscore, "ButtonOK", kClick, [this](Argument) {
    Windows().SendCommand(kHiscore, "HiscoreEnd");
    Windows().SendCommand(kHiscore, "EndInput");
  });
  w.On(kHiscore, "ButtonInc", kClick, [this](Argument) { Windows().SendCommand(kHiscore, "Inc"); });
  w.On(kHiscore, "ButtonDec", kClick, [this](Argument) { Windows().SendCommand(kHiscore, "Dec"); });
  w.On(kHiscore, "EndBlend", [this](Argument) { CloseDialog(kHiscore); });

  w.On(kGame, "ButtonPause", kClick, [this](Argument) {
    Windows().ShowWindow(kPause);
    RaiseTopBar();
    Windows().SendCommand(kPause, "BeginDecBlend");
    Windows().SendCommand(kGame, "Disable");
  });
  w.On(kGame, "ButtonHelp", kClick, [this](Argument) { OpenDialog(kHelp, "HelpBegin", kGame); });
  w.On(kGame, "ButtonOptions", kClick,
       [this](Argument) { OpenDialog(kOptions, "OptionsBegin", kGame); });
  w.On(kGame, "ButtonHiscore", kClick,
       [this](Argument) { OpenDialog(kHiscore, "HiscoreBegin", kGame); });
  w.On(kGame, "GameOver", [this](Argument) { GameOver(); });
  w.On(kGame, "LevelComplete", [this](Argument) { LevelComplete(); });
  w.On(kGame, "TheEnd", [this](Argument) { LeaveGame(); });
  w.On(kGame, "EndIncBlend", [this](Argument) {
    if (!DialogShown()) Windows().SendCommand(kGame, "Enable");
  });
  w.On(kGame, "EndDecBlend", [this](Argument) { BackToMenu(); });

  w.On(kPause, "ResumeButton", kClick, [this](Argument) {
    pauseChoice_ = kPauseResume;
    Windows().SendCommand(kPause, "BeginIncBlend");
  });
  w.On(kPause, "ExitToMenuButton", kClick, [this](Argument) {
    pauseChoice_ = kPauseToMenu;
    Windows().SendCommand(kPause, "BeginIncBlend");
  });
  w.On(kPause, "ExitButton", kClick, [this](Argument) { Quit(); });
  w.On(kPause, "EndIncBlend", [this](Argument) {
    Windows().HideWindow(kPause);
    if (pauseChoice_ == kPauseToMenu) {
      LeaveGame();
    } else if (pauseChoice_ == kPauseResume) {
      Windows().SendCommand(kGame, "Enable");
    }
  });
  w.On(kPause, "EndDecBlend", [](Argument) {});

  w.On(kLevelComplete, "ButtonOK", kClick, [this](Argument) { NextLevel(); });
  w.On(kLevelComplete, "EndBlend", [this](Argument) { Windows().HideWindow(kLevelComplete); });
}

void GameApplication::RegisterSoundHandlers() {
  WindowManager& w = Windows();
  w.On("ButtonDown", [this](std::string) { clickSound_.Play(false); });
  w.On("ButtonSetFocus", [this](std::string) { focusSound_.Play(false); });
  w.On("CheckClick", [this](std::string) { clickSound_.Play(false); });
  w.On("CheckSetFocus", [this](std::string) { focusSound_.Play(false); });
  w.On("SliderSetFocus", [this](std::string) { focusSound_.Play(false); });
}

std::unique_ptr<Application> CreateGameApplication() {
  return std::make_unique<GameApplication>();
}

}  // namespace tav
