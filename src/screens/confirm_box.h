// The small modal box that asks whether every high-score record is to be deleted. It
// reads the window's messages itself until the player answers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "graphics/bitmap.h"
#include "shell/input_event.h"

class Image;
class Surface;

class ConfirmBox {
  public:
    // Where the box takes its next event from; false when there are no more (the window
    // was closed). The default reads the application's messages.
    using EventSource = std::function<bool(InputEvent&)>;

    explicit ConfirmBox(Surface* surface, EventSource source = {});
    virtual ~ConfirmBox();
    ConfirmBox(const ConfirmBox&) = delete;
    ConfirmBox& operator=(const ConfirmBox&) = delete;

    // 1 for OK, 0 for Cancel. A closed window counts as Cancel.
    virtual uint8_t Run();

    Surface* surface;
    std::unique_ptr<Image> box;
    std::unique_ptr<Image> okPressed;
    std::unique_ptr<Image> cancelPressed;
    Rect boxArea{69, 75, 169, 243};
    Rect okArea{137, 190, 161, 230};
    Rect cancelArea{137, 84, 161, 170};

  private:
    EventSource source;
};

// Edges count as inside.
bool insideInclusive(const Rect& r, int x, int y);
