// Which picture mode the game draws in (PictureMode, render/renderer.h): the player's
// choice in Window.ini, what the back-end, the picture sets and the letterbox allow, and
// in the automatic choice the measured cost of the sharp frames. Sharp frames are drawn
// at the letterbox's size, which a software rasteriser on a large screen may not keep
// up with; the classic mode is then chosen, and tried again only after a resize. Plain
// data in and a choice out, kept apart from any clock, so that it is driven with
// made-up frame costs.
#pragma once

#include <string>
#include <vector>

#include "render/renderer.h"

namespace tav {

// "Pictures = sharp|classic|auto" in the [Window] section of Window.ini.
enum class PicturesChoice { kAuto, kSharp, kClassic };

// The choice in the native `path`; a missing or damaged file, or any other word, is
// auto (logged when the word is not understood).
PicturesChoice ReadPicturesChoice(const std::string& path);

// What the decision is taken from, each frame.
struct PictureSituation {
  PicturesChoice choice = PicturesChoice::kAuto;
  // The back-end can draw sharp and the twice-size pictures are present.
  bool sharpPossible = false;
  // Why the back-end cannot draw sharp just now (Renderer::SharpPicturesRefusal), or
  // empty when it can.
  std::string backEndRefusal;
  // The letterbox and the game's picture, in pixels.
  int letterboxWidth = 0;
  int letterboxHeight = 0;
  int pictureWidth = 800;
  int pictureHeight = 600;
};

class PictureModeDecision {
 public:
  // The sharp mode needs the letterbox at least this many times the picture.
  static constexpr double kMinimumEnlargement = 1.5;
  // The span of frames whose cost is weighed, in seconds of frame time, and the
  // fewest frames a judgement is made on.
  static constexpr double kWindowSeconds = 2.0;
  static constexpr int kMinimumFrames = 20;
  // A frame may take at most this share of the display's period in processor time,
  // so that drawing sharp does not take over the processor. Processor time of the
  // whole process up to the next frame, not the frame's own span: a software
  // rasteriser draws in threads of its own, also while the game waits.
  static constexpr double kProcessorShare = 0.35;
  // ... and at most this many periods from its start to its presentation: a display
  // that holds swaps gives every frame a whole period however little it costs, and
  // one taking longer missed the display.
  static constexpr double kHeldPeriods = 1.25;
  // A window whose frames so far (at least kMinimumFrames) take more than this many
  // times what they may ends early: a scene far too busy for the sharp mode is not
  // drawn sharp, and slowly, for whole seconds to show it.
  static constexpr double kFarBeyond = 2.0;

  // Before each frame: the mode to draw it in.
  PictureMode Choose(const PictureSituation& situation);
  // After a frame drawn in the mode Choose returned: its span from its start to its
  // presentation, before any pacing wait (`seconds`), the processor time the whole
  // process took from its start to the next frame's (`processorSeconds`), and the
  // display's period. Each window is judged by its median frame, so that a few slow
  // frames (a level loading) do not decide.
  void AddFrame(double seconds, double processorSeconds, double periodSeconds);
  // True once after a decision (the first, a new one after a resize or a change of
  // choice, a fall-back): Reason() then says which mode and why, for the log.
  bool TakeNewDecision();
  const std::string& Reason() const { return reason_; }
  PictureMode Mode() const { return mode_; }

 private:
  // Why sharp is not possible in `situation`; empty when it is.
  static std::string SharpRefusal(const PictureSituation& situation);
  void Decide(PictureMode mode, std::string reason);

  PictureMode mode_ = PictureMode::kClassic;
  std::string reason_;
  bool newDecision_ = false;
  bool started_ = false;
  PictureSituation last_;
  // Auto, while sharp: the frames weighed in the current window, each as its cost
  // over its limit, and whether sharp was confirmed once.
  bool measuring_ = false;
  bool confirmed_ = false;
  bool fellBack_ = false;
  double windowSeconds_ = 0.0;
  std::vector<double> windowLoads_;      // each frame's cost over its limit
  std::vector<double> windowProcessor_;  // and its processor time
};

}  // namespace tav
