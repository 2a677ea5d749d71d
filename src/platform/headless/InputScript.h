// Scripted input of headless runs (zunoplay --input FILE): one event per line,
// "FRAME VERB ARGS", '#' starts a comment, blank lines are ignored. The events
// of a frame step are delivered before its input step, in the order of their
// lines; "click" and "key" put their release on the following frame.
//
//   F move X Y                 F down left|right X Y      F up left|right X Y
//   F click left|right X Y     F wheel up|down            F keydown KEY
//   F keyup KEY                F key KEY                  F activate | deactivate | quit
//
// KEY is a decimal virtual-key code, a single letter or digit, or one of
// RETURN ESCAPE SPACE LEFT UP RIGHT DOWN SHIFT CONTROL TAB BACK.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TPlatform.h"

namespace zuno {

class TInputScript {
public:
    static TInputScript     parse(std::string_view text);                // EZunoError naming the bad line
    static TInputScript     loadFromFile(const std::string& path);       // path in UTF-8

    const std::vector<TInputEvent>& eventsAt(int frame) const;           // empty when the frame has none
    int                     lastFrame() const;                           // 0 when there are no events
    bool                    empty() const { return FFrames.empty(); }

private:
    std::map<int, std::vector<TInputEvent>> FFrames;
};

} // namespace zuno
