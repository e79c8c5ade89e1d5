// The about box: one picture over the help screen (greyed when menus are animated);
// any tap closes it.
#pragma once

#include "shell/view.h"

class AboutView : public View {
  public:
    explicit AboutView(SceneSurface* surface);
    ~AboutView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;
};
