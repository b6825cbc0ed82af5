// The picture mode decision and the player's choice in Window.ini.
#include "app/picture_mode.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <utility>

#include "base/ini_file.h"
#include "base/log.h"

namespace tav {

namespace {

const char* ModeName(PictureMode mode) {
  return mode == PictureMode::kSharp ? "sharp" : "classic";
}

std::string Format(const char* format, double a, double b, double c = 0.0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

bool SameSituation(const PictureSituation& a, const PictureSituation& b) {
  return a.choice == b.choice && a.sharpPossible == b.sharpPossible &&
         a.backEndRefusal == b.backEndRefusal &&
         a.letterboxWidth == b.letterboxWidth && a.letterboxHeight == b.letterboxHeight &&
         a.pictureWidth == b.pictureWidth && a.pictureHeight == b.pictureHeight;
}

}  // namespace

PicturesChoice ReadPicturesChoice(const std::string& path) {
  IniFile ini;
  if (!ini.OpenPath(path)) return PicturesChoice::kAuto;
  std::string value;
  if (!ini.Get("Window", "Pictures", &value)) return PicturesChoice::kAuto;
  for (char& c : value) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (value == "sharp") return PicturesChoice::kSharp;
  if (value == "classic") return PicturesChoice::kClassic;
  if (value != "auto") {
    LogLine("WARNING: Pictures = %s is not sharp, classic or auto; auto is used.\n",
            value.c_str());
  }
  return PicturesChoice::kAuto;
}

std::string PictureModeDecision::SharpRefusal(const PictureSituation& situation) {
  if (!situation.sharpPossible) return "the twice-size pictures or a back-end for them are missing";
  if (!situation.backEndRefusal.empty()) return situation.backEndRefusal;
  if (situation.pictureWidth <= 0 || situation.pictureHeight <= 0) return "the picture has no size";
  const double enlargement =
      std::min(static_cast<double>(situation.letterboxWidth) / situation.pictureWidth,
               static_cast<double>(situation.letterboxHeight) / situation.pictureHeight);
  if (enlargement < kMinimumEnlargement) {
    return Format("the picture is enlarged only %.2f times (%.0f pixels wide)", enlargement,
                  situation.letterboxWidth);
  }
  return std::string();
}

void PictureModeDecision::Decide(PictureMode mode, std::string reason) {
  mode_ = mode;
  reason_ = std::string(ModeName(mode)) + ": " + std::move(reason);
  newDecision_ = true;
}

PictureMode PictureModeDecision::Choose(const PictureSituation& situation) {
  if (started_ && SameSituation(situation, last_)) return mode_;
  // First frame, a resize, or a new choice: decided afresh.
  started_ = true;
  last_ = situation;
  measuring_ = false;
  confirmed_ = false;
  fellBack_ = false;
  const std::string refusal = SharpRefusal(situation);
  switch (situation.choice) {
    case PicturesChoice::kClassic:
      Decide(PictureMode::kClassic, "Window.ini asks for it");
      break;
    case PicturesChoice::kSharp:
      if (refusal.empty()) Decide(PictureMode::kSharp, "Window.ini asks for it");
      else Decide(PictureMode::kClassic, "Window.ini asks for sharp, but " + refusal);
      break;
    case PicturesChoice::kAuto:
      if (!refusal.empty()) {
        Decide(PictureMode::kClassic, refusal);
        break;
      }
      // Sharp until measured; the decision is logged once the frames are weighed.
      mode_ = PictureMode::kSharp;
      measuring_ = true;
      windowSeconds_ = 0.0;
      windowLoads_.clear();
      windowProcessor_.clear();
      break;
  }
  return mode_;
}

void PictureModeDecision::AddFrame(double seconds, double processorSeconds,
                                   double periodSeconds) {
  if (!measuring_ || periodSeconds <= 0.0 || !(seconds >= 0.0) || !(processorSeconds >= 0.0)) {
    return;
  }
  windowSeconds_ += std::max(seconds, periodSeconds);
  windowLoads_.push_back(std::max(processorSeconds / (kProcessorShare * periodSeconds),
                                  seconds / (kHeldPeriods * periodSeconds)));
  windowProcessor_.push_back(processorSeconds);
  if (windowLoads_.size() < static_cast<size_t>(kMinimumFrames)) return;
  // The order of the window's frames does not matter: the median reorders them in place.
  const auto median = [](std::vector<double>& values) {
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
  };
  const double load = median(windowLoads_);
  if (windowSeconds_ < kWindowSeconds && load <= kFarBeyond) return;
  const double processorMs = median(windowProcessor_) * 1000.0;
  windowSeconds_ = 0.0;
  windowLoads_.clear();
  windowProcessor_.clear();
  if (load > 1.0) {
    measuring_ = false;
    fellBack_ = true;
    Decide(PictureMode::kClassic,
           Format("sharp frames take %.1f ms of processor time in the display's %.1f ms, "
                  "%.0f %% of what they may",
                  processorMs, periodSeconds * 1000.0, load * 100.0));
    return;
  }
  // Kept weighing: a busier scene later may still be too much.
  if (!confirmed_) {
    confirmed_ = true;
    Decide(PictureMode::kSharp,
           Format("sharp frames take %.1f ms of processor time in the display's %.1f ms, "
                  "%.0f %% of what they may",
                  processorMs, periodSeconds * 1000.0, load * 100.0));
  }
}

bool PictureModeDecision::TakeNewDecision() {
  const bool taken = newDecision_;
  newDecision_ = false;
  return taken;
}

}  // namespace tav
