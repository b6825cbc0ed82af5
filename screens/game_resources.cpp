// Loading and unloading of the game screen's pictures and sounds.
#include "screens/game_resources.h"

#include "render/effects.h"
#include "render/texture_catalogue.h"
#include "screens/piece_visuals.h"

namespace tav {
namespace {

std::vector<std::string> MakePictureNames() {
  std::vector<std::string> names = {"panel.tga", "panel_top.tga", "black_line.tga"};
  for (int kind = 0; kind < kPieceKindCount; ++kind) {
    for (int direction = 0; direction < 4; ++direction) {
      names.push_back(PieceVisuals::ArrowPictureName(kind, direction));
    }
  }
  const char* const rest[] = {
      // outline arrows
      "sterlka_u.tga", "sterlka_r.tga", "sterlka_d.tga", "sterlka_l.tga",
      // symbol slots, empty and collected
      "a0.tga", "r0.tga", "q0.tga", "o0.tga", "w0.tga", "s0.tga", "a1.tga", "r1.tga", "q1.tga",
      "o1.tga", "w1.tga", "s1.tga",
      // halos, frame and panels
      "letter_sphere.tga", "letter_sphere1.tga", "gamebavel_up.tga", "gamebavel_down.tga",
      "gamebavel_left.tga", "gamebavel_right.tga", "left_panel.tga", "flare.tga", "game_back.tga",
      "coin.spt", "level.tga", "clock.spt", "white.tga", "bomb_flare.tga", "moln_flare.tga",
      "moln.tga", "Indicator1.tga", "Indicator2.tga", "lc1.tga", "lc2.tga", "go1.tga", "go2.tga",
      "top_bar.tga", "top_bar_logo.tga", "score_panel.tga", "round_panel.tga", "time_panel.tga",
      "Hint.tga", "Hint1.tga", "Hint2.tga", "Hint3.tga",
      // the buttons of the game screen
      "button_pause_loop.tga", "button_pause_focus.tga", "button_pause_down.tga",
      "button_options_loop.tga", "button_options_focus.tga", "button_options_down.tga",
      "button_help_loop.tga", "button_help_focus.tga", "button_help_down.tga",
      "button_hiscore_loop.tga", "button_hiscore_focus.tga", "button_hiscore_down.tga",
      // particles, beams and bolts
      "blue_strelka_particle1.tga", "blue_strelka_particle2.tga", "circle.tga",
      "green_strelka_particle1.tga", "green_strelka_particle2.tga", "red_strelka_particle1.tga",
      "red_strelka_particle2.tga", "No_strelka_particle1.tga", "No_strelka_particle2.tga",
      "kolco.tga", "zvezda.tga", "box.tga", "moln2.tga", "moln3.tga"};
  for (const char* name : rest) names.emplace_back(name);
  return names;
}

}  // namespace

const std::vector<std::string>& GamePictureNames() {
  static const std::vector<std::string> names = MakePictureNames();
  return names;
}

const std::vector<std::string>& GameSoundNames() {
  static const std::vector<std::string> names = {
      "rotate.wav",    "boom.wav", "boom2.wav",      "wow!.wav",   "lc_effect.wav",
      "go_effect.wav", "time.wav", "start_game.wav", "moln.wav",   "rotate_no.wav",
      "letter.wav",    "buh.wav",  "super.wav",      "bonus0.wav", "bonus1.wav",
      "bonus2.wav",    "laser.wav"};
  return names;
}

GameSoundAdapter& GameSounds() {
  static GameSoundAdapter* sounds = new GameSoundAdapter();  // lives for the whole run
  return *sounds;
}

void LoadGameResources() {
  TextureCatalogue& catalogue = TextureCatalogue::Instance();
  for (const std::string& name : GamePictureNames()) catalogue.Get(name);
  GameSounds().Load(GameSoundNames());
  SetGameSound(&GameSounds());
}

void UnloadGameResources() {
  ParticlePool::Instance().Clear();
  FloatingTextList::Instance().Clear();
  if (&GetGameSound() == &GameSounds()) SetGameSound(nullptr);
  GameSounds().Release();
  TextureCatalogue::Instance().Clear();
}

}  // namespace tav
