#include "screens/splash_view.h"

#include "graphics/blitters.h"
#include "graphics/image.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"
#include "platform/platform.h"
#include "screens/button.h"
#include "screens/screen_helpers.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

namespace {

constexpr int kEmblemSize = 180;
constexpr uint32_t kSkippableMs = 2000;
constexpr uint32_t kFadePeriodMs = 70;
constexpr uint32_t kSpinPeriodMs = 50;
constexpr double kLastAngle = 184.0;

// Shared by every entry of the screen for the whole run.
uint32_t splashStart = 0;
float fadeAlphaValue = 0.0f;
uint32_t lastFadeTime = 0;
uint8_t secondLogoPendingFlag = 1;

}  // namespace

void SplashView::ResetRunState() {
    splashStart = 0;
    fadeAlphaValue = 0.0f;
    lastFadeTime = 0;
    secondLogoPendingFlag = 1;
}

float SplashView::fadeAlpha() {
    return fadeAlphaValue;
}
bool SplashView::secondLogoPending() {
    return secondLogoPendingFlag != 0;
}

SplashView::SplashView(SceneSurface* s) : View(s) {
    // Start-up is over once the first screen exists: drop the wait cursor.
    platform::showWaitCursor(false);
}

SplashView::~SplashView() = default;

void SplashView::OnEnter() {
    skipButton = std::make_unique<Button>();
    skipButton->SetupPlain(1, 180, 300, 46, 18, PIC_SKIP, PIC_SKIP_PRESSED);
    AddControl(skipButton.get());
    DrawControl(skipButton.get(), 200);

    logoPicture = std::make_unique<Image>();
    logoPicture->loadPicture(PIC_STUDIO_LOGO, 220, 212);
    lastSpinTime = 0;
    spinAngle = 90.0;
    presentTarget = surface ? surface->canvas.window : nullptr;
    if (Bitmap* b = surface ? surface->backBuffer() : nullptr) fillBitmap(*b, 0);
    screens::presentAll(surface);
}

void SplashView::OnLeave() {
    logoPicture.reset();
    // The skip button is normally out of the list already; a list left holding it would
    // point at a destroyed control.
    removeSkipButton();
    if (skipButton) skipButton->ReleasePictures();
    skipButton.reset();
}

void SplashView::removeSkipButton() {
    for (int i = controlCount - 1; i >= 0; --i) {
        if (controls[i] == skipButton.get()) RemoveControl(static_cast<uint8_t>(i));
    }
}

void SplashView::leaveForTitle() {
    removeSkipButton();
    if (ViewManager* vm = screens::viewManager()) vm->GoTo(VIEW_TITLE);
}

int SplashView::HandleEvent(InputEvent& event) {
    const uint32_t now = platform::tickCount();
    Bitmap* back = surface ? surface->backBuffer() : nullptr;

    if (splashStart == 0) {
        splashStart = now;
        screens::copyImage(surface, logoPicture.get(), 10, 53);
        screens::presentAll(surface);
        if (surface && skipButton) {
            surface->markDirty(&skipButton->sprite);
            surface->redrawAll();
        }
        return 1;
    }

    if (now - splashStart < kSkippableMs) {
        if (OfferEvent(event)) leaveForTitle();
        return 1;
    }

    if (secondLogoPendingFlag) {
        if (!logoPicture) logoPicture = std::make_unique<Image>();
        logoPicture->loadPicture(PIC_EMBLEM, kEmblemSize, kEmblemSize);
        if (back) fillBitmap(*back, 0);
        screens::presentAll(surface);
        secondLogoPendingFlag = 0;
        return 1;
    }

    // The emblem's black background is its colour key, so only the bird fades in.
    if (static_cast<double>(fadeAlphaValue) < 1.0) {
        if (now - lastFadeTime > kFadePeriodMs) {
            lastFadeTime = now;
            fadeAlphaValue += 0.1f;
            if (back && logoPicture && logoPicture->bitmap) {
                Rect part{0, 0, kEmblemSize, kEmblemSize};
                int x = 30, y = 70;
                if (screens::clipToTarget(part, x, y, logoPicture->bitmap->width,
                                          logoPicture->bitmap->height, back->width, back->height)) {
                    keyedAlphaRect(*logoPicture->bitmap, *back, x, y, part, 0, fadeAlphaValue);
                }
            }
            screens::presentAll(surface);
        }
        return 1;
    }

    if (spinAngle < kLastAngle) {
        if (now - lastSpinTime > kSpinPeriodMs) {
            lastSpinTime = now;
            if (back) {
                fillBitmap(*back, 0);
                if (logoPicture && logoPicture->bitmap) {
                    rotateInto(*logoPicture->bitmap, *back, Rect{30, 70, 210, 250}, spinAngle);
                }
            }
            screens::presentAll(surface);
            spinAngle += 4.0;
        }
        return 1;
    }

    leaveForTitle();
    return 1;
}
