// Keyboard, mouse, touch screen and game controllers as the handheld's messages. The
// rules are in desktop_mapping and gamepad_mapping; this file only reads SDL's events
// and states into them.
#include <algorithm>

#include "platform/sdl/desktop_state.h"
#include "platform/sdl/desktop_window.h"

namespace platform::desktop {
namespace {

bool mapKey(SDL_Keycode sym, DesktopKey& key) {
    struct Entry {
        SDL_Keycode sym;
        DesktopKey key;
    };
    static constexpr Entry kKeys[] = {
        {SDLK_LEFT, DesktopKey::Left},    {SDLK_RIGHT, DesktopKey::Right},
        {SDLK_UP, DesktopKey::Up},        {SDLK_DOWN, DesktopKey::Down},
        {SDLK_RETURN, DesktopKey::Enter}, {SDLK_KP_ENTER, DesktopKey::Enter},
        {SDLK_SPACE, DesktopKey::Space},  {SDLK_1, DesktopKey::Digit1},
        {SDLK_2, DesktopKey::Digit2},     {SDLK_3, DesktopKey::Digit3},
        {SDLK_4, DesktopKey::Digit4},     {SDLK_ESCAPE, DesktopKey::Escape},
        {SDLK_p, DesktopKey::P},          {SDLK_PAUSE, DesktopKey::P},
        {SDLK_F11, DesktopKey::F11},
    };
    for (const Entry& e : kKeys) {
        if (e.sym == sym) {
            key = e.key;
            return true;
        }
    }
    return false;
}

void push(bool made, const Message& m) {
    if (made) state().pending.push_back(m);
}

void key(const SDL_KeyboardEvent& ev) {
    DesktopKey k;
    if (!mapKey(ev.keysym.sym, k)) return;
    Message m;
    const bool alt = (ev.keysym.mod & KMOD_ALT) != 0;
    switch (keyAction(k, ev.type == SDL_KEYDOWN, ev.repeat != 0, alt, m)) {
        case KeyAction::Send:
            state().pending.push_back(m);
            return;
        case KeyAction::ToggleFullscreen:
            toggleFullscreen();
            return;
        case KeyAction::Nothing:
            return;
    }
}

// The mouse takes over from a controller: its aim mark goes.
void mouseUsed() {
    Desktop& d = state();
    if (!d.pad.markShown()) return;
    d.pad.hideMark();
    d.presenter.setMark(false, 0, 0);
}

void mouseButton(const SDL_MouseButtonEvent& ev) {
    Desktop& d = state();
    const bool down = ev.type == SDL_MOUSEBUTTONDOWN;
    mouseUsed();
    Message m;
    if (ev.button == SDL_BUTTON_LEFT) {
        const WindowGeometry g = d.presenter.geometry();
        push(down ? d.stylus.press(g, ev.x, ev.y, m) : d.stylus.release(g, ev.x, ev.y, m), m);
    } else if (ev.button == SDL_BUTTON_RIGHT) {
        d.pending.push_back(Message{down ? MSG_HOTKEY : MSG_KEYUP, kRightButtonHotKey, 0});
    }
}

void finger(const SDL_TouchFingerEvent& ev) {
    Desktop& d = state();
    // One finger is the stylus; the others are ignored until it lifts.
    if (ev.type == SDL_FINGERDOWN && d.fingerDown) return;
    if (ev.type != SDL_FINGERDOWN && (!d.fingerDown || ev.fingerId != d.finger)) return;
    const WindowGeometry g = d.presenter.geometry();
    const double wx = ev.x * g.windowWidth, wy = ev.y * g.windowHeight;
    Message m;
    switch (ev.type) {
        case SDL_FINGERDOWN:
            mouseUsed();
            d.finger = ev.fingerId;
            d.fingerDown = d.stylus.press(g, wx, wy, m);
            push(d.fingerDown, m);
            return;
        case SDL_FINGERMOTION:
            push(d.stylus.move(g, wx, wy, m), m);
            return;
        default:
            d.fingerDown = false;
            push(d.stylus.release(g, wx, wy, m), m);
            return;
    }
}

}  // namespace

void translateInput(const SDL_Event& ev) {
    Desktop& d = state();
    Message m;
    switch (ev.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            key(ev.key);
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            // A finger is read as a finger, not as the mouse SDL makes of it.
            if (ev.button.which != SDL_TOUCH_MOUSEID) mouseButton(ev.button);
            return;
        case SDL_MOUSEMOTION:
            if (ev.motion.which == SDL_TOUCH_MOUSEID) return;
            mouseUsed();
            push(d.stylus.move(d.presenter.geometry(), ev.motion.x, ev.motion.y, m), m);
            return;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            finger(ev.tfinger);
            return;
        default:
            return;
    }
}

// Controllers are read rather than listened to: with controller events on, SDL's event
// wait turns into a poll every millisecond for as long as one is plugged in.
void pollControllers() {
    Desktop& d = state();
    if (!d.controllersStarted) {
        d.controllersStarted = true;
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
        SDL_GameControllerEventState(SDL_IGNORE);
        SDL_JoystickEventState(SDL_IGNORE);
    }
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) return;
    SDL_GameControllerUpdate();  // also notices controllers plugged in or out
    std::vector<Message> out;
    auto& open = d.controllers;
    for (auto it = open.begin(); it != open.end();) {
        if (SDL_GameControllerGetAttached(*it)) {
            ++it;
            continue;
        }
        SDL_GameControllerClose(*it);
        it = open.erase(it);
        if (open.empty()) d.pad.releaseAll(out);
    }
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (!SDL_IsGameController(i)) continue;
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        const bool known = std::any_of(open.begin(), open.end(), [id](SDL_GameController* c) {
            return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)) == id;
        });
        if (!known) {
            if (SDL_GameController* c = SDL_GameControllerOpen(i)) open.push_back(c);
        }
    }
    // Several controllers act as one: a button is held while any holds it.
    static constexpr std::pair<SDL_GameControllerButton, PadButton> kButtons[] = {
        {SDL_CONTROLLER_BUTTON_A, PadButton::A},
        {SDL_CONTROLLER_BUTTON_B, PadButton::B},
        {SDL_CONTROLLER_BUTTON_START, PadButton::Start},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PadButton::LeftShoulder},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadButton::RightShoulder},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, PadButton::DpadUp},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButton::DpadDown},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadButton::DpadLeft},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadButton::DpadRight},
    };
    const uint32_t now = SDL_GetTicks();
    const uint32_t elapsed = now - d.lastPadTick;
    d.lastPadTick = now;
    if (!open.empty()) {
        for (const auto& [sdlButton, button] : kButtons) {
            const bool held = std::any_of(open.begin(), open.end(), [b = sdlButton](auto* c) {
                return SDL_GameControllerGetButton(c, b) != 0;
            });
            d.pad.button(button, held, out);
        }
        int trigger = 0, sx = 0, sy = 0;
        for (SDL_GameController* c : open) {
            trigger = std::max<int>(trigger,
                                    SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
            const int x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
            const int y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
            // The stick pushed furthest steers.
            if (std::abs(x) + std::abs(y) > std::abs(sx) + std::abs(sy)) {
                sx = x;
                sy = y;
            }
        }
        d.pad.rightTrigger(trigger, out);
        d.pad.stick(sx, sy);
        d.pad.advance(elapsed, out);
    }
    d.pending.insert(d.pending.end(), out.begin(), out.end());
    d.presenter.setMark(d.pad.markShown(), d.pad.markX(), d.pad.markY());
}

void closeControllers() {
    for (SDL_GameController* c : state().controllers) SDL_GameControllerClose(c);
    state().controllers.clear();
}

}  // namespace platform::desktop
