// Stand-in pictures for the tests that draw the game screen, made by code: arrows
// that show their colour and direction, glows, bolts, panels and a font, each at
// the size the game's own picture has (read from assets/manifest.txt).
#pragma once

#include <string>

namespace tav::test {

// Writes every picture of the manifest into `dataFolder`.
void WriteScenePictures(const std::string& manifestPath, const std::string& dataFolder);

}  // namespace tav::test
