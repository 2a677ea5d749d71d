// The one item interface through which sound and movie objects drive every
// kind of media, and the owning manager base that suspends, resumes and
// silences its items. Volumes are hundredths of a decibel (0 full, -10000
// silent), pans -10000 (left) .. 10000 (right), times milliseconds.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace zuno {

class TDMediaManager;
class TDIBX;

class TDMediaItem {
public:
    virtual             ~TDMediaItem() = default;

    virtual bool        GetAutoRepeat() { return false; }
    virtual void        SetAutoRepeat(bool) {}
    virtual int32_t     GetRepeatPos() { return 0; }
    virtual void        SetRepeatPos(int32_t) {}
    virtual int32_t     GetPan() { return 0; }
    virtual int32_t     GetVolume() { return 0; }
    virtual void        SetPan(int32_t) {}
    virtual void        SetVolume(int32_t) {}
    virtual int32_t     GetPosition() { return 0; }
    virtual void        SetPosition(int32_t) {}              // negative values become 0
    virtual int32_t     GetLength() { return 0; }
    virtual bool        IsEnd() { return false; }
    virtual bool        IsPlaying() { return false; }
    virtual bool        IsPaused() { return false; }
    virtual void        Play() {}
    virtual void        Pause() {}

    bool                SuspendMark = false;                  // set by the manager's Suspend
};

// Movie items add the picture.
class TVideoItem : public TDMediaItem {
public:
    virtual int32_t     GetSourceHeight() { return 0; }
    virtual int32_t     GetSourceWidth() { return 0; }
    virtual bool        GetVisible() { return false; }
    virtual void        SetVisible(bool) {}
    virtual bool        NeedPaint() { return false; }
    // The screen and clip rectangles (left, top, right, bottom) of an overlay.
    virtual void        SetRect(const int32_t screen[4], const int32_t clip[4]) { (void)screen; (void)clip; }
    // The current frame as a 32-bit picture of the source size, or none.
    virtual TDIBX*      GetFrame() { return nullptr; }
    virtual void        FramePainted() {}
};

class TDMediaManager {
public:
    explicit            TDMediaManager(bool hasSoundSwitch = true) : FHasSoundSwitch(hasSoundSwitch) {}
    virtual             ~TDMediaManager() = default;

    void                Delete(TDMediaItem* item);           // frees it
    void                Suspend();
    void                Resume();
    void                SetSoundOn(bool on);
    bool                SoundOn() const { return FSoundOn; }
    bool                Suspended() const { return FSuspended; }
    int                 Count() const { return int(FItems.size()); }
    TDMediaItem*        Item(int i) const { return FItems[size_t(i)].get(); }

protected:
    TDMediaItem*        append(std::unique_ptr<TDMediaItem> item);
    virtual void        beforeDelete(TDMediaItem*) {}

    std::vector<std::unique_ptr<TDMediaItem>> FItems;
    bool                FHasSoundSwitch;
    bool                FSoundOn = true;
    bool                FSuspended = false;
};

} // namespace zuno
