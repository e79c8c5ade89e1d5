// The main menu: six tall buttons that slide into place when the menu is entered and
// become live once they have arrived. The sixth button carries the player's name.
#pragma once

#include <cstdint>
#include <memory>

#include "shell/view.h"

class Button;
class Image;
class Picture;
class PictureFont;
class Sprite;
class TextSprite;

class MainMenuView : public View {
  public:
    static constexpr int kButtons = 6;
    static constexpr int kNameButton = 5;
    static constexpr int kExitButton = 4;

    explicit MainMenuView(SceneSurface* surface);
    ~MainMenuView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    // The slide-in position is shared by every entry of the menu for the whole run;
    // this starts it over.
    static void ResetRunState();

    uint8_t animating = 0;
    Sprite* slideSprites[kButtons] = {};
    Picture* slidePictures[kButtons] = {};
    Sprite* nameSpritePressed = nullptr;
    Picture* namePressedPicture = nullptr;
    Button* buttons[kButtons] = {};
    PictureFont* nameFont = nullptr;
    TextSprite* nameLabel = nullptr;
    Image* nameFrames[2] = {};

  private:
    void finishSlideIn();
    void releaseAll();
};
