#include "screens/screen_factory.h"

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

View* createScreen(uint8_t id, SceneSurface* surface) {
    switch (id) {
        case 0:
            return new MainMenuView(surface);
        case 1:
            return new GameView(surface);
        case 3:
            return new HelpView(surface);
        case 4:
            return new NameEntryView(surface);
        case 5:
            return new PauseMenuView(surface);
        case 7:
            return new ScoresView(surface);
        case 8:
            return new AboutView(surface);
        case 10:
            return new OptionsView(surface);
        case 11:
            return new CreditsView(surface);
        case 12:
            return new SplashView(surface);
        case 13:
            return new TransitionView(surface, 0);
        case 14:
            return new TitleView(surface);
        default:
            return nullptr;
    }
}
