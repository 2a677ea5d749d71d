#include <algorithm>
#include <climits>
#include <unordered_set>

#include "core/StreamFields.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoCustomImage.h"

namespace zuno {

TZunoTile::TZunoTile() = default;
TZunoTile::~TZunoTile() { FFrames.Clear(); }

void TZunoTile::SetSource(const std::string& text) {
    if (text == FSource)
        return;
    Invalidate();
    FSource = text;
    SetIndex(-1);
    FImage = nullptr;
    FMask = nullptr;
    FFrames.Clear();
    FreeMotion();
    if (fileExtensionLower(text) == ".zmt") {
        LoadMotion(text);
        RestartMotion();
    } else if (!text.empty()) {
        FFrames.Load(text);
    }
    if (FFrames.Count() > 0)
        SetIndex(0);
    Invalidate();
}

// A tile keeps the size it was given; only a tile still without a size
// takes its picture's.
void TZunoTile::RecomputeWidth() {
    if (FWidth == 0)
        TZunoCustomImages::RecomputeWidth();
}

void TZunoTile::RecomputeHeight() {
    if (FHeight == 0)
        TZunoCustomImages::RecomputeHeight();
}

bool TZunoTile::ImplementsProperty(int id) const {
    switch (id) {
    case PR_SOURCE: case PR_REPEAT: case PR_ONIDLE: case PR_SCROLLX: case PR_SCROLLY: case PR_DISTANCEX:
    case PR_DISTANCEY: case PR_ANGLE:
        return true;
    default:
        return TZunoCustomImages::ImplementsProperty(id);
    }
}

TPropValue TZunoTile::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:    return TPropValue::ofStr(FSource);
    case PR_REPEAT:    return TPropValue::ofBool(FRepeat);
    case PR_ONIDLE:    return TPropValue::ofStr(FOnIdle);
    case PR_SCROLLX:   return TPropValue::ofInt(FScrollX);
    case PR_SCROLLY:   return TPropValue::ofInt(FScrollY);
    case PR_DISTANCEX: return TPropValue::ofInt(FDistanceX);
    case PR_DISTANCEY: return TPropValue::ofInt(FDistanceY);
    case PR_ANGLE:     return TPropValue::ofInt(FTileAngle);
    default:           return TZunoCustomImages::GetProp(id);
    }
}

void TZunoTile::SetProp(int id, const TPropValue& v) {
    auto repaint = [this](int32_t& field, int32_t value) {
        if (field == value)
            return;
        field = value;
        Invalidate();
        PositionChanged();                  // children scroll with the tiles
    };
    switch (id) {
    case PR_SOURCE:    SetSource(v.Str); return;
    case PR_REPEAT:    FRepeat = v.Bool; return;
    case PR_ONIDLE:    FOnIdle = v.Str; return;
    case PR_SCROLLX:   repaint(FScrollX, v.Int); return;
    case PR_SCROLLY:   repaint(FScrollY, v.Int); return;
    case PR_DISTANCEX: repaint(FDistanceX, std::max(0, v.Int)); return;
    case PR_DISTANCEY: repaint(FDistanceY, std::max(0, v.Int)); return;
    case PR_ANGLE:
        if (v.Int != FTileAngle) {
            Invalidate();
            FTileAngle = v.Int;
            Invalidate();
        }
        return;
    // The size is the tile's own: writing it does not touch the zoom.
    case PR_WIDTH:     SetWidth(v.Int); return;
    case PR_HEIGHT:    SetHeight(v.Int); return;
    default:           TZunoCustomImages::SetProp(id, v); return;
    }
}

bool TZunoTile::turned() const {
    return FTileAngle != 0 && int64_t(FWidth) * FHeight <= kMaxTurnedPixels;
}

TRect TZunoTile::DrawnArea() {
    if (!turned())
        return GetClientRect();
    const TRect dest = GetClientRect();
    return TCustomDIBX::GetRotateBounds(dest.Left + FOffsetX, dest.Top + FOffsetY, TRect(0, 0, FWidth, FHeight),
                                        FOffsetX, FOffsetY, false, false, FTileAngle & 0xFF, 256, 256);
}

