// The six magic-symbol slots below the board. An exploding piece that carries a
// symbol sends it flying to its slot; it arrives 0.7 s later and pays 500 points;
// once all six slots hold a symbol, the set pays 15000 points and 25 blocks and
// the slots empty again.
#pragma once

#include "game/piece.h"
#include "game/presentation.h"

namespace tav {

class SymbolCollection {
 public:
  static constexpr float kFlightTime = 0.7f;
  static constexpr int kSymbolPoints = 500;
  static constexpr int kSetPoints = 15000;
  static constexpr int kSetBlocks = 25;

  struct Slot {
    bool flying = false;
    float flightTime = 0.0f;
    int sourceX = 0, sourceY = 0;
    bool collected = false;
  };

  SymbolCollection() { Clear(); }
  void Clear();
  // A piece carrying symbol `index` exploded at (x, y).
  void Add(int x, int y, int index);
  // Once per frame: flights, arrivals, the completed set; draws the slots.
  // `blocksCleared` is the board's progress counter.
  void Update(float frameTime, int* blocksCleared);

  const Slot& GetSlot(int index) const { return slots_[index]; }
  // The point beams and bursts of slot `index` aim at.
  static GamePoint TargetPoint(int index) {
    return {360.0f + 50.0f * static_cast<float>(index), 16.0f};
  }

 private:
  Slot slots_[kSymbolCount];
};

}  // namespace tav
