#include "platform/headless/InputScript.h"

#include <charconv>
#include <cstdint>
#include <fstream>
#include <sstream>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "platform/VirtualKeys.h"

namespace zuno {

namespace {

// Characters of a UTF-8 text (bytes that do not continue a character).
int32_t utf8Length(std::string_view s) {
    int32_t n = 0;
    for (char c : s)
        n += (uint8_t(c) & 0xC0) != 0x80;
    return n;
}

constexpr int kMaxFrame = INT32_MAX - 1;    // room for the release of "click" and "key"

class TLineParser {
public:
                        TLineParser(std::string_view line, int lineNumber) : FLine(line), FNumber(lineNumber) {}

    bool                atEnd() { skipBlanks(); return FPos >= FLine.size(); }
    std::string_view    word(const char* what);
    std::string_view    rest();                                       // the remaining text after one blank
    int32_t             integer(const char* what, int64_t low, int64_t high);
    [[noreturn]] void   fail(const std::string& message) const;

private:
    void                skipBlanks() { while (FPos < FLine.size() && (FLine[FPos] == ' ' || FLine[FPos] == '\t')) ++FPos; }

    std::string_view    FLine;
    size_t              FPos = 0;
    int                 FNumber;
};

std::string_view TLineParser::word(const char* what) {
    skipBlanks();
    if (FPos >= FLine.size())
        fail(std::string("missing ") + what);
    size_t start = FPos;
    while (FPos < FLine.size() && FLine[FPos] != ' ' && FLine[FPos] != '\t')
        ++FPos;
    return FLine.substr(start, FPos - start);
}

std::string_view TLineParser::rest() {
    if (FPos < FLine.size() && (FLine[FPos] == ' ' || FLine[FPos] == '\t'))
        ++FPos;
    std::string_view r = FLine.substr(std::min(FPos, FLine.size()));
    FPos = FLine.size();
    return r;
}

int32_t TLineParser::integer(const char* what, int64_t low, int64_t high) {
    std::string_view w = word(what);
    int64_t value = 0;
    auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
    if (ec != std::errc() || end != w.data() + w.size() || value < low || value > high)
        fail(std::string("bad ") + what + " \"" + std::string(w) + "\"");
    return static_cast<int32_t>(value);
}

void TLineParser::fail(const std::string& message) const {
    throw EZunoError::fromUtf8("input line " + std::to_string(FNumber) + ": " + message);
}

TMouseButton parseButton(TLineParser& p) {
    std::string_view w = p.word("button");
    if (sameTextSjis(w, "left"))
        return TMouseButton::left;
    if (sameTextSjis(w, "right"))
        return TMouseButton::right;
    p.fail("bad button \"" + std::string(w) + "\" (left or right)");
}

int32_t parseKey(TLineParser& p) {
    std::string_view w = p.word("key");
    int32_t code = vk::fromName(w);
    if (code == 0)
        p.fail("bad key \"" + std::string(w) + "\"");
    return code;
}

} // namespace

// ---------------------------------------------------------------- TInputScript

TInputScript TInputScript::parse(std::string_view text) {
    TInputScript script;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos)
            eol = text.size();
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        ++lineNumber;
        if (size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        TLineParser p(line, lineNumber);
        if (p.atEnd())
            continue;
        int frame = p.integer("frame", 1, kMaxFrame);
        std::string_view verb = p.word("verb");
        TInputEvent ev;
        TInputEvent release;    // the second half of click and key
        bool hasRelease = false;
        if (sameTextSjis(verb, "move")) {
            ev.kind = TInputKind::mouseMove;
            ev.x = p.integer("x", INT32_MIN, INT32_MAX);
            ev.y = p.integer("y", INT32_MIN, INT32_MAX);
        } else if (sameTextSjis(verb, "down") || sameTextSjis(verb, "up") || sameTextSjis(verb, "click")) {
            ev.kind = sameTextSjis(verb, "up") ? TInputKind::mouseUp : TInputKind::mouseDown;
            ev.button = parseButton(p);
            ev.x = p.integer("x", INT32_MIN, INT32_MAX);
            ev.y = p.integer("y", INT32_MIN, INT32_MAX);
            if (sameTextSjis(verb, "click")) {
                release = ev;
                release.kind = TInputKind::mouseUp;
                hasRelease = true;
            }
        } else if (sameTextSjis(verb, "wheel")) {
            ev.kind = TInputKind::wheel;
            std::string_view w = p.word("direction");
            if (sameTextSjis(w, "up"))
                ev.delta = 1;
            else if (sameTextSjis(w, "down"))
                ev.delta = -1;
            else
                p.fail("bad wheel direction \"" + std::string(w) + "\" (up or down)");
        } else if (sameTextSjis(verb, "keydown") || sameTextSjis(verb, "keyup") || sameTextSjis(verb, "key")) {
            ev.kind = sameTextSjis(verb, "keyup") ? TInputKind::keyUp : TInputKind::keyDown;
            ev.key = parseKey(p);
            if (sameTextSjis(verb, "key")) {
                release = ev;
                release.kind = TInputKind::keyUp;
                hasRelease = true;
            }
        } else if (sameTextSjis(verb, "text") || sameTextSjis(verb, "compose")) {
            // Typed text, or the input method's composition (an empty one ends it).
            ev.kind = sameTextSjis(verb, "text") ? TInputKind::textInput : TInputKind::textComposition;
            ev.text = std::string(p.rest());
            ev.x = utf8Length(ev.text);
            if (ev.kind == TInputKind::textInput && ev.text.empty())
                p.fail("missing text");
        } else if (sameTextSjis(verb, "activate")) {
            ev.kind = TInputKind::activate;
        } else if (sameTextSjis(verb, "deactivate")) {
            ev.kind = TInputKind::deactivate;
        } else if (sameTextSjis(verb, "quit")) {
            ev.kind = TInputKind::quit;
        } else {
            p.fail("unknown verb \"" + std::string(verb) + "\"");
        }
        if (!p.atEnd())
            p.fail("unexpected text after the event");
        script.FFrames[frame].push_back(ev);
        if (hasRelease)
            script.FFrames[frame + 1].push_back(release);
    }
    return script;
}

TInputScript TInputScript::loadFromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw fileNotFoundError(utf8ToCp932(path));
    std::ostringstream text;
    text << in.rdbuf();
    try {
        return parse(text.str());
    } catch (const EZunoError& e) {
        throw EZunoError::fromUtf8(path + ": " + e.what());
    }
}

const std::vector<TInputEvent>& TInputScript::eventsAt(int frame) const {
    static const std::vector<TInputEvent> none;
    auto it = FFrames.find(frame);
    return it == FFrames.end() ? none : it->second;
}

int TInputScript::lastFrame() const {
    return FFrames.empty() ? 0 : FFrames.rbegin()->first;
}

} // namespace zuno
