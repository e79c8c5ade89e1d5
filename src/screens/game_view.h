// The game screen: a thin view while the game object runs the round; it only notices
// the end of the round and moves on to the scores.
#pragma once

#include "shell/view.h"

class GameView : public View {
  public:
    explicit GameView(SceneSurface* surface);
    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;
};
