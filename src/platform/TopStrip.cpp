#include "platform/TopStrip.h"

#include "platform/PlainCanvas.h"

namespace zuno {

namespace {

constexpr int32_t kButtonTop = 2;

void drawButton(TPlainCanvas& c, int32_t left, bool pressed, const TLabelBitmap& text) {
    c.bevel(left, kButtonTop, kStripButtonWidth, kStripButtonHeight, pressed);
    int32_t shift = pressed ? 1 : 0;
    c.label(left + (kStripButtonWidth - text.width) / 2 + shift,
            kButtonTop + (kStripButtonHeight - text.height) / 2 + shift, text, 0x000000);
}

} // namespace

// ---------------------------------------------------------------- stripButtonAt

TStripButton stripButtonAt(int32_t x, int32_t y) {
    if (y < kButtonTop || y >= kButtonTop + kStripButtonHeight || x < 0)
        return TStripButton::none;
    if (x < kStripButtonWidth)
        return TStripButton::quit;
    if (x < 2 * kStripButtonWidth)
        return TStripButton::toggleFullScreen;
    return TStripButton::none;
}

// ---------------------------------------------------------------- drawStrip

void drawStrip(uint32_t* pixels, int32_t width, int32_t pitch, TStripButton pressed) {
    TPlainCanvas c(pixels, width, kStripHeight, pitch);
    c.fill(0, 0, width, kStripHeight, kFaceColour);
    c.hline(0, width - 1, kStripHeight - 1, kShadowColour);
    drawButton(c, 0, pressed == TStripButton::quit, labels::kLabelQuit);
    drawButton(c, kStripButtonWidth, pressed == TStripButton::toggleFullScreen, labels::kLabelSwitch);
}

// ---------------------------------------------------------------- TTopStrip

void TTopStrip::setFullScreen(bool on) {
    FFullScreen = on;
    FShownInFullScreen = false;
    FPressed = TStripButton::none;
}

bool TTopStrip::pointerMoved(int32_t y) {
    if (!FFullScreen)
        return false;
    bool show = FShownInFullScreen ? y < kStripHeight : y == 0;
    if (show == FShownInFullScreen)
        return false;
    FShownInFullScreen = show;
    return true;
}

bool TTopStrip::leftDown(TStripButton under) {
    if (under == TStripButton::none)
        return false;
    FPressed = under;
    return true;
}

bool TTopStrip::leftUp(TStripButton under, TStripButton& clicked) {
    clicked = TStripButton::none;
    if (FPressed == TStripButton::none)
        return false;
    if (under == FPressed)
        clicked = under;
    FPressed = TStripButton::none;
    return true;
}

} // namespace zuno
