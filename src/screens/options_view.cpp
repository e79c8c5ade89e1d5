#include "screens/options_view.h"

#include "audio/game_sound.h"
#include "audio/sound_ids.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"
#include "screens/button.h"
#include "screens/screen_helpers.h"
#include "screens/slider.h"
#include "screens/toggle_button.h"
#include "shell/app_context.h"
#include "shell/view_manager.h"

namespace {

constexpr int kVolumeMax = 70;
constexpr int kVolumeStep = 6;

int16_t asSliderValue(int32_t v) {
    // An out-of-range stored volume is left for the slider to replace with its middle.
    return v < 0 || v > 0x7FFF ? -1 : static_cast<int16_t>(v);
}

}  // namespace

OptionsView::OptionsView(SceneSurface* s) : View(s) {}
OptionsView::~OptionsView() = default;

void OptionsView::showSlider(Slider& slider) {
    if (!surface) return;
    surface->addSprite(&slider.sprite, 10);
    surface->markDirty(&slider.sprite);
    if (slider.knob) {
        surface->addSprite(&slider.knob->sprite, 11);
        surface->markDirty(&slider.knob->sprite);
    }
}

void OptionsView::redrawSlider(Slider& slider) {
    if (!surface) return;
    surface->markDirty(&slider.sprite);
    if (slider.knob) surface->markDirty(&slider.knob->sprite);
    surface->redrawDirty();
}

void OptionsView::OnEnter() {
    touched = 0;
    screens::paintPictureOnce(surface, PIC_OPTIONS_BACKGROUND, 240, 320, 0, 0);
    controlCount = 0;
    releaseControls();
    Settings* st = screens::settings();
    const bool animationOn = st ? st->menuAnimation != 0 : true;
    const bool effectsOn = st ? st->specialEffects != 0 : true;

    // A ticked box (state 0) means the switch is on.
    effectsToggle = std::make_unique<ToggleButton>();
    effectsToggle->Setup(kEffectsToggle, 144, 154, 26, 24, PIC_CHECK_TICKED, PIC_CHECK_EMPTY,
                         effectsOn ? 0 : 1, nullptr, 1, false, false, 100, 0xFFFF);
    AddControl(effectsToggle.get());
    DrawControl(effectsToggle.get(), 200);
    animationToggle = std::make_unique<ToggleButton>();
    animationToggle->Setup(kAnimationToggle, 144, 31, 26, 24, PIC_CHECK_TICKED, PIC_CHECK_EMPTY,
                           animationOn ? 0 : 1, nullptr, 1, false, false, 100, 0xFFFF);
    AddControl(animationToggle.get());
    DrawControl(animationToggle.get(), 200);

    musicSlider = std::make_unique<Slider>();
    musicSlider->Setup(0, 71, 21, 18, 184, 18, 35, PIC_MUSIC_TRACK, PIC_MUSIC_TRACK, PIC_KNOB,
                       PIC_KNOB_PRESSED, 0, kVolumeMax, asSliderValue(st ? st->musicVolume : 0),
                       kVolumeStep, 0, true, false, 100, 0xFFFF);
    musicSlider->visible = 1;
    showSlider(*musicSlider);
    soundSlider = std::make_unique<Slider>();
    soundSlider->Setup(0, 110, 21, 18, 184, 18, 35, PIC_SOUND_TRACK, PIC_SOUND_TRACK, PIC_KNOB,
                       PIC_KNOB_PRESSED, 0, kVolumeMax, asSliderValue(st ? st->soundVolume : 0),
                       kVolumeStep, 0, true, false, 100, 0xFFFF);
    soundSlider->visible = 1;
    showSlider(*soundSlider);

    okButton = std::make_unique<Button>();
    okButton->SetupPlain(kOk, 200, 140, 26, 42, PIC_OPTIONS_OK, PIC_OPTIONS_OK_PRESSED);
    AddControl(okButton.get());
    DrawControl(okButton.get(), 200);
    cancelButton = std::make_unique<Button>();
    cancelButton->SetupPlain(kCancel, 200, 14, 26, 112, PIC_OPTIONS_CANCEL,
                             PIC_OPTIONS_CANCEL_PRESSED);
    AddControl(cancelButton.get());
    DrawControl(cancelButton.get(), 200);

    if (st) savedSettings = st->block();
    if (surface) surface->redrawAll();
}

int OptionsView::HandleEvent(InputEvent& event) {
    Settings* st = screens::settings();
    GameSound* sound = appContext().sound;
    ViewManager* vm = screens::viewManager();

    if (OfferEvent(event)) {
        touched = 1;
        if (event.type == EV_CONTROL) {
            screens::playEffect(SOUND_BUTTON);
            if (event.keys[7] == kOk) {
                if (st) st->Save();
                if (vm) vm->GoBack();
                return 1;
            }
            if (event.keys[7] == kCancel) {
                if (st) {
                    st->block() = savedSettings;
                    if (sound) {
                        sound->SetMusicVolume(st->musicVolume);
                        sound->SetSoundVolume(st->soundVolume);
                    }
                }
                if (vm) vm->GoBack();
                return 1;
            }
        }
    }
    if (event.type == EV_TOGGLE) {
        touched = 1;
        if (st && event.keys[7] == kAnimationToggle) st->menuAnimation = !st->menuAnimation;
        if (st && event.keys[7] == kEffectsToggle) st->specialEffects = !st->specialEffects;
    }

    if (!musicSlider || !soundSlider) return 0;
    if (musicSlider->HandleInput(&event)) {
        touched = 1;
        redrawSlider(*soundSlider);
        if (event.type == EV_SLIDER_CHANGE) {
            const int v = Slider::notifiedValue(event);
            if (sound) {
                sound->SetMusicVolume(v);
                sound->StopAllSounds();
                // Restart the menu music so the new level is heard at once.
                sound->PlaySound(SOUND_MENU_MUSIC, true, true);
            }
            if (st) st->musicVolume = v;
            event.type = EV_NONE;
        }
    } else if (event.type == EV_PEN_DOWN && !touched) {
        // The first stray tap after entering is dropped; it never reaches the effect
        // volume slider.
        event.type = EV_NONE;
        touched = 1;
    } else if (soundSlider->HandleInput(&event)) {
        redrawSlider(*musicSlider);
        if (event.type == EV_SLIDER_CHANGE) {
            const int v = Slider::notifiedValue(event);
            if (sound) {
                sound->SetSoundVolume(v);
                sound->PlaySound(SOUND_VOLUME_SAMPLE, false, false);
            }
            if (st) st->soundVolume = v;
            event.type = EV_NONE;
        }
    }
    return 0;
}

void OptionsView::releaseControls() {
    musicSlider.reset();
    soundSlider.reset();
    for (Control* c :
         {static_cast<Control*>(effectsToggle.get()), static_cast<Control*>(animationToggle.get()),
          static_cast<Control*>(okButton.get()), static_cast<Control*>(cancelButton.get())}) {
        if (c) c->ReleasePictures();
    }
    effectsToggle.reset();
    animationToggle.reset();
    okButton.reset();
    cancelButton.reset();
}

void OptionsView::OnLeave() {
    ClearControls();
    releaseControls();
}
