// Switching between the full-screen views, and the history for going back.
#include "shell/view_manager.h"

#include "platform/platform.h"
#include "shell/view.h"

namespace {
void report(const char* text) {
    platform::messageBox(text, "", platform::BoxIcon::None);
}
}  // namespace

void ViewManager::AddView(View* view, int id) {
    const uint8_t slot = static_cast<uint8_t>(id);
    if (slot >= kMaxViews) {
        report("More views than are permited");
        return;
    }
    views[slot] = view;
}

void ViewManager::StartWith(uint8_t id) {
    if (viewAt(id) == nullptr) {
        report("This view is not added to View List");
        return;
    }
    nextId = currentId = id;
    views[id]->OnEnter();
}

void ViewManager::GoTo(uint8_t id) {
    GoTo(id, 0);
}

void ViewManager::GoTo(uint8_t id, uint8_t remember) {
    previousId = currentId;
    if (viewAt(id) == nullptr) {
        report("Not such View in View List");
        return;
    }
    nextId = id;
    if (remember != 1) return;
    // Twenty slots but at most nineteen usable entries: a push onto a full stack
    // overwrites the slot past the top and is lost. (A depth set from outside is held
    // inside the array as well.)
    if (historyDepth >= kMaxViews) historyDepth = kMaxViews - 1;
    history[historyDepth] = currentId;
    if (++historyDepth >= kMaxViews) historyDepth = kMaxViews - 1;
}

void ViewManager::GoBack() {
    previousId = currentId;
    if (historyDepth > kMaxViews) historyDepth = kMaxViews;  // a depth set from outside
    // Nothing to go back to: stay where we are rather than wrap the depth around.
    if (historyDepth == 0) {
        nextId = currentId;
        return;
    }
    --historyDepth;
    nextId = history[historyDepth];
}

int ViewManager::Dispatch(InputEvent& event) {
    View* current = viewAt(currentId);
    if (current == nullptr) return 0;  // nothing started yet
    // A switch to a slot that was emptied since it was requested does not happen.
    if (nextId != currentId && viewAt(nextId) == nullptr) nextId = currentId;
    if (nextId != currentId) {
        current->OnLeave();
        currentId = nextId;
        current = views[currentId];
        current->OnEnter();
        event.type = EV_VIEW_ENTER;
    }
    const int result = current->HandleEvent(event);
    if (result == 2) current->OnLeave();
    return result;
}
