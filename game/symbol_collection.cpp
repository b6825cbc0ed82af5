// The flights of magic symbols to their slots, their rewards and the completed set.
#include "game/symbol_collection.h"

#include <cmath>
#include <string>

#include "game/game_sound.h"
#include "game/random_source.h"
#include "game/score_store.h"

namespace tav {

void SymbolCollection::Clear() {
  for (Slot& slot : slots_) slot = Slot();
}

void SymbolCollection::Add(int x, int y, int index) {
  if (index < 0 || index >= kSymbolCount) return;
  Slot& slot = slots_[index];
  slot.flying = true;
  slot.flightTime = 0.0f;
  slot.sourceX = x;
  slot.sourceY = y;
  GetPresentation().StartSymbolBeams(index, {static_cast<float>(x), static_cast<float>(y)},
                                     TargetPoint(index));
  PlaySound("letter.wav");
}

void SymbolCollection::Update(float frameTime, int* blocksCleared) {
  Presentation& presentation = GetPresentation();
  for (int i = 0; i < kSymbolCount; ++i) {
    Slot& slot = slots_[i];
    if ((slot.flying && slot.flightTime >= kFlightTime) || slot.collected) {
      presentation.DrawSymbolSlot(i, true);
      slot.collected = true;
    } else {
      presentation.DrawSymbolSlot(i, false);
    }
    if (slot.flying && slot.flightTime < kFlightTime) {
      slot.flightTime += frameTime;
      if (slot.flightTime >= kFlightTime) {
        GamePoint target = TargetPoint(i);
        presentation.BoxBurst(target, 0.7f);
        PlaySound("buh.wav");
        Scores().AddScore(kSymbolPoints);
        float rise = 75.0f + RandomFloat(50.0f);
        presentation.AddText({"Magic Symbol", target.x, 36.0f, rise, 12.0f, 1, 1, 1, 80.0f});
        presentation.AddText({"+500", target.x, 16.0f, rise, 12.0f, 1, 1, 1, 80.0f});
      }
      presentation.DrawSymbolBeams(i);
    }
  }
  for (const Slot& slot : slots_) {
    if (!slot.collected) return;
  }
  for (int i = 0; i < kSymbolCount; ++i) presentation.BoxBurst(TargetPoint(i), 1.0f);
  PlaySound("super.wav");
  Scores().AddScore(kSetPoints);
  *blocksCleared += kSetBlocks;
  presentation.AddText(
      {"Chain of Magic Symbols", 494.0f, 35.0f, 150.0f, 12.0f, 1.0f, 0.9f, 0.0f, 80.0f});
  presentation.AddText({"+15000", 494.0f, 15.0f, 150.0f, 12.0f, 1.0f, 0.9f, 0.0f, 80.0f});
  for (Slot& slot : slots_) {
    slot.flying = false;
    slot.flightTime = 0.0f;
    slot.collected = false;
  }
}

}  // namespace tav
