// Routing of notifications and commands through windows and the window manager:
// stamping, handler matching, the shown stack, exclusive input, enable/disable,
// and the fade end words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/blend_fade.h"
#include "gui/geometry.h"
#include "gui/window.h"
#include "gui/window_manager.h"

namespace tav {
namespace {

// Writes down every event it sees into a shared log as "<name>:<event>", and posts
// on request; optionally posts a word while it updates.
class ProbeControl : public Control {
 public:
  ProbeControl(const std::string& name, std::vector<std::string>* log)
      : Control(name), log_(log) {}

  void Post(const std::string& word, const std::string& argument = std::string()) {
    Notify(word, argument);
  }
  void PostDuringUpdate(const std::string& word) { wordDuringUpdate_ = word; }

  void Draw() override { log_->push_back(Name() + ":Draw"); }
  void DrawOverlay() override { log_->push_back(Name() + ":DrawOverlay"); }
  void Update(NotificationQueue& queue) override {
    Control::Update(queue);
    if (!wordDuringUpdate_.empty()) Notify(wordDuringUpdate_);
    wordDuringUpdate_.clear();
  }
  void OnLeftDown(Vec2) override { log_->push_back(Name() + ":LeftDown"); }
  void OnKeyChar(uint32_t code, uint32_t) override {
    log_->push_back(Name() + ":Key" + std::to_string(code));
  }
  void OnCommand(const std::string& command) override {
    log_->push_back(Name() + ":" + command);
  }

 private:
  std::vector<std::string>* log_;
  std::string wordDuringUpdate_;
};

class ProbeWindow : public Window {
 public:
  ProbeWindow(const std::string& name, std::vector<std::string>* log)
      : Window(name), log_(log) {}
  ProbeControl* AddProbe(const std::string& controlName) {
    return AddControl(std::make_unique<ProbeControl>(controlName, log_));
  }
  void Update(NotificationQueue& queue) override {
    log_->push_back(Name() + ":Update");
    Window::Update(queue);
  }
  void Draw() override {
    log_->push_back(Name() + ":WindowDraw");
    Window::Draw();
  }
  void DrawOverlay() override {
    log_->push_back(Name() + ":WindowOverlay");
    Window::DrawOverlay();
  }

 private:
  std::vector<std::string>* log_;
};

class WindowManagerTest : public ::testing::Test {
 protected:
  ProbeWindow* Add(const std::string& name) {
    return manager.AddWindow(std::make_unique<ProbeWindow>(name, &log));
  }
  // Registers a handler that writes "<label>(<argument>)" into `calls`.
  void Record(const std::string& label, const std::string& window, const std::string& control,
              const std::string& word) {
    manager.On(window, control, word,
               [this, label](std::string argument) { calls.push_back(label + "(" + argument + ")"); });
  }

