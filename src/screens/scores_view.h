// The scores screen: the table of the ten best scores (five at a time) and the
// statistics of the last round. After a round it first enters the round's score.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "persist/hiscore_table.h"
#include "shell/view.h"

class Button;
class ConfirmBox;
class PictureFont;
class Picture;
class Sprite;
class TextSprite;

class ScoresView : public View {
  public:
    static constexpr uint16_t kBack = 0;
    static constexpr uint16_t kClear = 1;
    static constexpr uint16_t kResults = 2;
    static constexpr uint16_t kTable = 3;

    explicit ScoresView(SceneSurface* surface);
    ~ScoresView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    // Paints a text once into the screen with its left edge at x and its bottom at y.
    void DrawText(std::u16string_view text, int x, int y);
    void DrawPage();

    // Makes the confirmation box (tests hand in one that reads scripted events).
    virtual std::unique_ptr<ConfirmBox> MakeConfirmBox();

    std::unique_ptr<Picture> backgroundPicture;
    std::unique_ptr<Sprite> background;
    Button* backButton = nullptr;
    Button* clearButton = nullptr;
    Button* resultsButton = nullptr;
    Button* tableButton = nullptr;
    PictureFont* font = nullptr;
    TextSprite* label = nullptr;
    HiScoreRecord newEntry{};
    int8_t firstRow = 0;
    uint8_t resultsPage = 0;

  private:
    void paintBackground();
    void swapPageButton(Button* show, Button* hide);
    void releaseAll();
};
