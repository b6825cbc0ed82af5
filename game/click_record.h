// The mouse presses of the current frame, written by the game window when a press
// arrives and cleared by it at the end of every frame; the pieces read it.
#pragma once

namespace tav {

struct ClickPoint {
  int x = 0;
  int y = 0;
};

struct ClickRecord {
  bool leftClick = false;
  ClickPoint leftClickPos;
  bool rightClick = false;
  ClickPoint rightClickPos;

  void RecordLeft(int x, int y) {
    leftClick = true;
    leftClickPos = {x, y};
  }
  void RecordRight(int x, int y) {
    rightClick = true;
    rightClickPos = {x, y};
  }
  // Forgets the presses (positions stay, as they are read only with their flag).
  void Clear() {
    leftClick = false;
    rightClick = false;
  }
};

// The one process-wide record.
ClickRecord& Clicks();

}  // namespace tav
