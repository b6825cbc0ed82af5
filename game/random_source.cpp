// The process-wide random source of the game.
#include "game/random_source.h"

#include <chrono>

namespace tav {
namespace {

uint64_t ClockSeed() {
  return static_cast<uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

// The game's own source: seeded from the clock the first time it is used, so that
// no two games refill alike, unless a seed was given before.
SeededRandom& BuiltInRandom() {
  static SeededRandom random(ClockSeed());
  return random;
}

RandomSource* g_randomSource = nullptr;

}  // namespace

void SeededRandom::Seed(uint64_t seed) {
  std::seed_seq sequence{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32)};
  engine_.seed(sequence);
}

void SetRandomSource(RandomSource* source) {
  g_randomSource = source;
}

RandomSource& GameRandom() {
  return g_randomSource ? *g_randomSource : BuiltInRandom();
}

void SeedGameRandom(uint64_t seed) {
  BuiltInRandom().Seed(seed);
}

void SeedGameRandomFromClock() {
  SeedGameRandom(ClockSeed());
}

uint32_t RandomNumber() {
  return GameRandom().Next();
}

int RandomBelow(int count) {
  if (count <= 0) return 0;
  return static_cast<int>(RandomNumber() % static_cast<uint32_t>(count));
}

float RandomFloat(float range) {
  // 24 random bits keep the result strictly below range in float arithmetic.
  float unit = static_cast<float>(RandomNumber() >> 8) / 16777216.0f;
  return unit * range;
}

}  // namespace tav
