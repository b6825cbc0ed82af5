// The game-screen resource set and the game's sounds on sound handles.
#include "screens/game_resources.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "render/texture_catalogue.h"
#include "tests/screens_game/game_screen_test_support.h"

namespace tav::test {
namespace {

TEST(GameResources, PictureSetHoldsEveryArrowOutlineAndSlotOnce) {
  const auto& names = GamePictureNames();
  auto has = [&names](const std::string& name) {
    return std::count(names.begin(), names.end(), name) == 1;
  };
  for (const char* name :
       {"sterlka_u_blue.tga", "sterlkab_l_green.tga", "sterlka_d_no.tga", "sterlka_r_moln.tga",
        "sterlka_l.tga", "a0.tga", "s1.tga", "coin.spt", "clock.spt", "Indicator2.tga", "kolco.tga",
        "zvezda.tga", "moln3.tga", "Hint3.tga", "button_hiscore_down.tga"}) {
    EXPECT_TRUE(has(name)) << name;
  }
  EXPECT_EQ(std::count_if(names.begin(), names.end(),
                          [](const std::string& n) { return n.rfind("sterlka", 0) == 0; }),
            36 + 4);
  // The environment loaded them all: asking again loads nothing new.
  const size_t loaded = TextureCatalogue::Instance().Count();
  for (const std::string& name : names) TextureCatalogue::Instance().Get(name);
  EXPECT_EQ(TextureCatalogue::Instance().Count(), loaded);
}

TEST(GameResources, GameSoundsPlayThroughTheirHandles) {
  ASSERT_EQ(&GetGameSound(), &GameSounds());
  EXPECT_EQ(GameSounds().HandleCount(), GameSoundNames().size());
  for (const std::string& name : GameSoundNames()) {
    ASSERT_NE(GameSounds().Find(name), nullptr) << name;
    EXPECT_FALSE(GameSounds().Find(name)->Empty()) << name;
  }
  const RecordedSound* boom = SoundRecorder().Find("boom.wav");
  ASSERT_NE(boom, nullptr);
  const int starts = boom->starts, stops = boom->stops;
  PlaySound("BOOM.wav");  // names are compared without regard to case
  EXPECT_EQ(boom->starts, starts + 1);
  EXPECT_FALSE(boom->repeat);
  StopSound("boom.wav");
  EXPECT_EQ(boom->stops, stops + 1);
}

TEST(GameResources, SoundOutsideTheSetIsLoadedOnItsFirstRequest) {
  GameSoundAdapter sounds;
  sounds.Stop("pic.wav");  // never asked for: nothing to stop, nothing loaded
  EXPECT_EQ(sounds.HandleCount(), 0u);
  sounds.Play("pic.wav");
  const RecordedSound* pic = SoundRecorder().Find("pic.wav");
  ASSERT_NE(pic, nullptr);
  const int starts = pic->starts;
  EXPECT_GE(starts, 1);
  sounds.Play("pic.wav");
  EXPECT_EQ(sounds.HandleCount(), 1u);
  EXPECT_EQ(pic->starts, starts + 1);
  sounds.Release();
  EXPECT_EQ(sounds.Find("pic.wav"), nullptr);
}

}  // namespace
}  // namespace tav::test
