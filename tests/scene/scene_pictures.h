// Test pictures for the game scene, drawn by code: arrows that show their colour
// and direction, glows, bolts, panels and a font, each at the size the game's
// own picture has (read from assets/manifest.txt).
#pragma once

#include <string>

namespace tav::scene {

// Writes every picture of the manifest into `dataFolder`.
void WriteScenePictures(const std::string& manifestPath, const std::string& dataFolder);

}  // namespace tav::scene