void TZunoTile::drawTiles(TCustomDIBX& s, const TRect& dest, TCustomDIBX& picture, TCustomDIBX* mask,
                          int32_t alpha) {
    const TRect whole(0, 0, picture.GetWidth(), picture.GetHeight());
    const bool keyed = picture.TransparentColor != -1;
    // Scrolling moves the tiles the other way, as the view moves over them.
    const int32_t px = FScrollX == INT32_MIN ? INT32_MAX : -FScrollX;
    const int32_t py = FScrollY == INT32_MIN ? INT32_MAX : -FScrollY;
    const int32_t zx = std::max(1, FZoomX), zy = std::max(1, FZoomY);
    if (zx != 256 || zy != 256) {
        if (mask)
            s.DrawZoomTileMask(dest, FDistanceX, FDistanceY, px, py, zx, zy, alpha, *mask, whole, picture);
        else
            s.DrawZoomTile(dest, FDistanceX, FDistanceY, px, py, zx, zy, alpha, keyed, whole, picture);
        return;
    }
    const int32_t add = std::min(alpha - 256, 255);
    if (mask) {
        if (alpha < 255)
            s.DrawTileAlphaMask(dest, FDistanceX, FDistanceY, px, py, alpha, *mask, whole, picture);
        else if (alpha == 255)
            s.DrawTileMask(dest, FDistanceX, FDistanceY, px, py, *mask, whole, picture);
        else
            s.DrawTileAddMask(dest, FDistanceX, FDistanceY, px, py, add, *mask, whole, picture);
    } else {
        if (alpha < 255)
            s.DrawTileAlpha(dest, FDistanceX, FDistanceY, px, py, alpha, keyed, whole, picture);
        else if (alpha == 255)
            s.DrawTile(dest, FDistanceX, FDistanceY, px, py, keyed, whole, picture);
        else
            s.DrawTileAdd(dest, FDistanceX, FDistanceY, px, py, add, whole, picture);
    }
}

// The tiles are laid on a picture of the control's size, which is then
// turned onto the screen. A picture with a mask lays its mask the same way;
// any other marks what no tile covers with a key colour: its own key, or
// the smallest pixel value the picture does not use.
void TZunoTile::drawTurned(TCustomDIBX& s, TCustomDIBX& picture, TCustomDIBX* mask) {
    const TRect area(0, 0, FWidth, FHeight);
    const TRect dest = GetClientRect();
    const int32_t angle = FTileAngle & 0xFF;
    TDIBX laid(FWidth, FHeight, picture.GetBitCount());
    if (mask) {
        drawTiles(laid, area, picture, nullptr, 255);
        TDIBX cover(FWidth, FHeight, 8);
        cover.FillRect(area, 0);
        drawTiles(cover, area, *mask, nullptr, 255);
        s.DrawRotateMask(dest.Left + FOffsetX, dest.Top + FOffsetY, FAlpha, cover, false, false, angle, FOffsetX,
                         FOffsetY, 256, 256, area, laid);
        return;
    }
    uint32_t key = static_cast<uint32_t>(picture.TransparentColor);
    if (picture.TransparentColor == -1) {
        std::unordered_set<uint32_t> used;
        for (int32_t y = 0; y < picture.GetHeight(); ++y)
            for (int32_t x = 0; x < picture.GetWidth(); ++x)
                used.insert(picture.GetPixel(x, y));
        key = 0;
        while (used.count(key))
            ++key;
    }
    laid.FillRect(area, key);
    drawTiles(laid, area, picture, nullptr, 255);
    laid.TransparentColor = static_cast<int32_t>(key);
    s.DrawRotate(dest.Left + FOffsetX, dest.Top + FOffsetY, FAlpha, false, false, true, angle, FOffsetX, FOffsetY, 256,
                 256, area, laid);
}

void TZunoTile::DrawImage() {
    TCustomDIBX* s = GetSurface();
    TCustomDIBX* picture = GetImage();
    if (!s || !picture || picture->IsEmpty() || FAlpha < 1 || FAlpha >= 512 || FWidth < 1 || FHeight < 1)
        return;
    if (turned())
        drawTurned(*s, *picture, GetMask());
    else
        drawTiles(*s, GetClientRect(), *picture, GetMask(), FAlpha);
}

void TZunoTile::SaveToStream(TStream& s) {
    TZunoCustomImages::SaveToStream(s);
    WriteString(s, FSource);
    WriteBool(s, FRepeat);
    WriteString(s, FOnIdle);
    for (int32_t v : {FTileAngle, FScrollX, FScrollY, FDistanceX, FDistanceY})
        WriteInt(s, v);
}

void TZunoTile::LoadFromStream(TStream& s, int32_t version) {
    TZunoCustomImages::LoadFromStream(s, version);
    const std::string source = ReadString(s);
    FRepeat = ReadBool(s);
    FOnIdle = ReadString(s);
    for (int32_t* v : {&FTileAngle, &FScrollX, &FScrollY, &FDistanceX, &FDistanceY})
        *v = ReadInt(s);
    FDistanceX = std::max(0, FDistanceX);
    FDistanceY = std::max(0, FDistanceY);
    const int32_t timeLeft = FTimeLeft;
    const int32_t index = FLoadedIndex;
    FSource.clear();
    SetSource(source);
    SetIndex(index);
    FTimeLeft = timeLeft;
}

void TZunoTile::ReleaseSurfaces() {
    TZunoCustomImages::ReleaseSurfaces();
    FFrames.ReleaseCopies();
}

void TZunoTile::RestoreSurfaces() {
    FFrames.RestoreCopies();
    TZunoCustomImages::RestoreSurfaces();
}

} // namespace zuno
