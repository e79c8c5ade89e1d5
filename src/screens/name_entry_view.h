// The name entry screen: an on-screen keyboard of digits, capitals, a blank and a
// backspace for a player name of at most eight characters.
#pragma once

#include <cstdint>
#include <memory>

#include "shell/view.h"

class Button;
class Picture;
class PictureFont;
class Sprite;
class TextSprite;

class NameEntryView : public View {
  public:
    static constexpr int kMaxLength = 8;
    static constexpr int kKeys = 38;
    static constexpr uint16_t kOk = 0;
    static constexpr uint16_t kCancel = 1;
    static constexpr uint16_t kBackspace = 39;
    // Names keep a lower-case "a" where the player typed a blank.
    static constexpr char16_t kBlank = u'a';

    explicit NameEntryView(SceneSurface* surface);
    ~NameEntryView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    // The character a key button enters (0 for OK, Cancel and backspace).
    static char16_t characterFor(uint16_t buttonId);
    // Where a button sits and which picture it shows normally (pressed is the next one).
    struct Layout {
        int x, y, w, h, picture;
    };
    static Layout layoutFor(uint16_t buttonId);

    std::unique_ptr<Picture> backgroundPicture;
    std::unique_ptr<Sprite> background;
    PictureFont* font = nullptr;
    TextSprite* nameLabel = nullptr;
    char16_t name[kMaxLength + 1] = {};
    uint8_t length = 0;
    Button* okButton = nullptr;
    Button* cancelButton = nullptr;
    Button* keyButtons[kKeys] = {};

  private:
    void showName(bool centre);
    void releaseAll();
};
