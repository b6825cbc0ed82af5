// The game screen's resource set: every picture the game window, the pieces and
// their effects draw, and every sound the game plays. The application loads it
// once at start-up, after the package is mounted and the renderer and the sound
// device are up, and unloads it at teardown, after the windows are deleted.
#pragma once

#include <string>
#include <vector>

#include "screens/game_sound_adapter.h"

namespace tav {

// The pictures of the set, in loading order.
const std::vector<std::string>& GamePictureNames();
// The sounds of the set.
const std::vector<std::string>& GameSoundNames();

// Loads every picture into the texture catalogue (a missing one is the
// catalogue's fatal report), loads the sound handles and installs them as the
// game's sound output.
void LoadGameResources();
// Kills the particles and floating texts (they point at pictures), releases the
// sound handles and restores silence, and empties the texture catalogue. Nothing
// may draw a picture loaded before this afterwards.
void UnloadGameResources();

// The handles the game's sounds play through.
GameSoundAdapter& GameSounds();

}  // namespace tav
