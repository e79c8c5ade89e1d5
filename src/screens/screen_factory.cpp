#include "screens/screen_factory.h"

#include "game/game.h"
#include "screens/about_view.h"
#include "screens/credits_view.h"
#include "screens/game_view.h"
#include "screens/help_view.h"
#include "screens/main_menu_view.h"
#include "screens/name_entry_view.h"
#include "screens/options_view.h"
#include "screens/pause_menu_view.h"
#include "screens/scores_view.h"
#include "screens/splash_view.h"
#include "screens/title_view.h"
#include "screens/transition_view.h"
#include "shell/app_context.h"
#include "shell/view_ids.h"

View* createScreen(ViewId id, SceneSurface* surface) {
    switch (id) {
        case VIEW_MAIN_MENU:
            return new MainMenuView(surface);
        case VIEW_GAME:
            return new GameView(surface);
        case VIEW_HELP:
            return new HelpView(surface);
        case VIEW_NAME_ENTRY:
            return new NameEntryView(surface);
        case VIEW_PAUSE_MENU:
            return new PauseMenuView(surface);
        case VIEW_SCORES:
            return new ScoresView(surface);
        case VIEW_ABOUT:
            return new AboutView(surface);
        case VIEW_OPTIONS:
            return new OptionsView(surface);
        case VIEW_CREDITS:
            return new CreditsView(surface);
        case VIEW_SPLASH:
            return new SplashView(surface);
        case VIEW_TRANSITION:
            return new TransitionView(surface, VIEW_MAIN_MENU);
        case VIEW_TITLE:
            return new TitleView(surface);
        default:
            return nullptr;
    }
}

GameObject* createGame() {
    Game* game = new Game(createScreen);
    appContext().game = game;
    return game;
}
