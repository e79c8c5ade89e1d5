#include "screens/game_view.h"

#include "game/game.h"
#include "persist/settings.h"
#include "shell/app_context.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

GameView::GameView(SceneSurface* surface) : View(surface) {}

void GameView::OnEnter() {}

void GameView::OnLeave() {}

int GameView::HandleEvent(InputEvent& event) {
    const AppContext& app = appContext();
    if (event.type == EV_NONE && app.settings != nullptr && app.settings->resultPending) {
        if (app.viewManager != nullptr) app.viewManager->GoTo(VIEW_SCORES, 0);
        if (app.game != nullptr) app.game->EndRound();
        return 1;
    }
    return 0;
}