  std::vector<std::string> log;
  std::vector<std::string> calls;
  WindowManager manager;
};

using Strings = std::vector<std::string>;

TEST(RectTest, LeftRightAndBottomEdgesAreInsideTopEdgeIsNot) {
  const Rect rect(10, 20, 30, 40);
  EXPECT_TRUE(rect.Contains({10, 30}));
  EXPECT_TRUE(rect.Contains({30, 30}));
  EXPECT_TRUE(rect.Contains({20, 20}));
  EXPECT_FALSE(rect.Contains({20, 40}));
  EXPECT_TRUE(rect.Contains({30, 39.99f}));
  EXPECT_FALSE(rect.Contains({30.01f, 30}));
  EXPECT_FALSE(rect.Contains({9.99f, 30}));
  EXPECT_FALSE(rect.Contains({20, 19.99f}));

  const Rect knob = Rect::Centred({100, 50}, {10, 16});
  EXPECT_EQ(knob.Min(), Vec2(90, 34));
  EXPECT_EQ(knob.Max(), Vec2(110, 66));
}

TEST_F(WindowManagerTest, EveryMatchingHandlerIsCalledInRegistrationOrder) {
  ProbeWindow* menu = Add("MainWindow");
  ProbeControl* help = menu->AddProbe("ButtonHelp");
  manager.ShowWindow("MainWindow");

  Record("global", "", "", "ButtonDown");
  Record("windowAndControl", "MainWindow", "ButtonHelp", "ButtonDown");
  Record("controlOnly", "", "ButtonHelp", "ButtonDown");
  Record("windowOnly", "MainWindow", "", "ButtonDown");
  Record("otherWord", "MainWindow", "ButtonHelp", "ButtonClick");
  Record("otherWindow", "GameWindow", "", "ButtonDown");
  Record("otherControl", "MainWindow", "ButtonExit", "ButtonDown");
  manager.On("ButtonDown", NotificationHandler());  // no function: never matches

  help->Post("ButtonDown", "arg");
  manager.Update();
  EXPECT_EQ(calls, (Strings{"global(arg)", "windowAndControl(arg)", "controlOnly(arg)",
                            "windowOnly(arg)"}));

  calls.clear();
  manager.Update();
  EXPECT_TRUE(calls.empty()) << "the queue is emptied after dispatch";
}

TEST_F(WindowManagerTest, NotificationsAreStampedWithTheirWindowAndControl) {
  ProbeWindow* game = Add("GameWindow");
  ProbeWindow* menu = Add("MainWindow");
  game->AddProbe("ButtonOK");
  menu->AddProbe("ButtonOK")->Post("ButtonClick");
  manager.ShowWindow("GameWindow");
  manager.ShowWindow("MainWindow");

  Record("game", "GameWindow", "ButtonOK", "ButtonClick");
  Record("gameAnyControl", "GameWindow", "", "ButtonClick");
  Record("menu", "MainWindow", "ButtonOK", "ButtonClick");
  manager.Update();
  EXPECT_EQ(calls, (Strings{"menu()"}));
}

TEST_F(WindowManagerTest, WindowOwnNotificationHasNoControl) {
  ProbeWindow* pause = Add("PauseWindow");
  pause->AddProbe("ResumeButton");
  manager.ShowWindow("PauseWindow");
  Record("controlNamed", "PauseWindow", "ResumeButton", "EndDecBlend");
  Record("controlOnly", "", "ResumeButton", "EndDecBlend");
  Record("window", "PauseWindow", "", "EndDecBlend");

  pause->Notify("EndDecBlend");
  manager.Update();
  EXPECT_EQ(calls, (Strings{"window()"}));
}

TEST_F(WindowManagerTest, DeliveryOrderFollowsStackThenControlsThenWindow) {
  ProbeWindow* lower = Add("LowerWindow");
  ProbeWindow* upper = Add("UpperWindow");
  ProbeControl* first = lower->AddProbe("First");
  ProbeControl* second = lower->AddProbe("Second");
  ProbeControl* top = upper->AddProbe("Top");
  manager.ShowWindow("LowerWindow");
  manager.ShowWindow("UpperWindow");
  manager.On("Word", [&](std::string argument) { calls.push_back(argument); });

  top->Post("Word", "top");
  lower->Notify("Word", "lowerWindow");
  second->Post("Word", "second1");
  first->Post("Word", "first");
  second->Post("Word", "second2");
  manager.Update();
  EXPECT_EQ(calls, (Strings{"first", "second1", "second2", "lowerWindow", "top"}));
}

TEST_F(WindowManagerTest, HiddenWindowKeepsItsNotificationsUntilShownAgain) {
  ProbeWindow* options = Add("OptionsWindow");
  ProbeControl* check = options->AddProbe("SoundCheck");
  manager.On("OptionsWindow", "SoundCheck", "True", [&](std::string) { calls.push_back("True"); });
  manager.On("OptionsWindow", "SoundCheck", "CheckClick",
             [&](std::string) { calls.push_back("CheckClick"); });

  check->Post("True");
  check->Post("CheckClick");
  manager.Update();
  manager.Update();
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(check->Pending().size(), 2u);

  manager.ShowWindow("OptionsWindow");
  manager.Update();
  EXPECT_EQ(calls, (Strings{"True", "CheckClick"}));
}

TEST_F(WindowManagerTest, WordPostedDuringAControlsOwnUpdateArrivesOneFrameLater) {
  ProbeWindow* game = Add("GameWindow");
  ProbeControl* panel = game->AddProbe("ScorePanel");
  manager.ShowWindow("GameWindow");
  manager.On("PanelLeavingOk", [&](std::string) { calls.push_back("PanelLeavingOk"); });

  panel->PostDuringUpdate("PanelLeavingOk");
  manager.Update();
  EXPECT_TRUE(calls.empty());
  manager.Update();
  EXPECT_EQ(calls, (Strings{"PanelLeavingOk"}));
}

TEST_F(WindowManagerTest, CommandFromAHandlerMakesTheWindowPostForTheNextUpdate) {
  // A window that answers "Ping" by posting "Pong" itself.
  class PongWindow : public Window {
   public:
    using Window::Window;
    void Command(std::string text) override {
      if (text == "Ping") Notify("Pong");
      Window::Command(text);
    }
  };
  manager.AddWindow(std::make_unique<PongWindow>("PongWindow"));
  ProbeWindow* source = Add("SourceWindow");
  ProbeControl* button = source->AddProbe("Button");
  manager.ShowWindow("SourceWindow");
  manager.ShowWindow("PongWindow");
  manager.On("ButtonClick", [&](std::string) { manager.SendCommand("PongWindow", "Ping"); });
  manager.On("Pong", [&](std::string) { calls.push_back("Pong"); });

  button->Post("ButtonClick");
  manager.Update();
  EXPECT_TRUE(calls.empty());
  manager.Update();
  EXPECT_EQ(calls, (Strings{"Pong"}));
}

TEST_F(WindowManagerTest, ShowMovesToTopAndHideTakesTheLowestOfThatName) {
  Add("A");
  Add("B");
  Add("C");
  manager.ShowWindow("A");
  manager.ShowWindow("B");
  manager.ShowWindow("C");
  manager.ShowWindow("A");
  ASSERT_EQ(manager.Shown().size(), 3u);
  EXPECT_EQ(manager.Shown()[0]->Name(), "B");
  EXPECT_EQ(manager.Shown()[1]->Name(), "C");
  EXPECT_EQ(manager.Shown()[2]->Name(), "A");

  manager.HideWindow("C");
  manager.HideWindow("Nobody");
  manager.ShowWindow("Nobody");
  ASSERT_EQ(manager.Shown().size(), 2u);
  EXPECT_EQ(manager.Shown()[0]->Name(), "B");
  EXPECT_EQ(manager.Shown()[1]->Name(), "A");
  EXPECT_TRUE(manager.IsShown("A"));
  EXPECT_FALSE(manager.IsShown("C"));
}

TEST_F(WindowManagerTest, TwoWindowsOfOneNameShowTakesTheFirstCommandsReachBoth) {
  ProbeWindow* first = Add("Twin");
  ProbeWindow* second = Add("Twin");
  first->AddProbe("One");
  second->AddProbe("Two");

  manager.ShowWindow("Twin");
  ASSERT_EQ(manager.Shown().size(), 1u);
  EXPECT_EQ(manager.Shown()[0], first);
  manager.SetExclusive("Twin");
  EXPECT_EQ(manager.Exclusive(), first);

  manager.SendCommand("Twin", "Hello");
  manager.SendToControl("Twin", "Two", "Direct");
  manager.SendCommand("Nobody", "Lost");
  EXPECT_EQ(log, (Strings{"One:Hello", "Two:Hello", "Two:Direct"}));
}

TEST_F(WindowManagerTest, ExclusiveWindowAloneGetsInputAndUpdatesButAllAreDrawn) {
  ProbeWindow* game = Add("GameWindow");
  ProbeWindow* dialog = Add("DialogWindow");
  game->AddProbe("Board");
  dialog->AddProbe("OK");
  manager.ShowWindow("GameWindow");
  manager.ShowWindow("DialogWindow");
  manager.SetExclusive("DialogWindow");
  manager.SetExclusive("Nobody");  // leaves the exclusive window as it is

  manager.OnLeftDown({1, 1});
  manager.OnKeyChar('a', 0);
  manager.Update();
  EXPECT_EQ(log, (Strings{"OK:LeftDown", "OK:Key97", "DialogWindow:Update"}));

  log.clear();
  manager.Draw();
  manager.DrawOverlay();
  EXPECT_EQ(log, (Strings{"GameWindow:WindowDraw", "Board:Draw", "DialogWindow:WindowDraw",
                          "OK:Draw", "GameWindow:WindowOverlay", "Board:DrawOverlay",
                          "DialogWindow:WindowOverlay", "OK:DrawOverlay"}));

  log.clear();
  manager.ClearExclusive();
  manager.OnLeftDown({1, 1});
  EXPECT_EQ(log, (Strings{"Board:LeftDown", "OK:LeftDown"}));
}

TEST_F(WindowManagerTest, DisabledWindowTakesNoInputButStillCommandsUpdatesAndDraws) {
  ProbeWindow* menu = Add("MainWindow");
  ProbeControl* button = menu->AddProbe("ButtonHelp");
  ProbeWindow* top = Add("FonWindow");
  top->AddProbe("ButtonClose");
  manager.ShowWindow("MainWindow");
  manager.ShowWindow("FonWindow");
  manager.On("ButtonClick", [&](std::string) { calls.push_back("click"); });

  manager.SendCommand("MainWindow", "Disable");
  EXPECT_FALSE(menu->IsEnabled());
  EXPECT_EQ(log, (Strings{"ButtonHelp:Disable"}));

  log.clear();
  manager.OnLeftDown({5, 5});
  EXPECT_EQ(log, (Strings{"ButtonClose:LeftDown"}));

  log.clear();
  button->Post("ButtonClick");
  manager.Update();
  manager.Draw();
  EXPECT_EQ(calls, (Strings{"click"}));
  EXPECT_EQ(log, (Strings{"MainWindow:Update", "FonWindow:Update", "MainWindow:WindowDraw",
                          "ButtonHelp:Draw", "FonWindow:WindowDraw", "ButtonClose:Draw"}));

  log.clear();
  manager.SendCommand("MainWindow", "Enable");
  EXPECT_TRUE(menu->IsEnabled());
  manager.OnLeftDown({5, 5});
  EXPECT_EQ(log, (Strings{"ButtonHelp:Enable", "ButtonHelp:LeftDown", "ButtonClose:LeftDown"}));
}

TEST_F(WindowManagerTest, ControlsDrawWithTheWindowsAlpha) {
  class AlphaControl : public Control {
   public:
    using Control::Control;
    void Draw() override { drawnAlpha = Alpha(); }
    float drawnAlpha = -1;
  };
  Window* window = manager.AddWindow(std::make_unique<Window>("PauseWindow"));
  AlphaControl* control = window->AddControl(std::make_unique<AlphaControl>("Pause"));
  control->SetAlpha(0.9f);
  window->SetAlpha(0.25f);
  manager.ShowWindow("PauseWindow");
  manager.Draw();
  EXPECT_FLOAT_EQ(control->drawnAlpha, 0.25f);
}

TEST_F(WindowManagerTest, HandlerTearingEverythingDownEndsTheDispatch) {
  ProbeWindow* window = Add("MainWindow");
  ProbeControl* button = window->AddProbe("ButtonExit");
  manager.ShowWindow("MainWindow");
  manager.On("ButtonClick", [&](std::string) {
    calls.push_back("teardown");
    manager.DeleteAllWindows();
  });
  manager.On("ButtonClick", [&](std::string argument) { calls.push_back("after" + argument); });

  button->Post("ButtonClick", "1");
  button->Post("ButtonClick", "2");
  manager.Update();
  // The running notification still reaches its later handlers; the queued one,
  // whose window is gone, is dropped.
  EXPECT_EQ(calls, (Strings{"teardown", "after1"}));
  EXPECT_EQ(manager.WindowCount(), 0u);
  EXPECT_TRUE(manager.Shown().empty());
}

TEST_F(WindowManagerTest, HandlerMayRegisterAnotherHandlerWhileRunning) {
  ProbeWindow* window = Add("MainWindow");
  ProbeControl* button = window->AddProbe("Button");
  manager.ShowWindow("MainWindow");
  manager.On("Word", [&](std::string) {
    calls.push_back("first");
    for (int i = 0; i < 100; ++i) manager.On("Other", [](std::string) {});
    manager.On("Word", [&](std::string) { calls.push_back("late"); });
  });
  button->Post("Word");
  manager.Update();
  EXPECT_EQ(calls[0], "first");
  EXPECT_EQ(calls.back(), "late");
}

TEST(BlendFadeTest, EachFadePostsItsEndWordExactlyOnce) {
  WindowManager manager;
  Window* pause = manager.AddWindow(std::make_unique<Window>("PauseWindow"));
  manager.ShowWindow("PauseWindow");
  Strings calls;
  for (const char* word : {"EndDecBlend", "EndIncBlend", "EndBlend"}) {
    manager.On(word, [&calls, word](std::string) { calls.push_back(word); });
  }
  BlendFade fade(3.0f);
  auto frame = [&] {
    fade.Advance(0.05f, *pause);
    manager.Update();
  };

  EXPECT_FALSE(fade.OnCommand("Enable"));
  EXPECT_TRUE(fade.OnCommand("BeginDecBlend"));
  EXPECT_FLOAT_EQ(fade.Opacity(), 0.0f);
  frame();
  EXPECT_NEAR(fade.Opacity(), 0.15f, 1e-5f);
  int frames = 1;
  while (calls.empty() && frames < 100) {
    frame();
    ++frames;
  }
  EXPECT_EQ(frames, 7) << "a third of a second at 0.05 s per frame";
  EXPECT_EQ(calls, (Strings{"EndDecBlend"}));
  EXPECT_TRUE(fade.IsResting());
  EXPECT_FLOAT_EQ(fade.Opacity(), 1.0f);
  frame();
  frame();
  EXPECT_EQ(calls.size(), 1u);

  fade.OnCommand("BeginIncBlend");
  EXPECT_FLOAT_EQ(fade.Opacity(), 1.0f);
  for (int i = 0; i < 10; ++i) frame();
  EXPECT_EQ(calls, (Strings{"EndDecBlend", "EndIncBlend"}));
}

TEST(BlendFadeTest, DialogFadePostsEndBlendOnlyWhenRising) {
  WindowManager manager;
  Window* help = manager.AddWindow(std::make_unique<Window>("HelpWindow"));
  manager.ShowWindow("HelpWindow");
  Strings calls;
  for (const char* word : {"EndDecBlend", "EndIncBlend", "EndBlend"}) {
    manager.On(word, [&calls, word](std::string) { calls.push_back(word); });
  }
  BlendFade fade(2.0f, BlendFade::EndWords::kEndBlendOnRise);
  fade.OnCommand("BeginDecBlend");
  for (int i = 0; i < 30; ++i) {
    fade.Advance(0.05f, *help);
    manager.Update();
  }
  EXPECT_TRUE(calls.empty());
  fade.OnCommand("BeginIncBlend");
  for (int i = 0; i < 30; ++i) {
    fade.Advance(0.05f, *help);
    manager.Update();
  }
  EXPECT_EQ(calls, (Strings{"EndBlend"}));
}

}  // namespace
}  // namespace tav
