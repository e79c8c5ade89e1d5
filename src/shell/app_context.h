// The long-lived objects that every part of the program reaches through the
// application: set by the application at start-up (and by tests).
#pragma once

class Settings;
class GameSound;
class ViewManager;
class Game;

struct AppContext {
    Settings* settings = nullptr;
    GameSound* sound = nullptr;
    ViewManager* viewManager = nullptr;
    Game* game = nullptr;
};

AppContext& appContext();
