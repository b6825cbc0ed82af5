// Looks up pictures and quads in what the recording renderer saw.
#include "tests/support/recorded_draws.h"

#include "render/texture_catalogue.h"

namespace tav::test {

RecordingRenderer& Recorder() {
  static RecordingRenderer renderer;
  return renderer;
}

unsigned TextureOf(const std::string& pictureName) {
  Texture& texture = TextureCatalogue::Instance().Get(pictureName);
  return texture.actions.at(0)->frames.at(0).glName;
}

std::vector<RecordedCall> DrawsOf(const std::string& pictureName) {
  const unsigned texture = TextureOf(pictureName);
  std::vector<RecordedCall> draws;
  for (const RecordedCall& call : Recorder().Draws()) {
    if (call.boundTexture == texture) draws.push_back(call);
  }
  return draws;
}

float QuadLeft(const RecordedCall& quad) {
  return quad.vertices.at(0).x;
}
float QuadBottom(const RecordedCall& quad) {
  return quad.vertices.at(0).y;
}

float CentreX(const RecordedCall& quad) {
  float sum = 0;
  for (const Vertex& vertex : quad.vertices) sum += vertex.x;
  return sum / static_cast<float>(quad.vertices.size());
}

float CentreY(const RecordedCall& quad) {
  float sum = 0;
  for (const Vertex& vertex : quad.vertices) sum += vertex.y;
  return sum / static_cast<float>(quad.vertices.size());
}

}  // namespace tav::test
