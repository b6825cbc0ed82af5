// The random numbers the game draws: piece kinds, directions, magic-symbol letters,
// the "Extra Bonus" blasts. One process-wide source, replaceable so that tests and
// the simulator can replay a game exactly.
#pragma once

#include <cstdint>
#include <random>

namespace tav {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A uniformly distributed 32-bit number.
  virtual uint32_t Next() = 0;
};

// A deterministic generator: the same seed gives the same sequence on every machine.
class SeededRandom : public RandomSource {
 public:
  explicit SeededRandom(uint64_t seed = 1) { Seed(seed); }
  void Seed(uint64_t seed);
  uint32_t Next() override { return static_cast<uint32_t>(engine_()); }

 private:
  std::mt19937 engine_;
};

// Installs the process-wide source (not owned). Null restores the built-in one,
// which seeds itself from the clock on first use.
void SetRandomSource(RandomSource* source);
RandomSource& GameRandom();

// Seeds the built-in source: with a fixed number to replay a game, or again from
// the clock.
void SeedGameRandom(uint64_t seed);
void SeedGameRandomFromClock();

// Shorthands on the installed source.
uint32_t RandomNumber();
// A number in 0 ... count - 1 (count > 0).
int RandomBelow(int count);
// A float in [0, range).
float RandomFloat(float range);

}  // namespace tav
