#include "platform/SettingsDialog.h"

#include <algorithm>

#include "platform/PlainCanvas.h"
#include "platform/VirtualKeys.h"

namespace zuno {

namespace {

// Layout of the client area.
constexpr int32_t kBoxX = 20, kBoxY = 24, kBoxSize = 13;
constexpr int32_t kBoxLabelX = 38, kBoxLabelY = 25;
constexpr int32_t kDelayLabelX = 20, kDelayLabelY = 54;
constexpr int32_t kTrackLeft = 34, kTrackStep = 48, kTrackY = 86;   // tick of position p at kTrackLeft + (p-1) × step
constexpr int32_t kThumbW = 11, kThumbH = 21;
constexpr int32_t kValueRight = 250, kValueY = 108;
constexpr int32_t kButtonY = 142, kButtonW = 75, kButtonH = 25, kOkX = 100, kCancelX = 183;

int32_t tickX(int32_t position) {
    return kTrackLeft + (position - 1) * kTrackStep;
}

bool inside(int32_t x, int32_t y, int32_t rx, int32_t ry, int32_t rw, int32_t rh) {
    return x >= rx && y >= ry && x < rx + rw && y < ry + rh;
}

const TLabelBitmap& valueLabel(int32_t position) {
    static const TLabelBitmap* values[] = {&labels::kLabel100ms, &labels::kLabel200ms, &labels::kLabel300ms,
                                           &labels::kLabel400ms, &labels::kLabel500ms};
    return *values[std::clamp(position, 1, 5) - 1];
}

} // namespace

// ---------------------------------------------------------------- TSettingsDialogView

TSettingsDialogView::TSettingsDialogView(TSettingsDialogState state) : FState(state) {
    FState.position = std::clamp(FState.position, 1, 5);
}

TSettingsDialogView::TPart TSettingsDialogView::partAt(int32_t x, int32_t y) const {
    if (inside(x, y, kBoxX, kBoxY - 2, kBoxLabelX - kBoxX + labels::kLabelDirectSound.width + 2, kBoxSize + 4))
        return TPart::box;
    if (!FState.directSound && inside(x, y, tickX(1) - 10, kTrackY - 12, tickX(5) - tickX(1) + 20, 26))
        return TPart::track;
    if (inside(x, y, kOkX, kButtonY, kButtonW, kButtonH))
        return TPart::ok;
    if (inside(x, y, kCancelX, kButtonY, kButtonW, kButtonH))
        return TPart::cancel;
    return TPart::none;
}

void TSettingsDialogView::trackTo(int32_t x) {
    int32_t p = (x - kTrackLeft + kTrackStep / 2);
    p = p < 0 ? 1 : p / kTrackStep + 1;
    FState.position = std::clamp(p, 1, 5);
}

TDialogResult TSettingsDialogView::mouseDown(int32_t x, int32_t y) {
    FPressed = partAt(x, y);
    FPressedInside = true;
    if (FPressed == TPart::track)
        trackTo(x);
    return TDialogResult::open;
}

TDialogResult TSettingsDialogView::mouseMove(int32_t x, int32_t y) {
    if (FPressed == TPart::track)
        trackTo(x);
    else if (FPressed != TPart::none)
        FPressedInside = partAt(x, y) == FPressed;
    return TDialogResult::open;
}

TDialogResult TSettingsDialogView::mouseUp(int32_t x, int32_t y) {
    TPart pressed = FPressed;
    FPressed = TPart::none;
    if (pressed == TPart::none || pressed == TPart::track || partAt(x, y) != pressed)
        return TDialogResult::open;
    if (pressed == TPart::box)
        FState.directSound = !FState.directSound;
    if (pressed == TPart::ok)
        return TDialogResult::ok;
    if (pressed == TPart::cancel)
        return TDialogResult::cancel;
    return TDialogResult::open;
}

TDialogResult TSettingsDialogView::key(int32_t virtualKey, bool alt) {
    if (virtualKey == vk::Return)
        return TDialogResult::ok;
    if (virtualKey == vk::Escape)
        return TDialogResult::cancel;
    if (virtualKey == vk::Space || (alt && virtualKey == vk::KeyA + ('S' - 'A')))
        FState.directSound = !FState.directSound;
    if (!FState.directSound) {
        if (virtualKey == vk::Left || virtualKey == vk::Down)
            FState.position = std::max(FState.position - 1, 1);
        if (virtualKey == vk::Right || virtualKey == vk::Up)
            FState.position = std::min(FState.position + 1, 5);
        if (virtualKey == vk::Home)
            FState.position = 1;
        if (virtualKey == vk::End)
            FState.position = 5;
    }
    return TDialogResult::open;
}

void TSettingsDialogView::draw(uint32_t* pixels, int32_t pitch) const {
    TPlainCanvas c(pixels, kWidth, kHeight, pitch);
    c.fill(0, 0, kWidth, kHeight, kFaceColour);

    // The etched frame around the controls.
    const int32_t fx = 8, fy = 8, fw = kWidth - 16, fh = 124;
    c.hline(fx, fx + fw - 2, fy, kShadowColour);
    c.vline(fx, fy, fy + fh - 2, kShadowColour);
    c.hline(fx, fx + fw - 2, fy + fh - 2, kShadowColour);
    c.vline(fx + fw - 2, fy, fy + fh - 2, kShadowColour);
    c.hline(fx + 1, fx + fw - 1, fy + 1, kLightColour);
    c.vline(fx + 1, fy + 1, fy + fh - 1, kLightColour);
    c.hline(fx, fx + fw - 1, fy + fh - 1, kLightColour);
    c.vline(fx + fw - 1, fy, fy + fh - 1, kLightColour);

    // The check box.
    c.fill(kBoxX, kBoxY, kBoxSize, kBoxSize, kLightColour);
    c.bevel(kBoxX, kBoxY, kBoxSize, kBoxSize, true);
    if (FState.directSound) {
        for (int32_t i = 0; i < 7; ++i) {
            int32_t x = kBoxX + 3 + i;
            int32_t y = i < 3 ? kBoxY + 5 + i : kBoxY + 7 - (i - 2);
            c.vline(x, y, y + 2, 0x000000);
        }
    }
    c.label(kBoxLabelX, kBoxLabelY, labels::kLabelDirectSound, 0x000000);

    // The delay label, the track bar and its value, greyed while disabled.
    bool enabled = !FState.directSound;
    if (enabled)
        c.label(kDelayLabelX, kDelayLabelY, labels::kLabelDelay, 0x000000);
    else
        c.disabledLabel(kDelayLabelX, kDelayLabelY, labels::kLabelDelay);
    c.bevel(tickX(1) - 4, kTrackY - 2, tickX(5) - tickX(1) + 8, 4, true);
    for (int32_t p = 1; p <= 5; ++p)
        c.vline(tickX(p), kTrackY + 12, kTrackY + 15, 0x000000);
    int32_t thumbX = tickX(FState.position) - kThumbW / 2;
    c.fill(thumbX, kTrackY - 10, kThumbW, kThumbH - 4, kFaceColour);
    c.bevel(thumbX, kTrackY - 10, kThumbW, kThumbH - 4, false);
    const TLabelBitmap& value = valueLabel(FState.position);
    if (enabled)
        c.label(kValueRight - value.width, kValueY, value, 0x000000);
    else
        c.disabledLabel(kValueRight - value.width, kValueY, value);

    // The buttons; OK is the default and carries the dark outer line.
    bool okDown = FPressed == TPart::ok && FPressedInside;
    bool cancelDown = FPressed == TPart::cancel && FPressedInside;
    c.fill(kOkX, kButtonY, kButtonW, kButtonH, kFaceColour);
    c.bevel(kOkX + 1, kButtonY + 1, kButtonW - 2, kButtonH - 2, okDown);
    c.hline(kOkX, kOkX + kButtonW - 1, kButtonY, 0x000000);
    c.hline(kOkX, kOkX + kButtonW - 1, kButtonY + kButtonH - 1, 0x000000);
    c.vline(kOkX, kButtonY, kButtonY + kButtonH - 1, 0x000000);
    c.vline(kOkX + kButtonW - 1, kButtonY, kButtonY + kButtonH - 1, 0x000000);
    c.bevel(kCancelX, kButtonY, kButtonW, kButtonH, cancelDown);
    int32_t s = okDown ? 1 : 0;
    c.label(kOkX + (kButtonW - labels::kLabelOk.width) / 2 + s, kButtonY + (kButtonH - labels::kLabelOk.height) / 2 + s,
            labels::kLabelOk, 0x000000);
    s = cancelDown ? 1 : 0;
    c.label(kCancelX + (kButtonW - labels::kLabelCancel.width) / 2 + s,
            kButtonY + (kButtonH - labels::kLabelCancel.height) / 2 + s, labels::kLabelCancel, 0x000000);
}

} // namespace zuno
