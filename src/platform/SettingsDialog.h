// The settings dialog "動作設定" (zunoplay --config): a check box
// "DirectSoundを使用する(&S)", the delay track bar 1..5 with its label
// "サウンドの遅延時間(&D)：" and value label "%dms", and the buttons "OK" and
// "キャンセル". The delay controls are enabled only while the box is clear.
//
// TSettingsDialogView is the dialog without a window (layout, drawing, mouse
// and keys); runSettingsDialog (sdl/SdlSettingsDialog.h) shows it in a small
// SDL window.
#pragma once

#include <cstdint>

namespace zuno {

struct TSettingsDialogState {
    bool                directSound = true;
    int32_t             position = 5;           // 1..5, hundreds of milliseconds
};

enum class TDialogResult { open, ok, cancel };

class TSettingsDialogView {
public:
    static constexpr int32_t kWidth = 270;      // client area
    static constexpr int32_t kHeight = 179;

    explicit            TSettingsDialogView(TSettingsDialogState state);

    TDialogResult       mouseDown(int32_t x, int32_t y);
    TDialogResult       mouseMove(int32_t x, int32_t y);                    // drags the track bar thumb
    TDialogResult       mouseUp(int32_t x, int32_t y);                      // a button acts on release over it
    TDialogResult       key(int32_t virtualKey, bool alt);                  // Enter OK, Escape cancel, Space/Alt+S box, arrows
    void                draw(uint32_t* pixels, int32_t pitch) const;        // kWidth × kHeight, 0x00RRGGBB
    const TSettingsDialogState& state() const { return FState; }

private:
    enum class TPart { none, box, track, ok, cancel };

    TPart               partAt(int32_t x, int32_t y) const;
    void                trackTo(int32_t x);

    TSettingsDialogState FState;
    TPart               FPressed = TPart::none;
    bool                FPressedInside = false;
};

} // namespace zuno
